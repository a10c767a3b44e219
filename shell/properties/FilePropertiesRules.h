#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// The rules of the file-properties sheet that need no window: the periods-per-year steps, the
// default period, the caption, the options a file type brings, and the folders the Disk Access
// page stores.
//
// Folders keep the Windows form in which the practice's workstations store them ("C:\...");
// a drive letter stands for whatever folder this workstation maps it to.
class TFilePropertiesRules {
public:
    // The only numbers of periods a financial year can be split into, in the order the spin
    // buttons cycle through them.
    static constexpr std::array<int, 5> PeriodChoices{1, 2, 4, 6, 12};
    static constexpr int MaxPeriods = 12;

    // The financial years the sheet offers.
    static constexpr int FirstYear = 1990;
    static constexpr int LastYear = 2089;

    // The currency of the practice's own country: a file kept in any other currency converts
    // its amounts at the file's currency rates.
    static inline const QString HomeCurrency = QStringLiteral("AUD");
    // The entity type of a superannuation fund.
    static inline const QString SuperFundType = QStringLiteral("SUP");

    // One step of the periods-per-year spin buttons (and the Up and Down keys) from the number
    // shown: up gives 2 from 1, 4 from 2-3, 6 from 4-5, 12 from 6-11 and 1 from anything else;
    // down gives 1 from 2, 2 from 3-4, 4 from 5-6, 6 from 7-12 and 12 from anything else.
    static int PeriodsUp(int periods);
    static int PeriodsDown(int periods);
    // The number a periods text holds; whenNone when it holds none (the steps read 1, saving
    // reads 12).
    static int PeriodsOfText(const QString& text, int whenNone);

    // A default period within 1 and the periods per year.
    static int ClampDefaultPeriod(int defaultPeriod, int periods);

    // "File Properties", preceded by "New " for a new file and followed by " - " and the code
    // once the code has its six characters.
    static QString Caption(bool isNew, const QString& code);

    // The options a newly chosen entity type brings to a new file: a superannuation fund keeps
    // quantities (units of its investments) and no taxes. Other types and existing files leave
    // the options as they are.
    static void ApplyEntityType(bool isNew, const QString& typeCode, bool& includeTaxes, bool& allowQuantity);

    // Whether a file kept in the currency converts at currency rates: every currency but the
    // home currency does. The reference table has no flag of its own for this, so the sheet
    // offers this answer whenever the base currency is chosen; the user may still change it.
    static bool CurrencyConvFor(const QString& currencyCode);

    // The drive of a stored path: its letter in upper case ("C:\..."), or for a path of this
    // workstation the drive whose folder holds it (the innermost one); a null character when
    // no drive holds it.
    static QChar DriveOf(const QString& path);
    // The drives the lists offer: every letter this workstation maps, and the drives of the
    // paths given (those the record uses, so that its own choice is always there), A to Z.
    static QList<QChar> DriveLetters(const QStringList& usedPaths);
    // How a drive is listed ("C:").
    static QString DriveText(QChar drive);

    // The program data folder moved to the chosen drive: the drive's letter, then the program
    // data folder without its own drive. On the program data folder's own drive, with no drive
    // chosen or when no drive holds the program data folder, the program data folder itself.
    static QString DataFolder(QChar drive, const QString& programDataDir);
    // "X:\QUILVANE\TRANSFER" and "X:\QUILVANE\BACKUPS" on the chosen drive.
    static QString TransferFolder(QChar drive);
    static QString BackupFolder(QChar drive);
    // A typed import or export folder; when none is typed, the data folder's "IMPORT" or
    // "EXPORT" folder.
    static QString ImportFolder(const QString& typed, const QString& dataFolder);
    static QString ExportFolder(const QString& typed, const QString& dataFolder);

private:
    static QString FolderOrDefault(const QString& typed, const QString& dataFolder, const QString& name);
};
