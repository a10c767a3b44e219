#include "core/charts/MasterChart.h"

#include "core/common/Exceptions.h"
#include "core/common/ResultCodes.h"
#include "core/dates/DateNumbers.h"
#include "core/files/Paths.h"
#include "core/files/StoredFileWriter.h"
#include "core/io/StreamError.h"
#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"
#include "core/services/CursorScope.h"
#include "core/services/Progress.h"
#include "core/services/Services.h"
#include "core/vocab/FileVocabulary.h"

#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace {

// Buffer of the value stream of a chart file.
constexpr int ChartBufferSize = 8192;
// Progress message kinds: "Loading ..." and "Saving ...".
constexpr int LoadingMessage = 2;
constexpr int SavingMessage = 3;

bool IsMerging(const TOptionSet& options) {
    return options.Has(Option::MergeLoad) || options.Has(Option::MergeReplace);
}

// The native path of an existing file with content; empty when there is none (a drive that
// is not ready counts as no file).
QString ExistingFileWithContent(const QString& storedName) {
    const QString native = NativePath(storedName);
    if (native.isEmpty())
        return QString();
    const QFileInfo info(native);
    return (info.isFile() && info.size() > 0) ? native : QString();
}

} // namespace

TMasterChart::TMasterChart(const TChartEntity& entity, int year) : Entity(entity), Year(year) {}

TMasterChart::~TMasterChart() = default;

void TMasterChart::SetFileHeader(const QString& typeName, const QString& version, int kind,
                                 const QString& headerKey) {
    this->TypeName = typeName;
    this->Version = version;
    this->Kind = kind;
    this->HeaderKey = headerKey;
}

// ---- Items --------------------------------------------------------------------------------

int TMasterChart::AddItem(std::unique_ptr<TMasterChartItem> Item) {
    if (!Item)
        return -1;
    const QString key = Item->GetKey();
    return Items.Add(key, std::move(Item));
}

int TMasterChart::ChangeCode(int Index, const QString& NewCode) {
    TMasterChartItem* item = Items.Item(Index);
    if (!item)
        return -1;
    const QString oldKey = item->GetKey();
    if (!item->SetKey(NewCode))
        return -1;
    const int index = Items.Rekey(Index, item->GetKey());
    if (index < 0)
        item->SetKey(oldKey); // another entry holds the code: the item keeps its own
    return index;
}

std::unique_ptr<TMasterChartItem> TMasterChart::DeleteItem(int Index, bool FreeIt) {
    std::unique_ptr<TMasterChartItem> item = Items.Take(Index);
    if (FreeIt)
        return nullptr;
    return item;
}

void TMasterChart::Clear() {
    Items.Clear();
}

int TMasterChart::AddReadItem(std::unique_ptr<TMasterChartItem> Item, const TOptionSet& Options) {
    if (!Item)
        return -1;
    const int held = IndexOf(Item->GetKey());
    if (held >= 0) {
        if (!Options.Has(Option::MergeReplace))
            return held;
        TMasterChartItem& heldItem = *Items.Item(held);
        MergeItem(heldItem, *Item);
        // A merge that took the code as the file writes it (other letter case) files it so.
        const int refiled = Items.Rekey(held, heldItem.GetKey());
        return refiled >= 0 ? refiled : held;
    }
    return AddItem(std::move(Item));
}

void TMasterChart::MergeItem(TMasterChartItem&, const TMasterChartItem&) {}

void TMasterChart::ReportReadProgress(IProgress* Progress, const QIODevice& Stream) {
    const qint64 size = Stream.size();
    if (Progress && size > 0)
        Progress->SetPosition(static_cast<double>(Stream.pos()) * 100.0 / static_cast<double>(size));
}

void TMasterChart::ReportWriteProgress(IProgress* Progress, int Number, int Count) {
    if (Progress && Count > 0)
        Progress->SetPosition(static_cast<double>(Number) * 100.0 / static_cast<double>(Count));
}

// ---- Naming -------------------------------------------------------------------------------

int TMasterChart::FileYear(const TOptionSet& Options) const {
    if (Year == -1)
        return -1;
    int year = Year;
    if (Options.Has(Option::PreviousYear))
        --year;
    if (Options.Has(Option::NextYear))
        ++year;
    return year;
}

QString TMasterChart::KindNoun() const {
    return IsChartKind(Kind) ? ChartKindEntry(Kind).PluralNoun.toString() : QString();
}

