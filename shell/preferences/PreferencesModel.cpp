#include "shell/preferences/PreferencesModel.h"

#include "core/accounts/AccountFormat.h"
#include "core/common/RegionalSettings.h"
#include "core/files/Paths.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "core/vocab/ReportVocabulary.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool InRange(int index, qsizetype count) {
    return index >= 0 && index < count;
}

// The folder as this workstation reaches it, for comparing two stored forms.
QString ComparableFolder(const QString& folder) {
    const QString native = NativePath(folder.trimmed());
    return native.isEmpty() ? folder.trimmed() : QDir::cleanPath(native);
}

} // namespace

void TPreferencesModel::Load(const TProgramParams& params) {
    CountryNames.clear();
    for (int i = 0; i < params.Countries.Count(); ++i)
        CountryNames.append(params.Countries.Row(i)->Description);
    DestSystemCodes = params.AccountFormats.Codes();
    DestSystemNames.clear();
    for (int i = 0; i < params.AccountFormats.Count(); ++i) {
        const QString description = params.AccountFormats.Row(i)->Description;
        DestSystemNames.append(description.isEmpty() ? DestSystemCodes[i] : description);
    }

    DataFolder = params.NextLicFilePath.isEmpty() ? params.LicFilePath : params.NextLicFilePath;
    CountryIndex = IndexOfCountry(params, params.Country);
    RestoreDesktop = qBound(0, params.RestoreDesktop, 2);
    DestSystemIndex = params.DestSystem.isEmpty() ? -1 : params.AccountFormats.IndexOf(params.DestSystem);
    ExportFormatIndex = IndexOfDestFormat(params.DestFormat);
    TimedBackups = params.TimedBackups;
    BackupIntervalText = QString::number(params.BackupInterval);
    BackupLevels = qBound(MinBackupLevels, params.LevelsOfBackup, MaxBackupLevels);
    FontSizeText =
        params.DefaultReportFontSize > 0 ? QString::number(params.DefaultReportFontSize) : QString();
    CustomReportsDateIndex = IndexOfDateFormat(params.ReportDateFormat);
    OtherReportsDateIndex = IndexOfDateFormat(params.NarrativeDateFormat);
}

bool TPreferencesModel::Store(TProgramParams& params) const {
    const QString folder = DataFolder.trimmed();
    const QString problem = DataFolderProblem(folder);
    if (!problem.isEmpty()) {
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Warning, problem, TMessageButton::OK);
        return false;
    }
    const QString before = params.NextLicFilePath.isEmpty() ? params.LicFilePath : params.NextLicFilePath;
    const bool folderChanged = ComparableFolder(folder) != ComparableFolder(before);

    // This run keeps its data folder; the one chosen is written for the next start.
    params.NextLicFilePath =
        ComparableFolder(folder) == ComparableFolder(params.LicFilePath) ? QString() : folder;
    // The setting holds the country's name, as the list shows it: nothing in the program reads
    // it as a code, and a name stays readable in the ini. Settings that still hold a code are
    // recognised when loading (IndexOfCountry) and take the name when stored.
    if (InRange(CountryIndex, CountryNames.size()))
        params.Country = CountryNames[CountryIndex];
    params.RestoreDesktop = qBound(0, RestoreDesktop, 2);
    // The destination system is an account-format code: a new client file takes that format.
    if (InRange(DestSystemIndex, DestSystemCodes.size()))
        params.DestSystem = DestSystemCodes[DestSystemIndex];
    else if (!DestSystemCodes.isEmpty())
        params.DestSystem = DestSystemCodes.first();
    params.TimedBackups = TimedBackups;
    params.BackupInterval = ParseBackupInterval(BackupIntervalText);
    params.LevelsOfBackup = qBound(MinBackupLevels, BackupLevels, MaxBackupLevels);
    params.DestFormat = ExportFormats().value(
        InRange(ExportFormatIndex, ExportFormatCount) ? ExportFormatIndex : DefaultExportFormat);
    params.DefaultReportFontSize = ParseFontSize(FontSizeText);

    // A pattern equal to the setting but for case keeps the setting's text, so the shared
    // reference-data file is not rewritten for nothing.
    const QStringList patterns = DateFormats();
    const auto choose = [&patterns](int index, QString& setting) {
        if (InRange(index, patterns.size()) && patterns[index].compare(setting, Qt::CaseInsensitive) != 0)
            setting = patterns[index];
    };
    choose(CustomReportsDateIndex, params.ReportDateFormat);
    choose(OtherReportsDateIndex, params.NarrativeDateFormat);
    TRegionalSettings& regional = TServices::Regional();
    regional.ReportDateFormat = params.ReportDateFormat;
    regional.NarrativeDateFormat = params.NarrativeDateFormat;

    if (folderChanged)
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Information, DataFolderChangedText,
                           TMessageButton::OK | TMessageButton::Help, DataFolderHelpContext);
    return true;
}

