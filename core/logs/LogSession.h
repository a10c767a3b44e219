#pragma once

#include <QString>

// One opening of a client file, as its time-log entry records it. The times are date numbers
// with the time of day.
//
// The time log keeps the visit's text in the user-name field of its entry: the comment
// ("Upgraded from DOS", "Deleted", a change of file code) when there is one, else UserName
// (empty for an ordinary visit, as the program's own closes leave it). The entry's format name
// stays empty.
struct TLogSession {
    QString FileCode;
    QString EntityName;
    QString Comment;
    QString UserName;
    double StartTime = 0;
    double EndTime = 0;
    // The file's year-end month: the entry's two periods are the monthly periods of the file's
    // financial year that hold the start and the end.
    int EndMonth = 6;
};
