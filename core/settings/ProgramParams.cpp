#include "core/settings/ProgramParams.h"

#include "core/accounts/AccountFormat.h"
#include "core/charts/StandardChart.h"
#include "core/common/Exceptions.h"
#include "core/files/Paths.h"
#include "core/files/Workstation.h"
#include "core/io/IniFile.h"
#include "core/services/RetryLoop.h"
#include "core/services/Services.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <stdexcept>

namespace {

const QString DesktopSection = QStringLiteral("DESKTOP");
const QString HistorySection = QStringLiteral("HISTORY");
const QString DrivesSection = QStringLiteral("DRIVES");
const QString RegionalSection = QStringLiteral("REGIONAL");

constexpr int SupportHelpContext = 100000;
// The logon name came through a buffer of this many characters, its terminating null included.
constexpr int LogonNameBufferLength = 100;

void MakeFolder(const QString& folder) {
    if (!QDir().mkpath(folder))
        throw EQuilvaneError(QStringLiteral("Unable to create the folder ") + folder);
}

// A file shipped with the program: beside the executable in share/, else where the build put it.
QString ShippedFilePath(const QString& name) {
    if (QCoreApplication::instance()) {
        const QString besideProgram =
            QCoreApplication::applicationDirPath() + QStringLiteral("/share/") + name;
        if (QFileInfo::exists(besideProgram))
            return besideProgram;
    }
    return QStringLiteral(QUILVANE_SHARE_DIR) + QLatin1Char('/') + name;
}

QByteArray ReadFileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EQuilvaneError(QStringLiteral("Unable to read ") + path);
    return file.readAll();
}

} // namespace

TProgramParams::TProgramParams() = default;

TProgramParams::~TProgramParams() = default;

QString TProgramParams::IniPath() {
    const QString overridden = qEnvironmentVariable("QUILVANE_INI");
    if (!overridden.isEmpty())
        return overridden;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Quilvane/Quilvane.ini");
}

QString TProgramParams::DefaultDataFolder() {
    return QDir::homePath() + QStringLiteral("/QUILVANE/DATA");
}

QString TProgramParams::DefaultTempReportsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/Quilvane/TMPREPTS");
}

QString TProgramParams::ShippedReferenceDataPath() {
    return ShippedFilePath(ReferenceDataFileName);
}

QString TProgramParams::ShippedStandardChartPath() {
    return ShippedFilePath(TStandardChart::ShippedFileName);
}

QString TProgramParams::ShippedTaxCodesPath() {
    return ShippedFilePath(TStandardChart::ShippedTaxCodesFileName);
}

QString TProgramParams::StoredReferenceDataPath() const {
    return BuildPath({LicFilePath, ReferenceDataFileName});
}

QString TProgramParams::ReferenceDataPath() const {
    return NativePath(StoredReferenceDataPath());
}

void TProgramParams::ClearSettings() {
    TReferenceData::Clear();
    LicFilePath.clear();
    NextLicFilePath.clear();
    DOSVersionPath.clear();
    TimedBackups = false;
    BackupInterval = 0;
    LevelsOfBackup = 0;
    RestoreDesktop = 0;
    DestSystem.clear();
    PreferredPrefix.clear();
    Country.clear();
    DestFormat.clear();
    PerformUpgrade = false;
    WorkStation = false;
    DefaultReportFontSize = 0;
    Entities.Clear();
    Forms.clear();
    Current.clear();
    TempReportsFolder.clear();
    UserName.clear();
}

int TProgramParams::Load() {
    IsLoaded = false;
    // A font size the program set before loading is the default for a missing key.
    const int fontSizeBefore = DefaultReportFontSize;
    IsLoaded = RunWithRetryBox(
        [&] {
            // Each attempt starts from nothing, so a retry never keeps rows of a failed one.
            ClearSettings();
            DefaultReportFontSize = fontSizeBefore;
            LoadOnce();
        },
        [](const QString& error) { return error + QStringLiteral(" - Contact Support for assistance."); },
        TMessageButton::Cancel | TMessageButton::Retry | TMessageButton::Help, SupportHelpContext);
    StoredReportDateFormat = ReportDateFormat;
    StoredNarrativeDateFormat = NarrativeDateFormat;
    return IsLoaded ? 0 : -1;
}