QString TMasterChart::GetFileName(const TOptionSet& Options, int ForYear) const {
    if (!FileNameOverride.isEmpty())
        return FileNameOverride;
    const TChartKindEntry& kind = ChartKindEntry(Kind);
    const QString folder =
        GetEntityDataDir(Entity.FileCode, Entity.DataDir, Entity.XferDir, Entity.ProgramDataDir, Options);
    QString name = BuildPath({folder, kind.Folder.toString(), Entity.FileCode});
    const int year = ForYear != -1 ? ForYear : FileYear(Options);
    if (year != -1)
        name += QString::asprintf("%.2d", ToggleYearDigits(year));
    return name + kind.Extension.toString();
}

QString TMasterChart::FailureText(const QString& Verb, const TOptionSet& Options,
                                  const QString& Error) const {
    const int year = FileYear(Options);
    const QString yearPart = year != -1 ? QStringLiteral(" %1 ").arg(year) : QStringLiteral(" ");
    return QStringLiteral("Unable to ") + Verb + yearPart + KindNoun() + QStringLiteral(" file for ") +
           Entity.FileCode + QStringLiteral(". ") + QLatin1Char('\r') + QLatin1Char('(') + Error +
           QLatin1Char(')');
}

// ---- Header -------------------------------------------------------------------------------

void TMasterChart::WriteHeader(TValueWriter& Writer) {
    Writer.WriteIdent(TypeName + QLatin1Char(',') + Version);
    Writer.WriteIdent(Entity.FileCode);
    Writer.WriteIdent(HeaderKey);
}

