#include "core/charts/MasterChart.h"

#include "core/common/Exceptions.h"
#include "core/common/ResultCodes.h"
#include "core/dates/DateNumbers.h"
#include "core/files/FileQuestions.h"
#include "core/files/Paths.h"
#include "core/files/StoredFileWriter.h"
#include "core/io/StreamError.h"
#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"
#include "core/services/CursorScope.h"
#include "core/services/Progress.h"
#include "core/services/RetryLoop.h"
#include "core/services/Services.h"
#include "core/vocab/FileVocabulary.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Buffer of the value stream of a chart file.
constexpr int ChartBufferSize = 8192;
// Progress message kinds: "Loading ..." and "Saving ...".
constexpr int LoadingMessage = 2;
constexpr int SavingMessage = 3;

bool IsMerging(const TOptionSet& options) {
    return options.Has(Option::MergeLoad) || options.Has(Option::MergeReplace);
}

bool HasContent(const QString& native) {
    const QFileInfo info(native);
    return info.isFile() && info.size() > 0;
}

} // namespace

TMasterChart::TMasterChart(const TChartEntity& entity, int year) : Entity(entity), Year(year) {}

TMasterChart::~TMasterChart() = default;

void TMasterChart::SetFileHeader(const QString& typeName, const QString& version, int kind,
                                 const QString& headerKey) {
    TypeName = typeName;
    Version = version;
    Kind = kind;
    HeaderKey = headerKey;
}

// ---- Items --------------------------------------------------------------------------------

int TMasterChart::AddItem(std::unique_ptr<TMasterChartItem> item) {
    if (!item)
        return -1;
    const QString key = item->GetKey();
    return AddKeyedItem(key, std::move(item));
}

int TMasterChart::AddKeyedItem(const QString& key, std::unique_ptr<TMasterChartItem> item) {
    return Items.Add(key, std::move(item));
}

int TMasterChart::ChangeCode(int index, const QString& newCode) {
    TMasterChartItem* item = Items.Item(index);
    if (!item)
        return -1;
    const QString oldKey = item->GetKey();
    if (!item->SetKey(newCode))
        return -1;
    const int newIndex = Items.Rekey(index, item->GetKey());
    if (newIndex < 0)
        item->SetKey(oldKey); // another entry holds the code: the item keeps its own
    return newIndex;
}

std::unique_ptr<TMasterChartItem> TMasterChart::DeleteItem(int index, bool freeIt) {
    std::unique_ptr<TMasterChartItem> item = Items.Take(index);
    if (freeIt)
        return nullptr;
    return item;
}

void TMasterChart::Clear() {
    Items.Clear();
}

int TMasterChart::AddReadItem(std::unique_ptr<TMasterChartItem> item, const TOptionSet& options) {
    if (!item)
        return -1;
    const int held = IndexOf(item->GetKey());
    if (held >= 0) {
        if (!options.Has(Option::MergeReplace))
            return held;
        TMasterChartItem& heldItem = *Items.Item(held);
        MergeItem(heldItem, *item);
        // A merge that took the code as the file writes it (other letter case) files it so.
        const int refiled = Items.Rekey(held, heldItem.GetKey());
        return refiled >= 0 ? refiled : held;
    }
    return AddItem(std::move(item));
}

void TMasterChart::MergeItem(TMasterChartItem&, const TMasterChartItem&) {}

void TMasterChart::ReportReadProgress(IProgress* progress, const QIODevice& stream) {
    // The size is a system call: asked only when there is a window to show it.
    if (!progress)
        return;
    const qint64 size = stream.size();
    if (size > 0)
        progress->SetPosition(static_cast<double>(stream.pos()) * 100.0 / static_cast<double>(size));
}

void TMasterChart::ReportWriteProgress(IProgress* progress, int number, int count) {
    if (progress && count > 0)
        progress->SetPosition(static_cast<double>(number) * 100.0 / static_cast<double>(count));
}

// ---- Naming -------------------------------------------------------------------------------

int TMasterChart::FileYear(const TOptionSet& options) const {
    if (Year == -1)
        return -1;
    int year = Year;
    if (options.Has(Option::PreviousYear))
        --year;
    if (options.Has(Option::NextYear))
        ++year;
    return year;
}

QString TMasterChart::KindNoun() const {
    return IsChartKind(Kind) ? ChartKindEntry(Kind).PluralNoun.toString() : QString();
}

QString TMasterChart::GetFileName(const TOptionSet& options, int year) const {
    if (!FileNameOverride.isEmpty())
        return FileNameOverride;
    const TChartKindEntry& kind = ChartKindEntry(Kind);
    const QString folder =
        GetEntityDataDir(Entity.FileCode, Entity.DataDir, Entity.XferDir, Entity.ProgramDataDir, options);
    QString name = BuildPath({folder, kind.Folder.toString(), Entity.FileCode});
    const int fileYear = year != -1 ? year : FileYear(options);
    if (fileYear != -1)
        name += QString::asprintf("%.2d", ToggleYearDigits(fileYear));
    return name + kind.Extension.toString();
}

