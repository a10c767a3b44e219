#pragma once

#include <vector>

// The block buffer that transaction files are read into. One serves the whole process: a
// procedure that reads a hundred month files one after another reads them all into the same
// memory instead of asking the system for fresh pages for each file, and the buffer is kept for
// the next procedure. A load that starts while another is reading (from a window shown during a
// load) takes a buffer of its own. Transaction files are read on the user-interface thread; each
// thread has its own buffer.
class TTransactionReadBuffer {
public:
    TTransactionReadBuffer() : Leased(!InUse) {
        if (Leased)
            InUse = true;
    }
    ~TTransactionReadBuffer() {
        if (Leased)
            InUse = false;
    }
    TTransactionReadBuffer(const TTransactionReadBuffer&) = delete;
    TTransactionReadBuffer& operator=(const TTransactionReadBuffer&) = delete;

    // Sized by the reader (a whole number of its records); keeps its memory between reads.
    std::vector<char>& Bytes() { return Leased ? Shared : Own; }

private:
    static inline thread_local std::vector<char> Shared;
    static inline thread_local bool InUse = false;
    bool Leased;
    std::vector<char> Own;
};
