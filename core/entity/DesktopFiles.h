#pragma once

#include <QString>

#include <memory>
#include <vector>

class TEntityInfo;

// The files open on the desktop, in the order they were opened, each code at most once, and
// the index of the active file (-1 when none is open). The list owns the open files; the shell
// and every service that works on "the active file" take the list and the index.
class TDesktopFiles {
public:
    // The most files open at once.
    static constexpr int MaxFiles = 20;

    TDesktopFiles() = default;
    // Frees what is still open without closing it: the owner closes each file first.
    ~TDesktopFiles();
    TDesktopFiles(const TDesktopFiles&) = delete;
    TDesktopFiles& operator=(const TDesktopFiles&) = delete;

    int Count() const { return static_cast<int>(Files.size()); }
    bool IsFull() const { return Count() >= MaxFiles; }
    // The file at an index; nullptr outside the list.
    TEntityInfo* File(int index) const;
    QString Code(int index) const;
    // The index of a file code (case aside); -1 when it is not open.
    int IndexOf(const QString& fileCode) const;

    // Files an open file under its code and makes it the active file; returns its index. -1,
    // with the file handed back untouched in `file`, when the code is already open or the list
    // is full.
    int Add(std::unique_ptr<TEntityInfo>& file);
    // Takes the file at an index out of the list (nullptr outside it); the first file becomes
    // the active one, or none when the list is empty.
    std::unique_ptr<TEntityInfo> Remove(int index);

    int ActiveIndex() const { return Active; }
    // Makes the file at an index active; an index outside the list means none (-1).
    void SetActiveIndex(int index);
    TEntityInfo* ActiveFile() const { return File(Active); }
    // The file at an index now goes by another code (its record was renamed). False when the
    // index is outside the list or another open file has the code.
    bool Rename(int index, const QString& fileCode);

private:
    struct TEntry {
        QString Code;
        std::unique_ptr<TEntityInfo> File;
    };
    std::vector<TEntry> Files;
    int Active = -1;
};
