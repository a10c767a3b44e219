#pragma once

#include "core/vocab/Colours.h"

#include <QChar>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// One transfer archive found on a drive: the file and financial year it carries, whether this
// system has a client file of that code yet, and when the archive was written.
struct TFileInfo {
    QString FileCode;          // upper case
    int Year = 0;              // four digits
    quint8 TransferFormat = 0; // index into TDiskInventory::TransferFormatNames
    bool NewFile = false;      // no detail record of the code here, or only an empty one
    QDateTime Modified;        // invalid when the archive's times could not be read
    QString Path;              // native path of the archive as found on the disk
};

// The transfer-disk inventory: the transfer archives ("ACME0106.QTF") in the program's transfer
// folder of a drive, and the creation of a new client file on this system from one of them.
// A created file has its detail record and the year's accounts, standard descriptions, tax
// rates and currency rates; its transactions come later through a transfer in.
class TDiskInventory {
public:
    // The transfer formats an archive can be in; every archive found is the first.
    static inline const QStringList TransferFormatNames{QStringLiteral("Quilvane 2006")};
    // Rows of archives that can become new files are drawn on this colour, in black.
    static constexpr TRgbColour NewFileColour = RgbColour(255, 255, 210);
    // The caption of the progress window while a file is created.
    static inline const QString ReadingCaption = QStringLiteral("Reading Transfer File");

    // The folder scanned on a drive, stored form: "T:\QUILVANE\TRANSFER".
    static QString TransferFolder(QChar drive);

    // Reads an archive name: six letters, digits or underscores, two digits of year and ".QTF",
    // without regard to case. False for any other name.
    static bool ParseArchiveName(const QString& name, QString& fileCode, int& year);

    // True when the program data folder holds no detail record of the code, or an empty one.
    static bool IsNewFile(const QString& fileCode);

    // The archive time as the list shows it ("05 Mar 2006 15:04:05"), "Unknown" without one.
    static QString DateText(const QDateTime& modified);

    // The name of a transfer format; empty for an index outside the table.
    static QString TransferFormatName(int index);

    // The archive entries a new file is made from, in this order: the detail record, then the
    // year's ".ADF", ".STD", ".TXR" and ".CCR" in "M_DETAIL".
    static QStringList ExtractNames(const QString& fileCode, int year);

    // Lists the archives of the drive's transfer folder: regular files whose names
    // ParseArchiveName reads, one per file code and year, sorted by code, then year. A drive
    // that is not ready, or has no such folder, gives an empty list. Returns how many.
    int ScanTransferFiles(QChar drive);

    const QList<TFileInfo>& Files() const { return FFiles; }
    QChar Drive() const { return FDrive; }

    // Makes a new client file from an archive: extracts the detail record and the year's four
    // charts (archive password) into a staging folder inside the program data folder, opens the
    // record there, points it at this system (data folder, this machine's backup and transfer
    // folders, export, import and ECI folders as a new file has them), gives it the archive's
    // year with no lock, then moves the charts and writes the record into the data folder.
    // Any failure leaves the data folder as it was.
    //
    // Returns 0 with createdCode set, or the unzip's positive code (ZipResult::NothingMatched
    // when the archive holds no detail record); ErrorText() then says why. Raises EAbort after a
    // failure it has shown (a record that cannot be read, an unregistered account format),
    // EOperationCancelled when the user cancels the progress window, and EQuilvaneError for any
    // other failure (a file of the code that exists by now, a record naming another file, a
    // data folder that cannot be written).
    int CreateFile(const TFileInfo& entry, QString& createdCode);

    // The reason of the last failed CreateFile.
    QString ErrorText() const { return FErrorText; }

private:
    QList<TFileInfo> FFiles;
    QChar FDrive;
    QString FErrorText;
};
