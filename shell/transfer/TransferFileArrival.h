#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <optional>

// Transfer archives arrive in a client file's transfer folder (sent by the practice or by the
// client) while the program runs. An archive is named by the file code, the financial year's last
// two digits and ".QTF" (ACME0106.QTF); when one arrives for a file open on the desktop and that
// file's current year, the program offers to transfer it in at once.

// What the arrival check needs to know of a file open on the desktop.
struct TWatchedFile {
    QString FileCode;
    // The transfer folder as the file's record stores it ("C:\QUILVANE\TRANSFER").
    QString XferDir;
    // The file's current financial year, four digits.
    int Year = 0;
    // The client's name, which the question quotes.
    QString Name;
};

// An archive that passed the check: which open file it is for (its position in the list given to
// the check), the name the question quotes (the client's name, or the file code when the record
// has none), the year and where the archive lies.
struct TTransferOffer {
    int Index = -1;
    QString FileCode;
    QString FileName;
    int Year = 0;
    QString Path;
    friend bool operator==(const TTransferOffer&, const TTransferOffer&) = default;
};
Q_DECLARE_METATYPE(TTransferOffer)

// The year an archive's name carries: its characters 7 and 8 as a two-digit year, made four
// digits by the program's century rule (below 90 is 20xx); -1 when they are not two digits.
int TransferArchiveYear(const QString& baseName);

// Whether a file that appeared or changed (a native path) is a transfer archive worth offering:
// nothing while the program is busy (a modal window is up or a process is running) or no file is
// active; otherwise the name must end in ".QTF" (any case), be exactly an open file's code and two
// year digits, lie in that file's transfer folder (compared without regard to case or a trailing
// separator, after the stored folder is made native) and carry that file's current year.
// Anything else is ignored silently.
std::optional<TTransferOffer> CheckTransferFileArrival(const QString& nativePath,
                                                       const QList<TWatchedFile>& openFiles, bool fileActive,
                                                       bool busy);

// The question that offers the transfer (Yes/No) of an offer's FileName and Year.
QString TransferQuestionText(const QString& fileName, int year);