QString TMasterChart::FailureText(const QString& verb, const TOptionSet& options,
                                  const QString& error) const {
    const int year = FileYear(options);
    const QString yearPart = year != -1 ? QStringLiteral(" %1 ").arg(year) : QStringLiteral(" ");
    return QStringLiteral("Unable to ") + verb + yearPart + KindNoun() + QStringLiteral(" file for ") +
           Entity.FileCode + QStringLiteral(". ") + QLatin1Char('\r') + QLatin1Char('(') + error +
           QLatin1Char(')');
}

// ---- Exchange form ------------------------------------------------------------------------

int TMasterChart::ExportItems(const QString&, IProgress*) {
    ExchangeError = KindNoun() + QStringLiteral(" have no exchange form");
    return ChartResult::ExchangeFailed;
}

int TMasterChart::ImportItems(const QString&, const TOptionSet&, IProgress*) {
    ExchangeError = KindNoun() + QStringLiteral(" have no exchange form");
    return ChartResult::ExchangeFailed;
}

// ---- Header -------------------------------------------------------------------------------

void TMasterChart::WriteHeader(TValueWriter& writer) {
    writer.WriteIdent(TypeName + QLatin1Char(',') + Version);
    writer.WriteIdent(Entity.FileCode);
    writer.WriteIdent(HeaderKey);
}

int TMasterChart::ReadHeader(TValueReader& reader) {
    QString kindAndVersion;
    QString fileKey;
    try {
        kindAndVersion = reader.ReadIdent();
        reader.ReadIdent(); // the file code: files are copied between codes, so it is not checked
        fileKey = reader.ReadIdent();
    } catch (const EQuilvaneError&) {
        // A header that cannot be read is not a header of this kind.
    }
    const qsizetype comma = kindAndVersion.indexOf(QLatin1Char(','));
    const QString typeText = comma < 0 ? kindAndVersion : kindAndVersion.left(comma);
    Version = comma < 0 ? QString() : kindAndVersion.mid(comma + 1);
    if (TypeName.isEmpty() || !typeText.contains(TypeName))
        return ChartResult::WrongKind;
    if (!HeaderKey.isEmpty() && CompareKeys(HeaderKey, fileKey, false, false) != 0)
        return ChartResult::ForeignFormat;
    return ResultCode::Success;
}

// ---- Load ---------------------------------------------------------------------------------

QString TMasterChart::FileToLoad(const TOptionSet& options) {
    const QString native = NativePath(GetFileName(options));
    // The chart's own file lies in a folder of the data folder: it is not read through a link.
    if (FileNameOverride.isEmpty() && !native.isEmpty())
        StoredFileSizeInside(NativePath(GetEntityDataDir(Entity.FileCode, Entity.DataDir, Entity.XferDir,
                                                         Entity.ProgramDataDir, options)),
                             native);
    return native;
}

bool TMasterChart::AcceptHeader(int) {
    return true;
}

int TMasterChart::LoadOnce(const QString& native, const TOptionSet& options, IProgress* progress,
                           int& headerResult) {
    if (native.isEmpty() || !HasContent(native)) {
        if (!options.Has(Option::MustExist))
            return ResultCode::Success;
        throw EQuilvaneError(QStringLiteral("File not found"));
    }
    if (progress)
        progress->SetMessage(LoadingMessage, KindNoun() + QLatin1Char(' ') + Entity.FileCode);
    const TCursorScope busy(TCursorKind::Busy);

    QFile file(native);
    if (!file.open(QIODevice::ReadOnly))
        throw EQuilvaneError(file.errorString());
    TValueReader reader(file, ChartBufferSize);
    headerResult = ReadHeader(reader);
    if (headerResult == ChartResult::WrongKind)
        throw EQuilvaneError(QFileInfo(native).fileName() + QStringLiteral(" is not a ") + TypeName +
                             QStringLiteral(" file"));
    if (!AcceptHeader(headerResult))
        return headerResult;

    const bool merging = IsMerging(options);
    Saved = !(merging && Count() > 0);
    if (!merging)
        Clear();
    reader.ReadListBegin();
    ReadItems(file, reader, progress, options);
    reader.ReadListEnd();
    file.close();

    CurrentIndex = Count() > 0 ? 0 : -1;
    FileNameOverride.clear();
    SaveBlocked = false;
    return headerResult;
}