void TProgramParams::LoadOnce() {
    const QString iniPath = IniPath();
    const bool firstRun = !QFileInfo::exists(iniPath);
    if (firstRun)
        CreateFirstRunFiles(iniPath);
    {
        TIniFile ini(iniPath);
        ini.SetStripQuotes(true);
        // Drive letters first: the data folder may be stored on one.
        MapDrives(ini);
        ReadDesktop(ini);
        ReadHistory(ini);
    }

    const QString datPath = ReferenceDataPath();
    if (datPath.isEmpty())
        throw EQuilvaneError(QStringLiteral("Unable to read ") + StoredReferenceDataPath());
    TReferenceData::Load(datPath);
    if (firstRun)
        InstallStandardCharts();

    TempReportsFolder = DefaultTempReportsFolder();
    MakeFolder(TempReportsFolder);

    UserName = GetComputerNameText();
}

void TProgramParams::CreateFirstRunFiles(const QString& iniPath) {
    const QString dataFolder = DefaultDataFolder();
    MakeFolder(dataFolder);
    const QString installed = QDir(dataFolder).filePath(ReferenceDataFileName);
    const QString shipped = ShippedReferenceDataPath();
    if (!QFileInfo::exists(TServices::FileSystem().ResolveCaseInsensitive(installed)) &&
        QFileInfo::exists(shipped)) {
        if (!QFile::copy(shipped, installed))
            throw EQuilvaneError(QStringLiteral("Unable to install the reference data in ") + installed);
        // The shipped copy may be read-only; the installed one takes the two date formats back.
        QFile::setPermissions(installed, QFile::permissions(installed) | QFileDevice::WriteOwner);
    }
    MakeFolder(QFileInfo(iniPath).absolutePath());
    TIniFile ini;
    ini.Rename(iniPath, false);
    ini.WriteString(DesktopSection, QStringLiteral("LicFilePath"), QDir::toNativeSeparators(dataFolder));
    ini.UpdateFile();
}

void TProgramParams::InstallStandardCharts() const {
    // The chart and the tax codes are written in the program's own format; a practice whose
    // reference data lacks that format has no use for them.
    const TAccountFormat* format = FindAccountFormat(TStandardChart::FormatID);
    const QString dataFolder = NativePath(LicFilePath);
    if (!format || dataFolder.isEmpty())
        return;
    QStringList failures = TStandardChart::Install(ShippedStandardChartPath(), dataFolder, format->BaseName,
                                                   EntityTypes.Codes());
    const QString taxCodes =
        TStandardChart::InstallTaxCodes(ShippedTaxCodesPath(), dataFolder, format->BaseName);
    if (!taxCodes.isEmpty())
        failures.append(taxCodes);
    for (const QString& failure : failures)
        qWarning("%s", qUtf8Printable(failure));
}

void TProgramParams::MapDrives(const TIniFile& ini) {
    IFileSystem& local = TServices::FileSystem();
    for (QChar letter : MappedDrives)
        local.MapDrive(letter, QString());
    MappedDrives.clear();
    for (const QString& key : ini.ReadSection(DrivesSection)) {
        QString letter = key;
        if (letter.endsWith(QLatin1Char(':')))
            letter.chop(1);
        if (letter.size() != 1 || letter[0].unicode() >= 128 || !letter[0].isLetter())
            continue;
        local.MapDrive(letter[0], ini.ReadString(DrivesSection, key, QString()));
        MappedDrives.append(letter[0]);
    }
}

