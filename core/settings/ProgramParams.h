#pragma once

#include "core/reference/ReferenceData.h"
#include "core/settings/EntityHistory.h"

#include <QString>
#include <QStringList>
#include <memory>

class TIniFile;

// The one program-wide settings object: the workstation's settings from the program ini
// ("DESKTOP" and "HISTORY"), the practice's reference tables from the reference-data file in the
// program data folder (inherited, so callers read ProgramParams().AccountFormats), the folder for
// temporary report files and the workstation's user name, which names the user in file locks
// and logs.
//
// The program ini is per user: QUILVANE_INI when set, else Quilvane/Quilvane.ini in the user's
// configuration folder. When it does not exist the first load creates it, pointing at the
// default data folder (~/QUILVANE/DATA), and installs the shipped reference-data file there.
// Once the reference data is read, that first load also installs the shipped standard chart of
// accounts as the default chart of every entity type, and the shipped default tax codes of its
// format (TStandardChart). The charts are a convenience, the reference data a necessity: a chart
// that cannot be installed does not stop the start and shows no box (a new file then starts with
// its suspense account alone, or without tax codes); the reason goes to the program's warning
// output. A chart already in the folder is never replaced.
//
// The owner loads the settings once at start-up and saves them at exit, and only when the load
// succeeded: settings that failed to load would otherwise overwrite the user's history and the
// shared reference-data file with half-read values. Destruction never saves.
class TProgramParams : public TReferenceData {
public:
    // The export format a workstation uses until it chooses another (two blanks before "(").
    static inline const QString DefaultDestFormat = QStringLiteral("ASCII Text  ( CSV )");
    // The reference-data file's name in the program data folder.
    static inline const QString ReferenceDataFileName = QStringLiteral("Quilvane.DAT");

    // Every field empty or zero; nothing is read.
    TProgramParams();
    ~TProgramParams() override;
    TProgramParams(const TProgramParams&) = delete;
    TProgramParams& operator=(const TProgramParams&) = delete;

    // Reads the program ini and the reference data. A failure shows its message with
    // " - Contact Support for assistance." and Cancel, Retry and Help (context 100000): Retry
    // starts again from empty settings, Cancel gives -1. 0 when everything was read.
    int Load();

    // Writes the "DESKTOP" keys and the "HISTORY" section to the program ini in one write, and
    // back to the reference-data file each of the two date formats that this run changed since
    // the load (or since it last wrote them), when it differs from what the file holds now
    // (changing only those lines): a format another workstation wrote meanwhile is kept unless
    // this one changed it too. A failure is shown ("Error saving program params - ...") and the
    // exit goes on. Does nothing unless Load succeeded.
    void Save();

    // Records a client file as the most recently used, with status 1. A full history makes room
    // by dropping its oldest file that is not open on the desktop (openFiles); when all are
    // open, the file is not recorded.
    void AddHistory(const QStringList& openFiles, const QString& code);

    // The user name becomes the logon name (terminal mode); when the logon name cannot be had,
    // or is not shorter than 100 characters, the computer name stays.
    void UseLogonUserName();

    // Whether the last Load succeeded.
    bool Loaded() const { return IsLoaded; }

    // The path of the program ini.
    static QString IniPath();
    // The data folder a first run points the program ini at.
    static QString DefaultDataFolder();
    // Where temporary report files go: a per-user cache folder, always writable.
    static QString DefaultTempReportsFolder();
    // The reference-data file shipped with the program: beside the executable in share/, else
    // where the build put it.
    static QString ShippedReferenceDataPath();
    // The standard chart of accounts shipped with the program, found the same way.
    static QString ShippedStandardChartPath();
    // The default tax codes of that chart's account format shipped with the program, found the
    // same way.
    static QString ShippedTaxCodesPath();
    // The reference-data file in the program data folder, as a stored path and on this
    // workstation (empty when its drive is not ready).
    QString StoredReferenceDataPath() const;
    QString ReferenceDataPath() const;

    // Settings from "DESKTOP".
    QString LicFilePath;
    // A data folder chosen for the next start: Save writes it as "LicFilePath", while this run
    // (its open files, its file lists, its logs and the reference data it loaded) keeps working in
    // LicFilePath. Empty when none was chosen.
    QString NextLicFilePath;
    QString DOSVersionPath;
    bool TimedBackups = false;
    int BackupInterval = 0;
    int LevelsOfBackup = 0;
    int RestoreDesktop = 0;
    QString DestSystem;
    QString PreferredPrefix; // at most 3 characters, upper case; never written back
    QString Country;
    QString DestFormat;
    bool PerformUpgrade = false;
    bool WorkStation = false; // never written back
    int DefaultReportFontSize = 0;

    // Settings from "HISTORY".
    TEntityHistory Entities;
    QStringList Forms;
    QString Current;

    QString TempReportsFolder;
    QString UserName;

private:
    void ClearSettings();
    void LoadOnce();
    void CreateFirstRunFiles(const QString& iniPath);
    void InstallStandardCharts() const;
    void ReadDesktop(const TIniFile& ini);
    void ReadHistory(const TIniFile& ini);
    void MapDrives(const TIniFile& ini);
    void SaveIni();
    void SaveRegionalFormats();

    bool IsLoaded = false;
    // The two date formats as the reference-data file held them at the load or the last write.
    QString StoredReportDateFormat;
    QString StoredNarrativeDateFormat;
    QList<QChar> MappedDrives; // letters the last load mapped, forgotten by the next
};

// Shorthands for the settings object in the service registry, installed by the program entry (or
// a test). ProgramParams() raises std::logic_error when none is installed.
TProgramParams& ProgramParams();
bool HasProgramParams();
// Installs the settings object; nullptr removes it.
void SetProgramParams(std::shared_ptr<TProgramParams> params);
