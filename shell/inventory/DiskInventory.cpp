#include "shell/inventory/DiskInventory.h"

#include "core/common/Exceptions.h"
#include "core/common/OptionSet.h"
#include "core/common/ResultCodes.h"
#include "core/dates/DateNumbers.h"
#include "core/entity/EntityDetail.h"
#include "core/files/FileInfo.h"
#include "core/files/Paths.h"
#include "core/services/CursorScope.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "core/vocab/FileVocabulary.h"
#include "core/vocab/SectionNames.h"
#include "platform/zip/ZipFile.h"
#include "shell/backup/BackupArchives.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QTemporaryDir>
#include <memory>
#include <utility>

namespace {

constexpr int FileCodeLength = 6;
// "ACME0106.QTF": the code, two digits of year and the extension.
constexpr int ArchiveNameLength = FileCodeLength + 2 + 4;
// The charts a new file starts with, by kind.
constexpr TChartKind CreatedCharts[] = {ckAccounts, ckStdDescriptions, ckTaxes, ckCurrencies};

const QString ListDateFormat = QStringLiteral("dd mmm yyyy hh:mm:ss");
const QString UnknownDate = QStringLiteral("Unknown");
// The staging folder's name inside the data folder; the dot keeps it out of the file lists.
const QString StagingTemplate = QStringLiteral(".inventory-XXXXXX");

bool IsAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Only plain ASCII: a letter that merely folds to one (the Kelvin sign) does not count.
bool IsCodeCharacter(QChar c) {
    return IsAsciiDigit(c) || c == QLatin1Char('_') || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

bool IsArchiveCode(const QString& code) {
    if (code.size() != FileCodeLength)
        return false;
    for (const QChar c : code)
        if (!IsCodeCharacter(c))
            return false;
    return true;
}

// The regular file of that name in the folder, found without regard to case; empty when there
// is none, it is a link, or it is empty.
QString ExistingFile(const QString& folder, const QString& name) {
    const QString path = TServices::FileSystem().ResolveCaseInsensitive(QDir(folder).filePath(name));
    const QFileInfo info(path);
    return (info.isFile() && !info.isSymLink() && info.size() > 0) ? path : QString();
}

// Files moved into the data folder, and the files they replaced (kept in the staging folder),
// so that a failure part way can put the folder back as it was.
class TPlacedFiles {
public:
    explicit TPlacedFiles(QString asideFolder) : AsideFolder(std::move(asideFolder)) {}

    // Moves whatever stands at the target (a file or a link) into the staging folder.
    void MoveAside(const QString& target) {
        const QFileInfo info(target);
        if (!info.exists() && !info.isSymLink())
            return;
        const QString aside = QDir(AsideFolder).filePath(QString::number(Replaced.size()));
        if (!QFile::rename(target, aside))
            throw EQuilvaneError(QStringLiteral("Unable to replace %1.").arg(target));
        Replaced.append({target, aside});
    }

    // Moves a staged file to its target, replacing what stands there.
    void Place(const QString& staged, const QString& target) {
        MoveAside(target);
        if (!QFile::rename(staged, target))
            throw EQuilvaneError(QStringLiteral("Unable to write %1.").arg(target));
        Placed.append(target);
    }

    // A file written at the target by other means (the detail record's own save).
    void Written(const QString& target) { Placed.append(target); }

    // A folder this operation had to create.
    void CreatedFolder(const QString& folder) { Folders.append(folder); }

    // Takes back every change, newest first. Never throws.
    void Rollback() noexcept {
        try {
            for (qsizetype i = Placed.size() - 1; i >= 0; --i)
                QFile::remove(Placed[i]);
            for (qsizetype i = Replaced.size() - 1; i >= 0; --i)
                QFile::rename(Replaced[i].second, Replaced[i].first);
            for (qsizetype i = Folders.size() - 1; i >= 0; --i)
                QDir().rmdir(Folders[i]);
        } catch (...) {
        }
    }

private:
    QString AsideFolder;
    QStringList Placed;
    QList<std::pair<QString, QString>> Replaced;
    QStringList Folders;
};

// The folders of this system that a created file takes: those of a new file here.
struct TOwnFolders {
    QString DataDir, XferDir, BackupDir, ExportDir, ImportDir, ECIFolder;
};

// Reads the staged record of the archive, for the archive's year, and points it at this system.
std::unique_ptr<TEntityDetail> OpenStagedRecord(const QString& code, int year, const QString& stagedPath) {
    using namespace Option;
    std::unique_ptr<TEntityDetail> detail = TEntityDetail::Create(code, {Standard, NoLock});
    const TOwnFolders own{detail->DataDir,   detail->XferDir,   detail->BackupDir,
                          detail->ExportDir, detail->ImportDir, detail->ECIFolder};

    // The year is the archive's, so the activity-statement set-up read is that year's.
    detail->Year = static_cast<quint16>(year);
    detail->FileName = stagedPath;
    if (detail->Load({Standard, NoLock, Load, KeepYear}) != ResultCode::Success)
        throw EAbort();
    // The record names the file it is saved as: it must be the file the archive is named after.
    if (detail->FileCode.compare(code, Qt::CaseInsensitive) != 0)
        throw EQuilvaneError(QStringLiteral("The transfer file of %1 holds the details of file %2.")
                                 .arg(code, detail->FileCode));
    detail->FileCode = code;
    detail->RequireAccountFormat();

    // The sender's folders mean nothing here.
    detail->DataDir = own.DataDir;
    detail->XferDir = own.XferDir;
    detail->BackupDir = own.BackupDir;
    detail->ExportDir = own.ExportDir;
    detail->ImportDir = own.ImportDir;
    detail->ECIFolder = own.ECIFolder;
    detail->BASExportFilePath = own.ExportDir;
    detail->BASImportECIPath = own.ECIFolder;
    // Nobody holds the new file; the sender's lock keys do not come along.
    detail->Locked = false;
    detail->LockedBy.clear();
    detail->WriteString(SectionName(snConfiguration).toString(), QStringLiteral("LockedBy"), QString());
    return detail;
}

} // namespace

QString TDiskInventory::TransferFolder(QChar drive) {
    return BuildPath(
        {QString(drive.toUpper()) + QStringLiteral(":\\QUILVANE"), TransferFolderName.toString()});
}

bool TDiskInventory::ParseArchiveName(const QString& name, QString& fileCode, int& year) {
    fileCode.clear();
    year = 0;
    if (name.size() != ArchiveNameLength || !IsArchiveCode(name.left(FileCodeLength)) ||
        !IsAsciiDigit(name[FileCodeLength]) || !IsAsciiDigit(name[FileCodeLength + 1]))
        return false;
    const QString extension = name.mid(FileCodeLength + 2);
    for (const QChar c : extension)
        if (c.unicode() > 127)
            return false;
    if (extension.toUpper() != TransferArchiveExtension)
        return false;
    fileCode = name.left(FileCodeLength).toUpper();
    year = ToggleYearDigits(name.mid(FileCodeLength, 2).toInt());
    return true;
}

bool TDiskInventory::IsNewFile(const QString& fileCode) {
    const QString stored =
        BuildPath({ProgramParams().LicFilePath, fileCode + DetailRecordExtension.toString()});
    return GetFileSize(stored) < 1;
}

QString TDiskInventory::DateText(const QDateTime& modified) {
    const double dateNum = DateNumFromQDateTime(modified);
    return dateNum > 0 ? FormatDateNum(ListDateFormat, dateNum) : UnknownDate;
}

QString TDiskInventory::TransferFormatName(int index) {
    return TransferFormatNames.value(index);
}

QStringList TDiskInventory::ExtractNames(const QString& fileCode, int year) {
    QStringList selections{fileCode + DetailRecordExtension.toString()};
    const QString yearFile = fileCode + BackupArchives::TwoDigitYear(year);
    for (const TChartKind kind : CreatedCharts) {
        const TChartKindEntry& chart = ChartKindEntry(kind);
        selections.append(BuildPath({chart.Folder.toString(), yearFile + chart.Extension.toString()}));
    }
    return selections;
}

int TDiskInventory::ScanTransferFiles(QChar drive) {
    TCursorScope busy(TCursorKind::Busy);
    FFiles.clear();
    FDrive = drive.toUpper();
    if (!FDrive.isLetter() || FDrive.unicode() > 'Z')
        return 0;
    const QString folder = NativePath(TransferFolder(FDrive));
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return 0;

    // One archive per file code and year; a name that differs only in case loses to the one
    // written in capitals, as the program writes them.
    QMap<std::pair<QString, int>, TFileInfo> found;
    QHash<QString, bool> newFiles;
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo& info : entries) {
        TFileInfo file;
        if (!info.isFile() || info.isSymLink() ||
            !ParseArchiveName(info.fileName(), file.FileCode, file.Year))
            continue;
        const auto key = std::make_pair(file.FileCode, file.Year);
        if (found.contains(key) && info.fileName() != info.fileName().toUpper())
            continue;
        if (!newFiles.contains(file.FileCode))
            newFiles.insert(file.FileCode, IsNewFile(file.FileCode));
        file.NewFile = newFiles.value(file.FileCode);
        file.TransferFormat = 0;
        file.Path = info.filePath();
        QDateTime created, accessed;
        GetFileTimes(file.Path, created, accessed, file.Modified);
        found.insert(key, file);
    }
    FFiles = found.values();
    return static_cast<int>(FFiles.size());
}