void TProgramParams::ReadDesktop(const TIniFile& ini) {
    LicFilePath = ini.ReadString(DesktopSection, QStringLiteral("LicFilePath"), QString());
    if (LicFilePath.isEmpty())
        throw EQuilvaneError(QStringLiteral("Unable to read Quilvane.ini"));
    DOSVersionPath = ini.ReadString(DesktopSection, QStringLiteral("DOSVersionPath"), QString());
    TimedBackups = ini.ReadBool(DesktopSection, QStringLiteral("TimedBackups"), true);
    BackupInterval = ini.ReadInteger(DesktopSection, QStringLiteral("BackupInterval"), 10);
    LevelsOfBackup = ini.ReadInteger(DesktopSection, QStringLiteral("LevelsOfBackup"), 99);
    RestoreDesktop = ini.ReadInteger(DesktopSection, QStringLiteral("RestoreDesktop"), 0);
    PreferredPrefix =
        ini.ReadString(DesktopSection, QStringLiteral("PreferredPrefix"), QString()).toUpper().left(3);
    DestSystem = ini.ReadString(DesktopSection, QStringLiteral("DestSystem"), QString());
    DestFormat = ini.ReadString(DesktopSection, QStringLiteral("DestFormat"), DefaultDestFormat);
    Country = ini.ReadString(DesktopSection, QStringLiteral("Country"), QString());
    PerformUpgrade = ini.ReadBool(DesktopSection, QStringLiteral("PerformUpgrade"), false);
    WorkStation = ini.ReadBool(DesktopSection, QStringLiteral("WorkStation"), false);
    DefaultReportFontSize =
        ini.ReadInteger(DesktopSection, QStringLiteral("DefaultReportFontSize"), DefaultReportFontSize);
}

void TProgramParams::ReadHistory(const TIniFile& ini) {
    // Keys in file order: "Entities10" comes after "Entities9" when the file says so.
    for (const QString& key : ini.ReadSection(HistorySection)) {
        const QString value = ini.ReadString(HistorySection, key, QString());
        if (key.contains(QLatin1String("Entities"), Qt::CaseInsensitive) &&
            Entities.Count() < TEntityHistory::MaxEntries) {
            // "CODE,status"; a value without a comma is all code with status 0.
            const qsizetype comma = value.indexOf(QLatin1Char(','));
            const QString code = (comma < 0 ? value : value.left(comma)).trimmed();
            int status = 0;
            if (comma >= 0) {
                const QString rest = value.mid(comma + 1);
                const qsizetype next = rest.indexOf(QLatin1Char(','));
                bool ok = false;
                status = (next < 0 ? rest : rest.left(next)).trimmed().toInt(&ok, 10);
                if (!ok)
                    status = 0;
            }
            if (!code.isEmpty() && !Entities.Contains(code))
                Entities.Append(code, TPreviousEntityStatus(status));
        }
        if (key.contains(QLatin1String("Forms"), Qt::CaseInsensitive))
            Forms.append(value);
        if (key.contains(QLatin1String("Current"), Qt::CaseInsensitive))
            Current = value;
    }
}

void TProgramParams::Save() {
    if (!IsLoaded)
        return;
    try {
        SaveIni();
        SaveRegionalFormats();
    } catch (const std::exception& error) {
        TServices::Prompt().ShowMessage(TMessageKind::Error,
                                        QStringLiteral("Error saving program params - ") + ErrorText(error),
                                        TMessageButton::OK);
    }
}