int TMasterChart::ReadHeader(TValueReader& Reader) {
    QString kindAndVersion;
    QString fileKey;
    try {
        kindAndVersion = Reader.ReadIdent();
        Reader.ReadIdent(); // the file code: files are copied between codes, so it is not checked
        fileKey = Reader.ReadIdent();
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

int TMasterChart::PeekFileHeader(const TOptionSet& Options) {
    const QString savedVersion = Version;
    int result = ResultCode::Reported;
    try {
        const QString native = ExistingFileWithContent(GetFileName(Options));
        if (!native.isEmpty()) {
            QFile file(native);
            if (file.open(QIODevice::ReadOnly)) {
                TValueReader reader(file, ChartBufferSize);
                result = ReadHeader(reader);
            }
        }
    } catch (const std::exception&) {
        result = ResultCode::Reported;
    }
    Version = savedVersion;
    return result;
}

// ---- Load ---------------------------------------------------------------------------------

int TMasterChart::LoadOnce(const TOptionSet& Options, IProgress* Progress, int& HeaderResult) {
    const QString fileName = GetFileName(Options);
    const QString native = ExistingFileWithContent(fileName);
    if (native.isEmpty()) {
        if (!Options.Has(Option::MustExist))
            return ResultCode::Success;
        throw EQuilvaneError(QStringLiteral("File not found"));
    }
    if (Progress)
        Progress->SetMessage(LoadingMessage, KindNoun() + QLatin1Char(' ') + Entity.FileCode);
    const TCursorScope busy(TCursorKind::Busy);

    QFile file(native);
    if (!file.open(QIODevice::ReadOnly))
        throw EQuilvaneError(file.errorString());
    TValueReader reader(file, ChartBufferSize);
    HeaderResult = ReadHeader(reader);
    if (HeaderResult == ChartResult::WrongKind)
        throw EQuilvaneError(QFileInfo(native).fileName() + QStringLiteral(" is not a ") + TypeName +
                             QStringLiteral(" file"));

    const bool merging = IsMerging(Options);
    Saved = !(merging && Count() > 0);
    if (!merging)
        Clear();
    reader.ReadListBegin();
    ReadItems(file, reader, Progress, Options);
    reader.ReadListEnd();
    file.close();

    CurrentIndex = Count() > 0 ? 0 : -1;
    FileNameOverride.clear();
    SaveBlocked = false;
    return HeaderResult;
}

int TMasterChart::LoadFromFile(const TOptionSet& Options, IProgress* Progress) {
    const bool merging = IsMerging(Options);
    for (;;) {
        int headerResult = ResultCode::Success;
        QString error;
        try {
            return LoadOnce(Options, Progress, headerResult);
        } catch (const EOperationCancelled&) {
            if (!merging)
                Clear();
            CurrentIndex = Count() > 0 ? 0 : -1;
            SaveBlocked = true;
            throw;
        } catch (const std::exception& e) {
            error = ErrorText(e);
        }
        const bool silent = Options.Has(Option::Silent);
        if (!silent) {
            const TMessageButton answer = MessageBeepAndShow(
                TServices::Prompt(), TMessageKind::Error, FailureText(QStringLiteral("load"), Options, error),
                TMessageButton::Retry | TMessageButton::Ignore);
            if (answer == TMessageButton::Retry)
                continue;
        }
        // The file could not be read: what is held must never be written over it unasked.
        if (!merging)
            Clear();
        CurrentIndex = Count() > 0 ? 0 : -1;
        SaveBlocked = true;
        return (silent && headerResult == ChartResult::WrongKind) ? ChartResult::WrongKind
                                                                  : ResultCode::Reported;
    }
}

// ---- Save ---------------------------------------------------------------------------------

bool TMasterChart::ConfirmReplace(const QString& FileName, QString& Caption, TOptionSet& Options) {
    Caption = Entity.FileCode;
    if (Year != -1)
        Caption += QStringLiteral(" %1 ").arg(FileYear(Options));
    Caption += QLatin1Char(' ') + KindNoun();
    if (!Options.Has(Option::AskBeforeReplace))
        return true;
    if (!FileName.isEmpty()) {
        const QString native = NativePath(FileName);
        if (native.isEmpty() || !QFileInfo::exists(native))
            return true;
    }
    const TMessageButton answer = MessageBeepAndShow(
        TServices::Prompt(), TMessageKind::Question,
        Caption.trimmed() + QStringLiteral(" infomation aleady exists.") + QLatin1Char('\r') +
            QStringLiteral("Replace the current information ?"),
        TMessageButton::Yes | TMessageButton::No | TMessageButton::Cancel | TMessageButton::All);
    switch (answer) {
    case TMessageButton::Yes:
        return true;
    case TMessageButton::All:
        Options.Exclude(Option::AskBeforeReplace);
        return true;
    case TMessageButton::Cancel:
        Options.Include(Option::StopOperation);
        return false;
    default:
        return false;
    }
}

bool TMasterChart::ConfirmOverwriteUnread(const QString& FileName, const QString& Caption) {
    if (ExistingFileWithContent(FileName).isEmpty())
        return true; // nothing on disk to lose
    const TMessageButton answer = MessageBeepAndShow(
        TServices::Prompt(), TMessageKind::Question,
        Caption.trimmed() + QStringLiteral(" information could not be read from its file.") +
            QLatin1Char('\r') + QStringLiteral("Replace the file with the current information ?"),
        TMessageButton::Yes | TMessageButton::No);
    return answer == TMessageButton::Yes;
}

void TMasterChart::SaveOnce(const QString& FileName, IProgress* Progress) {
    if (Progress)
        Progress->SetMessage(SavingMessage, Entity.FileCode + QLatin1Char(' ') + KindNoun());
    const TCursorScope busy(TCursorKind::Busy);

    const QString native = NativePath(FileName);
    if (native.isEmpty())
        throw EQuilvaneError(QStringLiteral("The drive of %1 is not ready").arg(FileName));
    std::error_code folderError;
    std::filesystem::create_directories(QFile::encodeName(QFileInfo(native).absolutePath()).toStdString(),
                                        folderError);
    if (folderError)
        throw EQuilvaneError(QString::fromStdString(folderError.message()));

    // Written beside the old file and renamed over it only when complete: a failure at any
    // point leaves the old file as it was.
    TStoredFileWriter stored(native);
    QIODevice& file = stored.Device();
    {
        TValueWriter writer(file, ChartBufferSize);
        WriteHeader(writer);
        writer.WriteListBegin();
        WriteItems(file, writer, Progress);
        writer.WriteListEnd();
        writer.Finish();
    }
    stored.Commit();
}

int TMasterChart::SaveToFile(TOptionSet& Options, IProgress* Progress) {
    const auto retry = [&](const QString& error) {
        return MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error,
                                  FailureText(QStringLiteral("save"), Options, error),
                                  TMessageButton::Retry | TMessageButton::Ignore) == TMessageButton::Retry;
    };

    QString fileName;
    for (;;) {
        try {
            fileName = GetFileName(Options);
            break;
        } catch (const std::exception& e) {
            if (!retry(ErrorText(e)))
                return ResultCode::Reported;
        }
    }

    QString caption;
    if (!ConfirmReplace(fileName, caption, Options))
        return ChartResult::Refused;
    if (SaveBlocked && !ConfirmOverwriteUnread(fileName, caption))
        return ChartResult::Refused;

    for (;;) {
        QString error;
        try {
            SaveOnce(fileName, Progress);
            Saved = true;
            SaveBlocked = false;
            return ResultCode::Success;
        } catch (const EOperationCancelled&) {
            throw;
        } catch (const std::exception& e) {
            error = ErrorText(e);
        }
        if (!retry(error))
            return ResultCode::Reported;
    }
}

int TMasterChart::SaveIfModified(TOptionSet& Options, IProgress* Progress) {
    if (Saved)
        return ResultCode::Success;
    if (SaveBlocked)
        return ChartResult::Refused;
    return SaveToFile(Options, Progress);
}