int TDiskInventory::CreateFile(const TFileInfo& entry, QString& createdCode) {
    createdCode.clear();
    FErrorText.clear();
    const QString code = entry.FileCode.toUpper();
    if (!IsArchiveCode(code))
        throw EQuilvaneError(QStringLiteral("The file code %1 is not valid.").arg(entry.FileCode));
    const QString dataDir = NativePath(ProgramParams().LicFilePath);
    if (dataDir.isEmpty() || !QFileInfo(dataDir).isDir())
        throw EQuilvaneError(
            QStringLiteral("The data folder %1 is not available.").arg(ProgramParams().LicFilePath));
    // The list may be older than the data folder: another workstation may have made the file.
    if (!IsNewFile(code))
        throw EQuilvaneError(QStringLiteral("The file %1 already exists on this system.").arg(code));

    const std::unique_ptr<IProgress> progress = TServices::CreateProgress();
    progress->Setup(ReadingCaption, 0, QFileInfo(entry.Path).fileName(), true, true);

    // Everything is unpacked beside the data, and moved in only when the whole file is there.
    QTemporaryDir staging(QDir(dataDir).filePath(StagingTemplate));
    if (!staging.isValid())
        throw EQuilvaneError(
            QStringLiteral("Unable to write to the folder %1. %2").arg(dataDir, staging.errorString()));

    TUnzipFile unzip;
    unzip.ZipFile = entry.Path;
    unzip.DecryptCode = ArchivePassword.toString();
    unzip.OnProgress = [&progress](int percent) { progress->SetPosition(percent); };
    BackupArchives::HoldToYear(unzip, code, entry.Year);
    int result = unzip.Open();
    if (result == ZipResult::Ok)
        result = unzip.Extract(ExtractNames(code, entry.Year), staging.path(), false, true);
    if (result != ZipResult::Ok) {
        FErrorText = unzip.ErrorText();
        return result;
    }
    const QString stagedRecord = ExistingFile(staging.path(), code + DetailRecordExtension.toString());
    if (stagedRecord.isEmpty()) {
        FErrorText = QStringLiteral("The transfer file holds no details of file %1.").arg(code);
        return ZipResult::NothingMatched;
    }

    const std::unique_ptr<TEntityDetail> detail = OpenStagedRecord(code, entry.Year, stagedRecord);

    const QString asideFolder = QDir(staging.path()).filePath(QStringLiteral("replaced"));
    if (!QDir().mkpath(asideFolder))
        throw EQuilvaneError(QStringLiteral("Unable to write to the folder %1.").arg(staging.path()));
    TPlacedFiles placed(asideFolder);
    try {
        const QString yearFile = code + BackupArchives::TwoDigitYear(entry.Year);
        for (const TChartKind kind : CreatedCharts) {
            const TChartKindEntry& chart = ChartKindEntry(kind);
            const QString name = yearFile + chart.Extension.toString();
            const QString stagedFolder = TServices::FileSystem().ResolveCaseInsensitive(
                QDir(staging.path()).filePath(chart.Folder.toString()));
            const QString staged = ExistingFile(stagedFolder, name);
            if (staged.isEmpty())
                continue;
            const QString folder =
                NativePath(BuildPath({ProgramParams().LicFilePath, chart.Folder.toString()}));
            if (!QFileInfo(folder).isDir()) {
                if (!QDir().mkpath(folder))
                    throw EQuilvaneError(QStringLiteral("Unable to create the folder %1.").arg(folder));
                placed.CreatedFolder(folder);
            }
            placed.Place(staged, TServices::FileSystem().ResolveCaseInsensitive(QDir(folder).filePath(name)));
        }

        // An empty record of the code stands aside for the new one (and comes back on failure);
        // a record written meanwhile by another workstation is never replaced.
        if (!IsNewFile(code))
            throw EQuilvaneError(QStringLiteral("The file %1 already exists on this system.").arg(code));
        placed.MoveAside(detail->NativeFileName({Option::Standard}));
        placed.Written(detail->NativeFileName({Option::Standard}));
        if (detail->Save({Option::Standard}) != ResultCode::Success)
            throw EAbort();
    } catch (...) {
        placed.Rollback();
        throw;
    }
    createdCode = code;
    return ZipResult::Ok;
}
