#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>

class TProgramParams;

// Synthetic client files for the benchmarks: a year of transactions spread evenly over the page
// kinds 1 to 9 (payments to petty cash journals and the bank statement kinds) and the twelve
// months, written as the month files of the current 125-byte form. One entry in four carries tax
// codes, and one in five starts a dissection of three members.
struct TSyntheticTransactions {
    QString DataDir;  // the client file's data folder (the month files go under <DataDir>/<code>)
    QString FileCode; // six characters
    int Year = 2006;  // financial year (the calendar year it ends in)
    int EndMonth = 6; // year-end month
};

// Writes `count` transactions; returns the number of bytes written (headers included). Aborts the
// process when a file cannot be written: a benchmark has no one to tell.
qint64 WriteSyntheticTransactionFiles(const TSyntheticTransactions& files, qint64 count);

// Writes the detail record "BEN001.CFG" of the benchmarks' client file (a company, June year end,
// twelve periods, the 2006 year, the program's own account format) into the data folder. False
// when it could not be written.
bool WriteSyntheticClientRecord(const QString& dataDir);

// Makes `params` the program's settings for a benchmark over the data folder: the shipped
// reference data, the folder as the licence folder, and the user BENCH. Set any other field
// before calling: the settings are installed as they stand.
void UseBenchProgramParams(const std::shared_ptr<TProgramParams>& params, const QString& dataDir);
