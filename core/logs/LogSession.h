#pragma once

#include <QString>

// One opening of a client file, as its time-log entry records it. The times are date numbers
// with the time of day; the comment is empty for an ordinary session.
struct TLogSession {
    QString FileCode;
    QString EntityName;
    QString Comment;
    QString UserName; // empty: the workstation's user name from the program settings
    double StartTime = 0;
    double EndTime = 0;
};
