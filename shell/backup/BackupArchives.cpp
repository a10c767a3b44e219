#include "shell/backup/BackupArchives.h"

#include "core/charts/BRecOpeningDetail.h"
#include "core/common/Exceptions.h"
#include "core/dates/DateFormatter.h"
#include "core/dates/DateNumbers.h"
#include "core/entity/EntityDetail.h"
#include "core/files/Paths.h"
#include "core/transactions/TransactionFileNames.h"
#include "core/transactions/TransactionRecord.h"
#include "core/vocab/FileVocabulary.h"
#include "core/vocab/PageKinds.h"
#include "platform/zip/ZipFile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace BackupArchives {

namespace {

const QString& CheckedCode(const QString& code) {
    if (!TEntityDetail::IsPlainFileCode(code))
        throw EQuilvaneError(QStringLiteral("\"%1\" is not a valid file code.").arg(code));
    return code;
}

// "ACME0106": the common front of every archive and year file name of the file and year.
QString CodeAndYear(const QString& code, int year) {
    return CheckedCode(code) + TwoDigitYear(year);
}

bool IsAsciiDigits(const QString& text) {
    return !text.isEmpty() &&
           std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The extension of a name of the file and year ("007" of "ACME0106.007"); a null string when
// the name is not one of them.
QString ExtensionAfter(const QString& name, const QString& front) {
    const QString prefix = front + QLatin1Char('.');
    if (!name.startsWith(prefix, Qt::CaseInsensitive))
        return QString();
    return name.mid(prefix.size());
}

// The last part of a stored path ("ACME01\\ACME0106.PA1" gives "ACME0106.PA1").
QString LastPart(const QString& path) {
    return QString(path).replace(u'\\', u'/').section(u'/', -1);
}

// The folders of a year's files: the file code's and the two chart folders.
constexpr int YearFolderCount = 3;

} // namespace

QString TwoDigitYear(int year) {
    const int twoDigits = (year >= 0 && year < 100) ? year : ToggleYearDigits(year);
    return QString::asprintf("%.2d", twoDigits);
}

QString BackupArchiveName(const QString& code, int year, int number) {
    return CodeAndYear(code, year) + QString::asprintf(".%.3d", number);
}

QString TransferArchiveName(const QString& code, int year) {
    return CodeAndYear(code, year) + TransferArchiveExtension.toString();
}

QString ArchiveFolder(const QString& storedFolder, QChar drive) {
    if (!drive.isLetter() || drive.unicode() > 0x7f)
        return storedFolder;
    const QString letter = QString(drive.toUpper());
    if (storedFolder.size() >= 2 && storedFolder[0].isLetter() && storedFolder[1] == u':')
        return letter + storedFolder.mid(1);
    if (storedFolder.startsWith(QLatin1String("\\\\")) || storedFolder.startsWith(QLatin1String("//")))
        return storedFolder;
    if (storedFolder.startsWith(u'\\') || storedFolder.startsWith(u'/'))
        return letter + QLatin1Char(':') + storedFolder;
    return letter + QLatin1String(":\\") + storedFolder;
}

QString ArchivePath(const QString& folder, const QString& name) {
    return BuildPath({folder, name});
}

QStringList IncludePatterns(const QString& code, int year, bool forBackup) {
    const QString yearDigits = TwoDigitYear(year);
    QStringList patterns{CheckedCode(code) + QLatin1String(".cfg")};
    for (int kind = 0; kind < ChartKindCount; ++kind) {
        const TChartKindEntry& entry = ChartKindTable[static_cast<size_t>(kind)];
        const QString folder = entry.Folder.toString() + QLatin1Char('\\');
        if (kind == ckJobstreamSets)
            continue;
        if (kind == ckReportLayouts || kind == ckReportFormats)
            patterns.append(folder + code + entry.Extension.toString());
        else
            patterns.append(folder + code + yearDigits + entry.Extension.toString());
    }
    patterns.append(code + QLatin1Char('\\') + code + yearDigits + QLatin1String(".*"));
    if (forBackup)
        patterns.append(ChartKindTable[ckBankRecOpening].Folder.toString() + QLatin1Char('\\') + code +
                        yearDigits + QLatin1String(".*"));
    return patterns;
}

int BackupNumberOf(const QString& extension) {
    if (!IsAsciiDigits(extension) || extension.size() > 12)
        return 0;
    const qint64 value = extension.toLongLong();
    return value > MaxBackupNumber ? 0 : static_cast<int>(value);
}

int ProposeNextBackup(const QStringList& namesInFolder, const QString& code, int year, int stored) {
    const QString front = CodeAndYear(code, year);
    int next = stored;
    for (const QString& name : namesInFolder) {
        const QString extension = ExtensionAfter(name, front);
        if (extension.isNull())
            continue;
        const int number = BackupNumberOf(extension);
        if (number >= next)
            next = number + 1;
    }
    return std::max(next, 1);
}

QList<TBackupFileInfo> ListBackups(const QString& nativeFolder, const QString& code, int year) {
    const QString front = CodeAndYear(code, year);
    QList<TBackupFileInfo> backups;
    if (nativeFolder.isEmpty())
        return backups;
    const QDir folder(nativeFolder);
    const QFileInfoList entries =
        folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo& entry : entries) {
        const QString extension = ExtensionAfter(entry.fileName(), front);
        // A further dot marks a file that only sits beside an archive: the temporary file of an
        // archive being written, never an archive itself.
        if (extension.isEmpty() || extension.contains(u'.') || !entry.isFile() || entry.isSymLink())
            continue;
        backups.append({entry.absoluteFilePath(), BackupNumberOf(extension), entry.lastModified()});
    }
    std::stable_sort(backups.begin(), backups.end(),
                     [](const TBackupFileInfo& a, const TBackupFileInfo& b) { return a.Number > b.Number; });
    return backups;
}

