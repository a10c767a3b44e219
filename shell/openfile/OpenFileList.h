#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class TDesktopFiles;
class TReferenceData;

// Who may open a listed client file, as the open-file list sees it.
enum class TFileAvailability { Available, OpenOnDesktop, InUse, NotPermitted };

// What the list reads of a file's detail record ("CONFIGURATION" section).
struct TStoredFileSummary {
    QString Code;
    QString Type;
    QString Name;
    bool Locked = false;
    QString LockedBy;
};

// One listed file. Code is the file's name without ".CFG" (the file that will be opened);
// Status is empty in selection mode.
struct TOpenFileRow {
    QString Code;
    QString Name;
    QString TypeName;
    QString Status;
    TFileAvailability Availability = TFileAvailability::Available;
};

// The files the user picked, in row order, each with whether it may be opened: its row's
// availability, or Available for every row when the user held Ctrl. The desktop opens the
// available ones, makes one of those already open on it active and names each of the others with
// the reason it cannot be opened.
struct TOpenFileSelection {
    // The availability flags: may be opened; held elsewhere or already open here; its entity
    // type is not permitted on this system.
    static inline const QString AvailableFlag = QStringLiteral("1");
    static inline const QString HeldFlag = QStringLiteral("0");
    static inline const QString NotPermittedFlag = QStringLiteral("2");

    QStringList Codes;
    QList<TFileAvailability> Availability;

    // Every code followed by a comma.
    QString CodesText() const;
    // The flag of each code, each followed by a comma.
    QString FlagsText() const;
};

// The client files of the practice's data folder with their code, name, entity type and who
// holds each one, read without taking a lock; the choice of rows; and the search by name or code.
// No widget: the open-file dialog shows the rows and forwards the user's actions.
class TOpenFileList {
public:
    enum TMode { OpenMode = 0, SelectionMode = 1 };

    static const QString NoFilesMessage;
    static const QString OpenOnDesktopText;
    static const QString AvailableText;
    static const QString InUseText;
    static const QString NotPermittedText;
    static const QString UnknownUserText;

    // Lists every "*.CFG" of the program's data folder. Returns the number of records found, or
    // -1 after telling the user that there are none. A record that is a link, is not a plain file,
    // cannot be read or has no code adds no row. Raises when the program's data folder is not set.
    int Setup(const TDesktopFiles& desktopFiles, int mode);
    int Setup(const QStringList& desktopCodes, int mode);

    // The row of one record for the codes open on this desktop and this workstation's user name;
    // none when the record has no code. A locked record is "Open on your desktop" when open here,
    // "In use by" its holder when another workstation (or nobody named) holds it, else
    // "Available" (a lock left behind by this workstation); an unlocked record is "Available"
    // when its entity type is listed in the reference data, else "Not Permitted".
    static std::optional<TOpenFileRow> BuildRow(const QString& fileCode, const TStoredFileSummary& stored,
                                                const QStringList& desktopCodes, const QString& userName,
                                                const TReferenceData& reference, int mode);

    int Mode() const { return ListMode; }
    QString Caption() const;
    QStringList ColumnTitles() const;
    const QList<TOpenFileRow>& Rows() const { return FileRows; }

    // The selected rows (data rows from 0, in any order; rows outside the list are skipped), in
    // row order, with their availability. With ctrlHeld every row counts as available, so a user
    // can try a file shown as in use.
    TOpenFileSelection Selection(const QList<int>& selectedRows, bool ctrlHeld) const;

    // Searches from the start row to the last row: first for a name containing the text, then
    // for a code beginning with it, without regard to case. A text other than the last one
    // starts at the first row; the same text starts one row after the last start, and a match
    // becomes the start row, so repeating the search moves on. Returns the row found, or -1.
    int Find(const QString& text);
    // A row the user clicked becomes the start row.
    void SetStartRow(int row) { StartRow = row; }

private:
    static std::optional<TOpenFileRow> ReadRow(const QString& dataDir, const QString& fileName,
                                               const QStringList& desktopCodes, int mode);

    QList<TOpenFileRow> FileRows;
    int ListMode = OpenMode;
    QString LastSearch;
    int StartRow = 0;
};
