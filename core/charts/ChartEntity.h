#pragma once

#include <QString>

// What a chart needs to know of its client file: taken from the file's detail record by the
// owner of the charts, so that charts can be built, loaded and tested without a record.
struct TChartEntity {
    QString FileCode;       // six characters, "ABC123": names every year file of the client
    QString EntityType;     // "NSP" or "SUP" (a superannuation fund)
    QString DataDir;        // the client's data folder, stored form ("X:\QUILVANE\DATA")
    QString XferDir;        // the client's transfer folder; its drive letter is the transfer drive
    QString ProgramDataDir; // the program's data folder; option 2 uses its "\TRANSFER" folder
    QString AccFormatID;    // the account format of the client's codes
    QString AccDefault;     // the accounts chart a year without its own chart starts from
    QString Currency;       // the client's home currency code
    int Periods = 12;       // periods in the financial year
    int EndMonth = 6;       // month in which the financial year ends
};