int PruneTarget(int number, int levels) {
    if (levels < 1 || number <= levels)
        return -1;
    return number - levels;
}

QString ArchiveTimeText(const QDateTime& time) {
    return TDateFormatter().Format(QStringLiteral("dd mmm yyyy \"at\" h:nn am/pm"),
                                   DateNumFromQDateTime(time));
}

QString ProposalText(int number, const QDateTime& now) {
    const QString when =
        TDateFormatter().Format(TServices::Regional().LongTimeFormat, DateNumFromQDateTime(now));
    return QStringLiteral("No. %1  (%2)").arg(QString::number(number), when);
}

QString BackupListText(const TBackupFileInfo& info) {
    return QStringLiteral("No. %1  (%2)").arg(QString::number(info.Number), ArchiveTimeText(info.Modified));
}

qint64 MaxEntrySize(const QString& entryName) {
    // A record is a page of ini text; a chart of tens of thousands of accounts with their budgets
    // stays far below its bound.
    constexpr qint64 RecordBound = 4ll << 20;
    constexpr qint64 OtherFileBound = 256ll << 20;
    const QString name = QString(entryName).replace(u'\\', u'/');
    const QString folder = name.section(u'/', 0, -2);
    if (folder.isEmpty())
        return name.endsWith(DetailRecordExtension.toString(), Qt::CaseInsensitive) ? RecordBound : OtherFileBound;
    const bool chartFolder = folder.compare(QStringLiteral("M_DETAIL"), Qt::CaseInsensitive) == 0 ||
                             folder.compare(QStringLiteral("BANK_REC"), Qt::CaseInsensitive) == 0;
    return chartFolder ? OtherFileBound : MaxTransactionFileBytes();
}

} // namespace BackupArchives

namespace BackupArchives {

QStringList YearFileNames(const QString& code, int year) {
    const QString yearFile = CodeAndYear(code, year);
    QStringList names{code + DetailRecordExtension.toString()};
    for (int kind = 0; kind < ChartKindCount; ++kind) {
        if (kind == ckJobstreamSets)
            continue;
        const TChartKindEntry& chart = ChartKindTable[static_cast<size_t>(kind)];
        const bool everyYear = kind == ckReportLayouts || kind == ckReportFormats;
        names.append(chart.Folder.toString() + u'/' + (everyYear ? code : yearFile) +
                     chart.Extension.toString());
    }
    for (int kind = 0; kind < PageKindCount; ++kind)
        for (int month = 0; month <= 12; ++month) {
            const QString file = TransactionFileName(QString(), code, year, kind, month, TOptionSet{});
            const QString name = code + u'/' + LastPart(file);
            if (!file.isEmpty() && !names.contains(name))
                names.append(name);
        }
    const QString reconciliation = ChartKindTable[ckBankRecOpening].Folder.toString() + u'/';
    for (int slot = 0; slot < TBRecOpeningDetail::SlotCount; ++slot)
        for (const bool matched : {true, false})
            names.append(reconciliation + LastPart(TBRecOpeningDetail::ReconciliationFileName(
                                              QString(), code, year, slot, matched)));
    return names;
}

QString ProgramFileName(const QString& entry, const QString& code, int year) {
    const QString name = QString(entry).replace(u'\\', u'/');
    for (const QString& own : YearFileNames(code, year))
        if (own.compare(name, Qt::CaseInsensitive) == 0)
            return own;
    return QString();
}

int MaxArchiveEntries(const QString& code, int year) {
    return static_cast<int>(YearFileNames(code, year).size()) + YearFolderCount;
}

qint64 MaxArchiveBytes(const QString& code, int year) {
    const QString reconciliation = ChartKindTable[ckBankRecOpening].Folder.toString() + u'/';
    const QString openings = ChartKindTable[ckBankRecOpening].Extension.toString();
    qint64 total = 0, months = 0;
    for (const QString& name : YearFileNames(code, year)) {
        if (name.startsWith(reconciliation) && !name.endsWith(openings))
            continue;
        total += MaxEntrySize(name);
        if (name.startsWith(code + u'/'))
            months += MaxEntrySize(name);
    }
    return total + months;
}

void HoldToYear(TUnzipFile& unzip, const QString& code, int year) {
    unzip.SizeLimit = MaxEntrySize;
    unzip.MaxEntries = MaxArchiveEntries(code, year);
    unzip.TotalLimit = MaxArchiveBytes(code, year);
    unzip.NameOf = [code, year](const QString& entry) { return ProgramFileName(entry, code, year); };
}

} // namespace BackupArchives
