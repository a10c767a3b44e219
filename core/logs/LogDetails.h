#pragma once

#include <QString>
#include <cstdint>

class TValueReader;
class TValueWriter;

// One entry of an activity log, stored as a value stream in field order. A time-log entry holds
// the opening and closing times in DateFrom and DateTo, and the session's text ("Upgraded from
// DOS", "Deleted", a rename; empty for an ordinary visit) in UserName; its FormatName,
// FileSpec, ProcessKind and AccountSelection stay empty (TLogList::SessionEntry).
class TLogDetails {
public:
    QString FileCode;
    QString EntityName;
    QString FormatName;
    QString FileSpec;
    std::int32_t ProcessKind = 0;
    QString UserName;
    QString AccountSelection;
    bool Option1 = false;
    std::uint16_t PageKinds = 0; // bit n = page kind n
    double DateFrom = 0;
    double DateTo = 0;
    double RunDate = 0;
    bool FirstFlag = false;
    bool SecondFlag = false;
    std::int32_t Value1 = 0;
    std::int32_t Value2 = 0;

    // Raises EStreamError when the stream holds no whole entry; a date that is not a finite
    // number is refused the same way.
    void Read(TValueReader& reader);
    void Write(TValueWriter& writer) const;
};
