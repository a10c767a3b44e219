#pragma once

#include <QString>
#include <QStringList>

class TProgramParams;
class TReferenceData;

// The values of the preferences window, without widgets: loaded from the program settings,
// edited by the window and stored back with the fallbacks for what cannot be used as it stands.
//
// Lists come in the order the window shows them: countries and destination systems in the
// code order of the reference tables, the export formats and the date patterns in table order.
// An index of -1 means "nothing chosen".
class TPreferencesModel {
public:
    static constexpr int MinTimedSave = 5;
    static constexpr int MaxTimedSave = 30;
    static constexpr int DefaultBackupInterval = 10;
    static constexpr int MinBackupLevels = 1;
    static constexpr int MaxBackupLevels = 99;
    // The sizes the font list offers; a typed size may lie outside them up to MaxFontSize.
    static constexpr int FirstListedFontSize = 6;
    static constexpr int LastListedFontSize = 24;
    static constexpr int MaxFontSize = 72;
    static constexpr int DefaultFontSize = 8;

    // The messages of the data-folder check.
    static inline const QString DataFolderBlankText = QStringLiteral("The data folder cannot be blank.");
    static inline const QString DataFolderNotFullPathText =
        QStringLiteral("The data folder %1 is not a full path.");
    static inline const QString DataFolderMissingText = QStringLiteral("The data folder %1 does not exist.");
    static inline const QString DataFolderNoReferenceDataText =
        QStringLiteral("The data folder %1 does not hold Quilvane.DAT.");
    static inline const QString DataFolderChangedText =
        QStringLiteral("The new data folder takes effect the next time QUILVANE is started.");
    // Help behind the information box of a changed data folder: the Startup page's topic.
    static constexpr int DataFolderHelpContext = 15000;

    // Takes every value from the settings, and the country and destination-system lists from
    // their reference tables.
    void Load(const TProgramParams& params);

    // Stores the values into the settings. The data folder is checked first: when it cannot be
    // used the problem is shown in a warning box (after the warning beep), nothing at all is
    // stored and the result is false. When the folder changed, an information box says that it
    // takes effect at the next start. The two report date formats are also made the program's
    // current ones (TServices::Regional()), so windows opened from now on print with them.
    // Saving the settings to disk is the caller's step.
    bool Store(TProgramParams& params) const;

    // What is wrong with a data folder (stored form, drive letters allowed): blank, not a full
    // path, not an existing folder, or without the reference-data file Quilvane.DAT (found
    // without regard to case). Empty when the folder can be used.
    static QString DataFolderProblem(const QString& folder);

    // The date patterns both report date lists offer.
    static QStringList DateFormats();
    // The ten export format names.
    static QStringList ExportFormats();
    // The font sizes the list offers, as texts.
    static QStringList FontSizes();

    // The export format's index; the first format's when the name is not one of them.
    static int IndexOfDestFormat(const QString& name);
    // The date pattern's index, compared without regard to case (the reference data writes
    // "DD/MM/YYYY" for "dd/mm/yyyy"); -1 when it is none of them.
    static int IndexOfDateFormat(const QString& format);
    // The country's index in the reference table: by name (without regard to case), else by code
    // (settings written with the code are still understood); the default country when the text
    // is empty; -1 when nothing matches.
    static int IndexOfCountry(const TReferenceData& reference, const QString& country);

    // The minutes between timed saves from the spin edit's text: DefaultBackupInterval when it
    // is not a whole number, else the number brought into MinTimedSave..MaxTimedSave (a timer of
    // no minutes would save without pause).
    static int ParseBackupInterval(const QString& text);
    // The report font size from the typed text: DefaultFontSize unless it is a whole number from
    // 1 to MaxFontSize (a size of 0 or less prints nothing).
    static int ParseFontSize(const QString& text);

    // The lists, as loaded.
    QStringList CountryNames;
    QStringList DestSystemCodes;
    QStringList DestSystemNames; // descriptions, shown in place of the codes

    // The values. Country and date format: -1 keeps the setting as it stands. Destination
    // system: -1 (or out of range) stores the first one. Export format: out of range stores the
    // first one.
    QString DataFolder;
    int CountryIndex = -1;
    int RestoreDesktop = 0; // 0 don't restore, 1 open files only, 2 open files and data entry
    int DestSystemIndex = -1;
    int ExportFormatIndex = 0;
    bool TimedBackups = false;
    QString BackupIntervalText;
    int BackupLevels = MaxBackupLevels;
    QString FontSizeText;
    // "Custom Reports" edits ReportDateFormat, the format of the dates that report titles and
    // custom-report columns print; "Other Reports" edits NarrativeDateFormat, with which
    // narratives and the fixed reports print dates. Both are practice-wide: they live in the
    // shared reference-data file.
    int CustomReportsDateIndex = -1;
    int OtherReportsDateIndex = -1;
};
