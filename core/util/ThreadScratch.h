#pragma once

// Working memory that each thread keeps between uses, so that work done many times over (reading
// a hundred month files, sorting the lists of a year one after another) reuses the same pages
// rather than asking the system for fresh ones each time. A use leases its thread's memory; a use
// that starts while another on the same thread holds it (from a window shown meanwhile) works in
// memory of its own. Tag tells apart the users that keep memory of one type.
template <typename T, typename Tag> class TThreadScratch {
public:
    TThreadScratch() : Leased(!InUse) {
        if (Leased)
            InUse = true;
    }
    ~TThreadScratch() {
        if (Leased)
            InUse = false;
    }
    TThreadScratch(const TThreadScratch&) = delete;
    TThreadScratch& operator=(const TThreadScratch&) = delete;

    // The memory of this use: the thread's when leased, else its own.
    T& Get() { return Leased ? Shared : Own; }

private:
    static inline thread_local T Shared{};
    static inline thread_local bool InUse = false;
    bool Leased;
    T Own{};
};
