#pragma once

#include <QString>

// Keeps a client's record writable only for the moment it is written. Between writes the record
// is protected on disk (the file system's stand-in for its hidden attribute); the scope lifts the
// protection and puts it back when it ends, however the write ended: on the new file after a
// write that replaced the record, on the old one after a write that failed or raised.
class TRecordProtection {
public:
    // Makes the record at the native path writable; a record that does not exist yet has no
    // protection to lift. Raises EQuilvaneError when it cannot be made writable: nothing was
    // changed then, and the record keeps its protection.
    explicit TRecordProtection(const QString& nativePath);
    // Protects whatever file now has the record's name (nothing when there was no record and
    // the write made none). Never throws.
    ~TRecordProtection();
    TRecordProtection(const TRecordProtection&) = delete;
    TRecordProtection& operator=(const TRecordProtection&) = delete;

private:
    QString Path;
    bool Existed = false;
};