void TProgramParams::SaveIni() {
    // Composed in memory and written once, so a failure part way can never lose the history.
    const QString path = IniPath();
    const bool exists = QFileInfo::exists(path);
    const QByteArray original = exists ? ReadFileBytes(path) : QByteArray();
    TIniFile ini;
    ini.LoadFromBytes(original);
    ini.Rename(path, false);

    ini.WriteString(DesktopSection, QStringLiteral("LicFilePath"),
                    NextLicFilePath.isEmpty() ? LicFilePath : NextLicFilePath);
    ini.WriteString(DesktopSection, QStringLiteral("DOSVersionPath"), DOSVersionPath);
    ini.WriteBool(DesktopSection, QStringLiteral("TimedBackups"), TimedBackups);
    ini.WriteInteger(DesktopSection, QStringLiteral("BackupInterval"), BackupInterval);
    ini.WriteInteger(DesktopSection, QStringLiteral("LevelsOfBackup"), LevelsOfBackup);
    ini.WriteInteger(DesktopSection, QStringLiteral("RestoreDesktop"), RestoreDesktop);
    ini.WriteString(DesktopSection, QStringLiteral("DestSystem"), DestSystem);
    ini.WriteString(DesktopSection, QStringLiteral("DestFormat"), DestFormat);
    ini.WriteString(DesktopSection, QStringLiteral("Country"), Country);
    ini.WriteBool(DesktopSection, QStringLiteral("PerformUpgrade"), PerformUpgrade);
    ini.WriteInteger(DesktopSection, QStringLiteral("DefaultReportFontSize"), DefaultReportFontSize);

    ini.EraseSection(HistorySection);
    for (qsizetype i = 0; i < Forms.size(); ++i)
        ini.WriteString(HistorySection, QStringLiteral("Forms%1").arg(i), Forms[i]);
    for (int i = 0; i < Entities.Count(); ++i)
        ini.WriteString(HistorySection, QStringLiteral("Entities%1").arg(i),
                        Entities[i].Code + QLatin1Char(',') + QString::number(Entities[i].Status.Status));
    ini.WriteString(HistorySection, QStringLiteral("Current"), Current);

    if (exists && ini.ToBytes() == original)
        return;
    MakeFolder(QFileInfo(path).absolutePath());
    ini.UpdateFile();
}

void TProgramParams::SaveRegionalFormats() {
    // The reference-data file is shared by every workstation of the practice: only a format
    // this run changed is written, so a stale copy never overwrites another workstation's
    // change; the file is rewritten only when such a format really differs from it, with only
    // those lines touched, and atomically, so a workstation starting up never reads half a file.
    const bool reportChanged = ReportDateFormat != StoredReportDateFormat;
    const bool narrativeChanged = NarrativeDateFormat != StoredNarrativeDateFormat;
    if (!reportChanged && !narrativeChanged)
        return;
    const QString path = ReferenceDataPath();
    if (path.isEmpty())
        throw EQuilvaneError(QStringLiteral("Unable to read ") + StoredReferenceDataPath());
    TIniFile dat;
    dat.LoadFromBytes(ReadFileBytes(path));
    const QString narrativeKey = QStringLiteral("NarrativeDateFormat");
    const QString reportKey = QStringLiteral("ReportDateFormat");
    const auto differs = [&dat](const QString& key, const QString& value) {
        return !dat.ValueExists(RegionalSection, key) ||
               dat.ReadString(RegionalSection, key, QString()) != value;
    };
    const bool writeNarrative = narrativeChanged && differs(narrativeKey, NarrativeDateFormat);
    const bool writeReport = reportChanged && differs(reportKey, ReportDateFormat);
    if (writeNarrative)
        dat.WriteString(RegionalSection, narrativeKey, NarrativeDateFormat);
    if (writeReport)
        dat.WriteString(RegionalSection, reportKey, ReportDateFormat);
    if (writeNarrative || writeReport)
        dat.SaveToFile(path);
    StoredReportDateFormat = ReportDateFormat;
    StoredNarrativeDateFormat = NarrativeDateFormat;
}

void TProgramParams::AddHistory(const QStringList& openFiles, const QString& code) {
    const int existing = Entities.IndexOf(code);
    if (existing >= 0) {
        Entities.RemoveAt(existing);
    } else if (Entities.Count() >= TEntityHistory::MaxEntries) {
        // Make room by dropping the oldest file that is not open on the desktop.
        for (int i = Entities.Count() - 1; i >= 0; --i) {
            if (!openFiles.contains(Entities[i].Code, Qt::CaseInsensitive)) {
                Entities.RemoveAt(i);
                break;
            }
        }
    }
    if (Entities.Count() < TEntityHistory::MaxEntries)
        Entities.Insert(0, code, TPreviousEntityStatus(1));
}

void TProgramParams::UseLogonUserName() {
    const QString logon = TServices::Identity().LogonName();
    if (!logon.isEmpty() && logon.size() < LogonNameBufferLength)
        UserName = logon;
}

TProgramParams& ProgramParams() {
    return TServices::Settings();
}

bool HasProgramParams() {
    return TServices::HasSettings();
}

void SetProgramParams(std::shared_ptr<TProgramParams> params) {
    TServices::SetSettings(std::move(params));
}