QString TPreferencesModel::DataFolderProblem(const QString& folder) {
    const QString stored = folder.trimmed();
    if (stored.isEmpty())
        return DataFolderBlankText;
    const QString native = NativePath(stored);
    if (!native.isEmpty() && QDir::isRelativePath(native))
        return DataFolderNotFullPathText.arg(stored);
    if (native.isEmpty() || !QFileInfo(native).isDir())
        return DataFolderMissingText.arg(stored);
    const QString datPath = NativePath(BuildPath({stored, TProgramParams::ReferenceDataFileName}));
    if (datPath.isEmpty() || !QFileInfo(datPath).isFile())
        return DataFolderNoReferenceDataText.arg(stored);
    return QString();
}

QStringList TPreferencesModel::DateFormats() {
    return {QStringLiteral("dd/mm/yyyy"),  QStringLiteral("d mmm yyyy"),  QStringLiteral("d-mmm-yyyy"),
            QStringLiteral("dd mmm yyyy"), QStringLiteral("dd-mmm-yyyy"), QStringLiteral("d mmmm yyyy"),
            QStringLiteral("dd mmmm yyyy")};
}

QStringList TPreferencesModel::ExportFormats() {
    QStringList names;
    for (const TExportFormat& format : ExportFormatTable)
        names.append(format.Name.toString());
    return names;
}

QStringList TPreferencesModel::FontSizes() {
    QStringList sizes;
    for (int size = FirstListedFontSize; size <= LastListedFontSize; ++size)
        sizes.append(QString::number(size));
    return sizes;
}

int TPreferencesModel::IndexOfDestFormat(const QString& name) {
    const int index = IndexOfExportFormat(name);
    return index < 0 ? DefaultExportFormat : index;
}

int TPreferencesModel::IndexOfDateFormat(const QString& format) {
    return static_cast<int>(DateFormats().indexOf(format.trimmed().toLower()));
}

int TPreferencesModel::IndexOfCountry(const TReferenceData& reference, const QString& country) {
    const QString text = country.trimmed();
    if (text.isEmpty())
        return InRange(reference.DefaultCountryIndex, reference.Countries.Count())
                   ? reference.DefaultCountryIndex
                   : -1;
    for (int i = 0; i < reference.Countries.Count(); ++i)
        if (reference.Countries.Row(i)->Description.compare(text, Qt::CaseInsensitive) == 0)
            return i;
    return reference.Countries.IndexOf(text);
}

int TPreferencesModel::ParseBackupInterval(const QString& text) {
    bool ok = false;
    const int minutes = text.trimmed().toInt(&ok, 10);
    return ok ? qBound(MinTimedSave, minutes, MaxTimedSave) : DefaultBackupInterval;
}

int TPreferencesModel::ParseFontSize(const QString& text) {
    bool ok = false;
    const int size = text.trimmed().toInt(&ok, 10);
    return ok && size >= 1 && size <= MaxFontSize ? size : DefaultFontSize;
}
