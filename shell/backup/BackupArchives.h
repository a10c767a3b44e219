#pragma once

#include <QChar>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class TUnzipFile;

// Names, folders, contents and numbering of the archives that back up or transfer one financial
// year of a client file. Every archive is a zip of the file's data folder, named by the file code
// and the year's two digits: backups carry their number as the extension ("ACME0106.007"),
// transfers the transfer extension ("ACME0106.QTF"), so one transfer archive per file and year
// lives in a transfer folder while a backup folder holds a numbered series.
//
// Functions that build a name from a file code raise EQuilvaneError when the code is not a plain
// file code (it would otherwise lead a name, a pattern or a deletion out of its folder).
namespace BackupArchives {

// The highest number read from a backup's extension; longer or larger extensions count as 0, so
// that the next number can always be one more.
inline constexpr int MaxBackupNumber = 999999999;

// The year's two digits as the program's file names write them (around the pivot year):
// 2006 -> "06", 2000 -> "00", 1995 -> "95". A year already given in two digits stays as it is.
QString TwoDigitYear(int year);

// "ACME0106.007": file code, two-digit year, the backup number in at least three digits.
QString BackupArchiveName(const QString& code, int year, int number);
// "ACME0106.QTF".
QString TransferArchiveName(const QString& code, int year);

// The folder on the drive chosen for the operation, in stored form: the drive letter replaces
// that of the stored folder ("C:\BACKUPS" with A gives "A:\BACKUPS"); a folder stored without a
// drive ("\BACKUPS") is put on the chosen drive. A UNC folder or a chosen "drive" that is no
// letter leaves the stored folder as it is: there is no drive letter to exchange.
QString ArchiveFolder(const QString& storedFolder, QChar drive);
// The archive's stored path: the folder and the name joined by one backslash.
QString ArchivePath(const QString& folder, const QString& name);

// What an archive of the year takes from the data folder, relative to it and in this order: the
// detail record ("ACME01.cfg"); the year's chart files (bank-reconciliation opening balances,
// accounts, standard descriptions, tax rates, currency rates); the file's report layouts and
// report formats, which carry no year and so enter every archive of the file; the debtors file;
// then every transaction file of the year ("ACME01\ACME0106.*"). Jobstream sets never travel.
// A backup also takes every file of the year in "BANK_REC" (the reconciliation files beside
// the opening balances): a restore removes that whole group before it extracts, so a backup
// without them would lose the year's reconciliations on the way back.
QStringList IncludePatterns(const QString& code, int year, bool forBackup);

// The number offered for the next backup of the year, given the names in the backup folder:
// every "CODEyy.<n>" that is at or above the stored number moves it to n + 1; an extension that
// is not a number counts as 0; a stored number below 1 becomes 1.
int ProposeNextBackup(const QStringList& namesInFolder, const QString& code, int year, int stored);

// The number a backup's extension carries: the whole extension read as a decimal number ("1000"
// is 1000), 0 when it is not made of digits alone or exceeds MaxBackupNumber.
int BackupNumberOf(const QString& extension);

struct TBackupFileInfo {
    QString Path; // native path
    int Number = 0;
    QDateTime Modified;
};

// The backups of the file and year in a native folder, highest number first (equal numbers by
// name): regular files named "CODEyy.<extension>" in any case; links, folders and the temporary
// files of an archive being written ("ACME0106.007.~qv...", any name with a further dot) are
// left out. A missing folder gives an empty list.
QList<TBackupFileInfo> ListBackups(const QString& nativeFolder, const QString& code, int year);

// The backup to delete after backup `number` when `levels` backups are kept: number - levels, or
// -1 when the number does not exceed the levels. A level count below 1 keeps everything (-1):
// deleting "number - 0" would remove the backup just written.
int PruneTarget(int number, int levels);

// The largest an entry of a backup or transfer archive may be when it is read back: no more than
// the program could have written for that kind of file. A transaction file (in a file-code
// folder) holds at most the entries a month can hold; the record, the charts and the other files
// of the data folder have generous fixed bounds. An entry beyond its bound is not extracted.
qint64 MaxEntrySize(const QString& entryName);

// The files the program writes for a year of a client file, relative to the data folder with '/'
// between parts and spelt as the program spells them: the detail record ("ACME01.CFG"); the
// year's charts ("BANK_REC/ACME0106.BOB", "M_DETAIL/ACME0106.ADF", ..., the debtors), the file's
// report layouts and formats ("M_DETAIL/ACME01.RLO"); every month file that a page of the year
// can have ("ACME01/ACME0106.PA1"); and the two reconciliation files of every bank-account slot
// ("BANK_REC/ACME0106.RM0", "BANK_REC/ACME0106.RU0", ...). Jobstream sets never travel.
QStringList YearFileNames(const QString& code, int year);

// The name under which the program writes the file of the year that an archive entry stands for,
// whatever letter case or separator the archive gives it ("acme01\\acme0106.pa1" gives
// "ACME01/ACME0106.PA1"); empty when the entry is no file the program writes for the year.
QString ProgramFileName(const QString& entry, const QString& code, int year);

// What a year can hold, and so the most that an archive of it may hold: its files (above) and
// their three folders, which other zip tools store as entries of their own;
int MaxArchiveEntries(const QString& code, int year);
// and in bytes: the record, the charts and every month file each at its bound (MaxEntrySize), and
// the reconciliation files, which hold the year's bank entries again and so together no more than
// its month files.
qint64 MaxArchiveBytes(const QString& code, int year);

// Holds a reader of an archive of the year to what the year can hold: each entry to its kind's
// size (MaxEntrySize), the archive to MaxArchiveEntries entries and its chosen entries to
// MaxArchiveBytes together, and each chosen entry to a file the program writes for the year,
// extracted under the program's own name for it (ProgramFileName). The restore, the transfer in
// and the disk inventory read their archives so.
void HoldToYear(TUnzipFile& unzip, const QString& code, int year);

// The time written into the archive lists and the comment header: "05 Mar 2006 at 3:04 pm".
QString ArchiveTimeText(const QDateTime& time);

// The single entry of the backup dialog's list: "No. 7  (<now in the long time format>)".
QString ProposalText(int number, const QDateTime& now);
// An entry of the restore list: "No. 7  (05 Mar 2006 at 3:04 pm)".
QString BackupListText(const TBackupFileInfo& info);

} // namespace BackupArchives
