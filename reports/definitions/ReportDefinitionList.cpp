#include "reports/definitions/ReportDefinitionList.h"

#include "core/charts/MasterChart.h"
#include "core/common/Exceptions.h"
#include "core/common/ResultCodes.h"
#include "core/files/Paths.h"
#include "core/files/StoredFileWriter.h"
#include "core/io/StreamError.h"
#include "core/io/ValueReader.h"
#include "core/services/RetryLoop.h"
#include "core/vocab/FileVocabulary.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

namespace {

bool HasContent(const QString& native) {
    const QFileInfo info(native);
    return !native.isEmpty() && info.isFile() && info.size() > 0;
}

} // namespace

TReportDefinitionList::TReportDefinitionList(const TChartEntity& entity, int kind, int levelMask)
    : Entity(entity), ListKind(kind), Mask(levelMask) {
    if (kind != ckReportLayouts && kind != ckReportFormats)
        throw EQuilvaneError(
            QStringLiteral("Definition kind %1 is not a list of report definitions.").arg(kind));
    if (levelMask != ReportLevelMask::File)
        throw EQuilvaneError(
            QStringLiteral("Report definitions of level mask %1 are not kept: only the file's own level is.")
                .arg(levelMask));
}

TReportDefinitionList::~TReportDefinitionList() = default;

bool TReportDefinitionList::HasLevel(int level) const {
    return level >= 0 && level < LevelCount && ((Mask >> level) & 1) != 0;
}

void TReportDefinitionList::CheckLevel(int level) const {
    if (!HasLevel(level))
        throw EQuilvaneError(
            QStringLiteral("Level %1 is not one of this list of %2.").arg(level).arg(KindNoun()));
}

const TReportDefinitionList::TLevel& TReportDefinitionList::Level(int level) const {
    CheckLevel(level);
    return Levels[static_cast<std::size_t>(level)];
}

TReportDefinitionList::TLevel& TReportDefinitionList::Level(int level) {
    CheckLevel(level);
    return Levels[static_cast<std::size_t>(level)];
}

QString TReportDefinitionList::KindNoun() const {
    return ChartKindEntry(ListKind).PluralNoun.toString();
}

QString TReportDefinitionList::LevelFileName(int level, const TOptionSet& options) const {
    CheckLevel(level);
    const TChartKindEntry& kind = ChartKindEntry(ListKind);
    const QString folder =
        GetEntityDataDir(Entity.FileCode, Entity.DataDir, Entity.XferDir, Entity.ProgramDataDir, options);
    return BuildPath({folder, kind.Folder.toString(), Entity.FileCode + kind.Extension.toString()});
}

QString TReportDefinitionList::FailureText(const QString& verb, const QString& reason) const {
    return QStringLiteral("Unable to ") + verb + QLatin1Char(' ') + KindNoun() +
           QStringLiteral(" file for ") + Entity.FileCode + QStringLiteral(". ") + QLatin1Char('\r') +
           QLatin1Char('(') + reason + QLatin1Char(')');
}

QByteArray TReportDefinitionList::ReadFile(const QString& native, bool& wrongKind) const {
    wrongKind = false;
    QFile file(native);
    if (file.size() > MaxFileSize)
        throw EQuilvaneError(QStringLiteral("The file is too large to be a definition file"));
    if (!file.open(QIODevice::ReadOnly))
        throw EQuilvaneError(file.errorString());
    const QByteArray bytes = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        throw EQuilvaneError(file.errorString());
    if (bytes.size() > MaxFileSize)
        throw EQuilvaneError(QStringLiteral("The file is too large to be a definition file"));

    // The first identifier names the kind and version ("Report Formats,V5.60").
    QString kindAndVersion;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    try {
        TValueReader reader(buffer);
        kindAndVersion = reader.ReadIdent();
    } catch (const EStreamError&) {
        // No identifier: not a definition file.
    }
    if (kindAndVersion.section(QLatin1Char(','), 0, 0) != KindNoun()) {
        wrongKind = true;
        throw EQuilvaneError(QFileInfo(native).fileName() + QStringLiteral(" is not a ") + KindNoun() +
                             QStringLiteral(" file"));
    }
    return bytes;
}

int TReportDefinitionList::LoadLevel(int level, const TOptionSet& options) {
    TLevel& held = Level(level);
    const bool merging = options.Has(Option::MergeLoad) || options.Has(Option::MergeReplace);
    const bool silent = options.Has(Option::Silent);
    bool wrongKind = false;
    bool knownMissing = false;
    bool found = false;
    QByteArray bytes;
    const auto attempt = [&] {
        wrongKind = false;
        const QString native = NativePath(LevelFileName(level, options));
        knownMissing = !HasContent(native);
        found = !knownMissing;
        if (knownMissing) {
            if (options.Has(Option::MustExist))
                throw EQuilvaneError(QStringLiteral("File not found"));
            return;
        }
        bytes = ReadFile(native, wrongKind);
    };
    const bool loaded =
        silent
            ? RunWithRetry(attempt, [](const QString&) { return false; })
            : RunWithRetryBox(
                  attempt, [&](const QString& reason) { return FailureText(QStringLiteral("load"), reason); },
                  TMessageButton::Retry | TMessageButton::Ignore);
    if (loaded) {
        if (found) {
            // Merging cannot combine definitions yet: the file's definitions are taken as they
            // stand, and the level is left to be written back.
            held.Data = bytes;
            held.Loaded = true;
            held.Modified = merging;
            held.SaveBlocked = false;
        }
        return ResultCode::Success;
    }
    if (!merging) {
        held.Data.clear();
        held.Loaded = false;
        held.Modified = false;
    }
    // A file that is there but could not be read must not be written over.
    held.SaveBlocked = held.SaveBlocked || !knownMissing;
    return (silent && wrongKind) ? ChartResult::WrongKind : ResultCode::Reported;
}

int TReportDefinitionList::LoadLevels(const TOptionSet& options) {
    int result = ResultCode::Success;
    for (int level = 0; level < LevelCount; ++level)
        if (HasLevel(level)) {
            const int levelResult = LoadLevel(level, options);
            if (result == ResultCode::Success)
                result = levelResult;
        }
    return result;
}

int TReportDefinitionList::SaveLevel(int level, const TOptionSet& options) {
    TLevel& held = Level(level);
    if (held.SaveBlocked)
        return ChartResult::Refused;
    if (!held.Loaded)
        return ResultCode::Success; // nothing held: nothing to write
    const auto attempt = [&] {
        const QString stored = LevelFileName(level, options);
        const QString native = NativePath(stored);
        if (native.isEmpty())
            throw EQuilvaneError(QStringLiteral("The drive of %1 is not ready").arg(stored));
        CreateFolderFor(native);
        TStoredFileWriter writer(native);
        if (writer.Device().write(held.Data) != held.Data.size())
            throw EQuilvaneError(writer.Device().errorString());
        writer.Commit();
    };
    if (!RunWithRetryBox(
            attempt, [&](const QString& reason) { return FailureText(QStringLiteral("save"), reason); },
            TMessageButton::Retry | TMessageButton::Ignore))
        return ResultCode::Reported;
    held.Modified = false;
    return ResultCode::Success;
}

bool TReportDefinitionList::IsLoaded(int level) const {
    return Level(level).Loaded;
}

bool TReportDefinitionList::IsModified(int level) const {
    return Level(level).Modified;
}

bool TReportDefinitionList::IsSaveBlocked(int level) const {
    return Level(level).SaveBlocked;
}

QByteArray TReportDefinitionList::LevelData(int level) const {
    return Level(level).Data;
}