int TMasterChart::LoadFromFile(const TOptionSet& options, IProgress* progress) {
    const bool merging = IsMerging(options);
    const bool silent = options.Has(Option::Silent);
    int result = ResultCode::Success;
    int headerResult = ResultCode::Success;
    bool knownMissing = false;
    // What is held after a failure must never be written over a file that could not be read;
    // a file known to be missing or empty has nothing to lose.
    const auto failed = [&](bool protect) {
        if (!merging)
            Clear();
        CurrentIndex = Count() > 0 ? 0 : -1;
        SaveBlocked = SaveBlocked || protect;
    };
    const auto attempt = [&] {
        headerResult = ResultCode::Success;
        knownMissing = false;
        const QString native = FileToLoad(options);
        knownMissing = !native.isEmpty() && !HasContent(native);
        result = LoadOnce(native, options, progress, headerResult);
    };
    bool loaded = false;
    try {
        loaded = silent ? RunWithRetry(attempt, [](const QString&) { return false; })
                        : RunWithRetryBox(
                              attempt,
                              [&](const QString& error) {
                                  return FailureText(QStringLiteral("load"), options, error);
                              },
                              TMessageButton::Retry | TMessageButton::Ignore);
    } catch (const EOperationCancelled&) {
        failed(true);
        throw;
    }
    if (loaded)
        return result;
    failed(!knownMissing);
    return (silent && headerResult == ChartResult::WrongKind) ? ChartResult::WrongKind : ResultCode::Reported;
}

// ---- Save ---------------------------------------------------------------------------------

bool TMasterChart::ConfirmReplace(const QString& fileName, QString& caption, TOptionSet& options) {
    caption = Entity.FileCode;
    if (Year != -1)
        caption += QStringLiteral(" %1 ").arg(FileYear(options));
    caption += QLatin1Char(' ') + KindNoun();
    if (!options.Has(Option::AskBeforeReplace))
        return true;
    if (!fileName.isEmpty() && !QFileInfo::exists(fileName))
        return true;
    return AskToReplace(caption.trimmed() + QStringLiteral(" infomation aleady exists.") + QLatin1Char('\r') +
                            QStringLiteral("Replace the current information ?"),
                        options);
}

bool TMasterChart::ConfirmOverwriteUnread(const QString& native, const QString& caption) {
    if (!HasContent(native))
        return true; // nothing on disk to lose
    const TMessageButton answer = MessageBeepAndShow(
        TServices::Prompt(), TMessageKind::Question,
        caption.trimmed() + QStringLiteral(" information could not be read from its file.") +
            QLatin1Char('\r') + QStringLiteral("Replace the file with the current information ?"),
        TMessageButton::Yes | TMessageButton::No);
    return answer == TMessageButton::Yes;
}

void TMasterChart::SaveOnce(const QString& native, IProgress* progress) {
    if (progress)
        progress->SetMessage(SavingMessage, Entity.FileCode + QLatin1Char(' ') + KindNoun());
    const TCursorScope busy(TCursorKind::Busy);

    // The chart folder of the data folder holds every client's charts: a link in its place would
    // make the save write, and clear leftovers, wherever it leads.
    if (FileNameOverride.isEmpty())
        RefuseSymbolicLink(QFileInfo(native).absolutePath());
    CreateFolderFor(native);

    // Written beside the old file and renamed over it only when complete: a failure at any
    // point leaves the old file as it was.
    TStoredFileWriter stored(native);
    QIODevice& file = stored.Device();
    {
        TValueWriter writer(file, ChartBufferSize);
        WriteHeader(writer);
        writer.WriteListBegin();
        WriteItems(file, writer, progress);
        writer.WriteListEnd();
        writer.Finish();
    }
    stored.Commit();
}

int TMasterChart::SaveToFile(TOptionSet& options, IProgress* progress) {
    const auto compose = [&](const QString& error) {
        return FailureText(QStringLiteral("save"), options, error);
    };
    const TMessageButtons buttons = TMessageButton::Retry | TMessageButton::Ignore;

    QString native;
    const auto name = [&] {
        const QString fileName = GetFileName(options);
        native = NativePath(fileName);
        if (native.isEmpty())
            throw EQuilvaneError(QStringLiteral("The drive of %1 is not ready").arg(fileName));
    };
    if (!RunWithRetryBox(name, compose, buttons))
        return ResultCode::Reported;

    QString caption;
    if (!ConfirmReplace(native, caption, options))
        return ChartResult::Refused;
    if (SaveBlocked && !ConfirmOverwriteUnread(native, caption))
        return ChartResult::Refused;

    if (!RunWithRetryBox([&] { SaveOnce(native, progress); }, compose, buttons))
        return ResultCode::Reported;
    Saved = true;
    SaveBlocked = false;
    return ResultCode::Success;
}

int TMasterChart::SaveIfModified(TOptionSet& options, IProgress* progress) {
    if (Saved)
        return ResultCode::Success;
    if (SaveBlocked)
        return ChartResult::Refused;
    return SaveToFile(options, progress);
}
