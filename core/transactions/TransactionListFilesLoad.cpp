// Loading a transaction list from its month files: the current 125-byte form and the DOS
// version's 84-, 80- and 76-byte forms.
#include "core/transactions/TransactionList.h"

#include "core/common/Exceptions.h"
#include "core/dates/Periods.h"
#include "core/files/Paths.h"
#include "core/services/CursorScope.h"
#include "core/services/LocalFileSystem.h"
#include "core/services/RetryLoop.h"
#include "core/services/Services.h"
#include "core/transactions/DosTransactionRecord.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionKeys.h"
#include "core/transactions/TransactionReadBuffer.h"
#include "core/transactions/TransactionRecord.h"
#include "core/util/FlagSets.h"
#include "core/vocab/PageKinds.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <new>
#include <optional>
#include <unordered_map>
#include <utility>

namespace {

// Progress message kind "Loading ...".
constexpr int LoadingMessage = 2;
// Records read at a time.
constexpr int RecordsPerBlock = 2000;
constexpr qint32 SlotKeyRange = 100000;

bool IsGenerated(const TTransactionDetail& entry) {
    return entry.HasAnyFlag({TransactionFlag::TaxLine, TransactionFlag::DissectionTotal});
}

// Reads until the block is full or the file ends; the number of bytes read.
qint64 ReadBlock(QIODevice& file, char* data, qint64 size) {
    qint64 done = 0;
    while (done < size) {
        const qint64 got = file.read(data + done, size - done);
        if (got < 0)
            throw EQuilvaneError(file.errorString());
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

QString DamagedText(const QString& native) {
    return QStringLiteral("%1 is damaged: its size is not a whole number of transaction records")
        .arg(QDir::toNativeSeparators(native));
}

} // namespace

// The dissection run of an append load within one file: consecutive records that share a
// dissection number share one new number; and the new IDs of the entries read, so that tax
// lines follow their parents.
struct TTransactionList::TAppendRun {
    std::optional<qint32> LastRead;
    qint32 Assigned = -1;
    std::unordered_map<qint32, qint32> NewIDs;
};

void TTransactionList::ReserveEntries(qint64 more) {
    const size_t needed = Entries.size() + static_cast<size_t>(std::max<qint64>(more, 0));
    if (needed > Entries.capacity())
        Entries.reserve(std::max(needed, Entries.capacity() + Entries.capacity() / 2));
}

void TTransactionList::AddAppended(std::unique_ptr<TTransactionDetail> entry, int monthSlot,
                                   TAppendRun& run) {
    entry->Flags = FlagSetInclude(entry->Flags, {TransactionFlag::Highlight});
    const qint32 base = SlotKeyBase(monthSlot);
    if (entry->HasAnyFlag({TransactionFlag::TaxLine})) {
        entry->ID = base + TaxLineSequence;
        if (const auto parent = run.NewIDs.find(entry->ParentID); parent != run.NewIDs.end())
            entry->ParentID = parent->second;
    } else if (entry->HasAnyFlag({TransactionFlag::DissectionTotal})) {
        entry->ID = base + DissectionTotalSequence;
    } else {
        const qint32 newID = GetNextID(monthSlot);
        run.NewIDs[entry->ID] = newID;
        entry->ID = newID;
    }
    if (entry->Dissection >= 0) {
        // Every number taken advances the counter, so the next new dissection never merges
        // with the last one read.
        if (entry->Dissection != run.LastRead) {
            run.LastRead = entry->Dissection;
            run.Assigned = TakeNextDissectionNo(monthSlot);
        }
        entry->Dissection = run.Assigned;
    } else {
        run.LastRead.reset();
    }
    AddTransaction(std::move(entry), monthSlot);
}

void TTransactionList::ReadCurrentForm(QIODevice& file, qint64 size, int monthSlot, bool append,
                                       std::vector<char>& buffer) {
    ReserveEntries(size / TransactionRecordSize);
    buffer.resize(static_cast<size_t>(RecordsPerBlock) * TransactionRecordSize);
    const qint32 base = SlotKeyBase(monthSlot);
    qint32& nextID = NextIDs[static_cast<size_t>(monthSlot - 1)];
    qint32& nextDissection = NextDissectionNos[static_cast<size_t>(monthSlot - 1)];
    TAppendRun run;
    qint64 total = 0;
    for (;;) {
        const qint64 got = ReadBlock(file, buffer.data(), static_cast<qint64>(buffer.size()));
        total += got;
        for (qint64 at = 0; at + TransactionRecordSize <= got; at += TransactionRecordSize) {
            const auto* record = reinterpret_cast<const std::uint8_t*>(buffer.data() + at);
            if (IsTransactionHeaderRecord(record)) {
                if (IsWrittenTransactionHeader(record))
                    CurrentSortOrder = TransactionHeaderSortOrder(record);
                continue;
            }
            if (TransactionRecordPageKind(record) != Kind)
                continue;
            // Read where it is kept: each entry is written to memory once.
            auto entry = std::make_unique<TTransactionDetail>();
            ReadTransactionRecordInto(record, *entry);
            if (append) {
                AddAppended(std::move(entry), monthSlot, run);
                continue;
            }
            const qint32 sequence = TransactionKeySequence(entry->ID);
            if (!IsGenerated(*entry) && sequence >= 0 && sequence < TaxLineSequence)
                nextID = std::max(nextID, base + sequence + 1);
            // A number of another month's range (written by an older version) cannot meet this
            // month's new numbers, and must not carry its counter out of the range.
            if (entry->Dissection >= base && entry->Dissection < base + SlotKeyRange)
                nextDissection = std::max(nextDissection, entry->Dissection + 1);
            Entries.push_back(std::move(entry));
        }
        if (got < static_cast<qint64>(buffer.size()))
            break;
    }
    if (total != size)
        throw EQuilvaneError(QStringLiteral("The transaction file changed while it was read"));
}

void TTransactionList::ReadOlderForms(QIODevice& file, const QString& native, qint64 size, int monthSlot,
                                      bool append, std::vector<char>& buffer) {
    const QString unreadable = QStringLiteral("Unable to read %1").arg(QDir::toNativeSeparators(native));
    // The form is known by its header: 84 bytes, then 80; a file with neither is of 76 bytes.
    std::array<char, 84> first{};
    const qint64 firstSize = std::min<qint64>(size, static_cast<qint64>(first.size()));
    if (file.read(first.data(), firstSize) != firstSize || !file.seek(0))
        throw EQuilvaneError(unreadable);
    const auto* firstRecord = reinterpret_cast<const std::uint8_t*>(first.data());
    TDosRecordForm form = TDosRecordForm::V3;
    for (const TDosRecordForm candidate : {TDosRecordForm::V41, TDosRecordForm::V4})
        if (size >= DosRecordSize(candidate) && IsDosHeaderRecord(candidate, firstRecord)) {
            form = candidate;
            break;
        }
    const qint64 recordSize = DosRecordSize(form);
    RefuseOversizedTransactionFile(native, size, static_cast<int>(recordSize));
    if (size % recordSize != 0)
        throw EQuilvaneError(QStringLiteral("The DOS version's transaction file is damaged: its size is "
                                            "not a whole number of records"));
    ReserveEntries(size / recordSize);
    const TDosCodeFormat codes{Books.Entity.AccFormatID, Books.Format};
    const bool plainDates = Kind == pkOpeningUnpresentedCheques || Kind == pkOpeningOutstandingDeposits;
    const int period = PeriodNo == 0 ? 1 : PeriodNo;
    const int periods = PeriodNo == 0 ? 1 : PeriodCount;
    const int endMonth = Books.Entity.EndMonth;
    // A file that cannot be read to its end adds nothing: what it gave so far is taken out again.
    const size_t keptCount = Entries.size();
    const auto keptIDs = NextIDs;
    const auto keptDissections = NextDissectionNos;
    const bool keptSaved = IsSaved;
    const auto takeBack = [&] {
        Entries.erase(Entries.begin() + static_cast<std::ptrdiff_t>(keptCount), Entries.end());
        NextIDs = keptIDs;
        NextDissectionNos = keptDissections;
        IsSaved = keptSaved;
    };
    buffer.resize(static_cast<size_t>(RecordsPerBlock * recordSize));
    TAppendRun run;
    qint64 total = 0;
    try {
        for (;;) {
            const qint64 wanted = std::min<qint64>(static_cast<qint64>(buffer.size()), size - total);
            const qint64 got = wanted > 0 ? file.read(buffer.data(), wanted) : 0;
            if (got != wanted)
                throw EQuilvaneError(unreadable);
            if (got == 0)
                break;
            total += got;
            const auto* data = reinterpret_cast<const std::uint8_t*>(buffer.data());
            for (qint64 at = 0; at < got; at += recordSize) {
                // A header met anywhere (files appended to by the DOS version repeat it) is no entry.
                if (form != TDosRecordForm::V3 && IsDosHeaderRecord(form, data + at))
                    continue;
                auto entry =
                    std::make_unique<TTransactionDetail>(GetNextID(monthSlot), static_cast<qint16>(Kind));
                const bool dated = form == TDosRecordForm::V41  ? ReadTransRecV41(data + at, *entry, codes)
                                   : form == TDosRecordForm::V4 ? ReadTransRecV4(data + at, *entry, codes)
                                                                : ReadTransRecV3(data + at, *entry, codes);
                if (!plainDates) {
                    if (!dated)
                        entry->Date = PeriodEndDate(period, FinancialYear, periods, endMonth);
                    else
                        CheckDateInPeriods(entry->Date, FinancialYear, period, true, false, periods,
                                           endMonth);
                }
                AddAppended(std::move(entry), monthSlot, run);
                if (!append)
                    Entries.back()->Flags =
                        FlagSetExclude(Entries.back()->Flags, {TransactionFlag::Highlight});
            }
        }
        // The file grew while it was read: it is not the file that was measured.
        char extra = 0;
        if (file.read(&extra, 1) != 0)
            throw EQuilvaneError(unreadable);
    } catch (...) {
        takeBack();
        throw;
    }
}

void TTransactionList::ReadMonthFile(int month, const TOptionSet& options, const QString& dataFolder,
                                     std::vector<char>& buffer) {
    const QString fileName = GetFileName(month, options);
    if (fileName.isEmpty())
        return;
    // Found without regard to case: files copied from Windows may differ from the name in case.
    const QString native = NativePath(fileName);
    if (native.isEmpty())
        throw EQuilvaneError(QStringLiteral("The drive of %1 is not ready").arg(fileName));
    // A file that is a link, or whose folder leads out of the file's data folder, is not read.
    const qint64 size = StoredFileSizeInside(dataFolder, native);
    if (size <= 0)
        return;
    // Longer than any form's header and fullest month: refused before a byte of it is read.
    RefuseOversizedTransactionFile(native, size, TransactionRecordSize);
    QFile file(native);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw EQuilvaneError(QStringLiteral("Unable to read %1: %2")
                                 .arg(QDir::toNativeSeparators(native), file.errorString()));
    const int slot = TransactionMonthSlot(Kind, month, Books.Entity.EndMonth);
    const bool append = options.Has(Option::AppendLoad);
    if (options.Has(Option::DosVersion) || options.Has(Option::TransferDrive)) {
        ReadOlderForms(file, native, size, slot, append, buffer);
        return;
    }
    if (size % TransactionRecordSize != 0)
        throw EQuilvaneError(DamagedText(native));
    ReadCurrentForm(file, size, slot, append, buffer);
}

void TTransactionList::ProcessAfterLoad(const TOptionSet& options) {
    const bool savedBefore = IsSaved;
    const bool merge = options.Has(Option::MergeLoad);
    const bool keepTaxLines = options.Has(Option::QuietLoadKeepTaxLines);
    RepairAccounts();
    RefreshTaxEntries(true, !keepTaxLines, !options.Has(Option::QuietLoad) && !keepTaxLines, merge);
    GenerateContras(false);
    if (merge) {
        ValidateTransactionIDs();
        ValidateDissectionNumbers();
    }
    const bool keepModified = options.Has(Option::DosVersion) || options.Has(Option::KeepModifiedAfterLoad) ||
                              options.Has(Option::NoContraRegeneration) || keepTaxLines;
    if (savedBefore && !keepModified)
        IsSaved = true;
}

int TTransactionList::LoadFromFile(const TOptionSet& options, bool showProgress) {
    const bool keep = options.Has(Option::AppendLoad) || options.Has(Option::MergeLoad);
    const bool quiet = options.Has(Option::QuietLoad) || options.Has(Option::QuietLoadKeepTaxLines);
    if (!keep)
        Clear();
    // What the list held before: a retry starts again from it.
    const size_t keptCount = Entries.size();
    const auto keptIDs = NextIDs;
    const auto keptDissections = NextDissectionNos;
    const int keptSortOrder = CurrentSortOrder;
    const bool wasSaved = IsSaved;
    const QString title = GetPeriodTitle(false);
    std::unique_ptr<IProgress> progress;
    if (showProgress) {
        progress = TServices::CreateProgress();
        progress->Setup(Books.Entity.FileCode, LoadingMessage, title.trimmed(), true, false);
    }
    const std::vector<int> months = FileMonths();
    bool outOfMemory = false;
    // The month files not there are looked for in one listing of their folder; a retry follows
    // the user's answer, and the folder may have changed meanwhile.
    const TLocalFileSystem::TListingScope listings;
    bool retrying = false;
    const auto attempt = [&] {
        if (std::exchange(retrying, true))
            TLocalFileSystem::ForgetListings();
        Entries.erase(Entries.begin() + static_cast<std::ptrdiff_t>(keptCount), Entries.end());
        NextIDs = keptIDs;
        NextDissectionNos = keptDissections;
        CurrentSortOrder = keptSortOrder;
        outOfMemory = false;
        const TCursorScope busy(TCursorKind::Busy);
        try {
            TTransactionReadBuffer buffer;
            // The folder the month files must lie in, found once for them all (an undo list has none).
            const TChartEntity& entity = Books.Entity;
            const QString dataFolder =
                Kind < 0 ? QString()
                         : NativePath(GetEntityDataDir(entity.FileCode, entity.DataDir, entity.XferDir,
                                                       entity.ProgramDataDir, options));
            for (size_t i = 0; i < months.size(); ++i) {
                ReadMonthFile(months[i], options, dataFolder, buffer.Bytes());
                if (progress)
                    progress->SetPosition(static_cast<double>(i + 1) * 100.0 /
                                          static_cast<double>(months.size()));
            }
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
            Clear();
            Entries.shrink_to_fit();
            throw;
        }
    };
    const auto askRetry = [&](const QString& reason) {
        if (quiet)
            return false;
        IUserPrompt& prompt = TServices::Prompt();
        if (outOfMemory) {
            MessageBeepAndShow(prompt, TMessageKind::Error,
                               QStringLiteral("Out of memory. Close other files first or use") +
                                   QLatin1Char('\n') + QStringLiteral("a smaller period range."),
                               TMessageButton::Cancel);
            return false;
        }
        return MessageBeepAndShow(
                   prompt, TMessageKind::Error,
                   WithFailureReason(QStringLiteral("Unable to find or load ") + title, reason),
                   TMessageButton::Retry | TMessageButton::Cancel) == TMessageButton::Retry;
    };
    bool loaded = false;
    try {
        loaded = RunWithRetry(attempt, askRetry);
    } catch (const EOperationCancelled&) {
        loaded = false; // stopped from the progress window
    }
    progress.reset();
    if (!loaded) {
        // The list never replaces files it could not read: its load status keeps it from being
        // saved when it is freed.
        if (outOfMemory || !(quiet || options.Has(Option::AppendLoad)))
            Clear();
        LastLoadStatus = -1;
        return -1;
    }
    // Adding to a list never clears the failure of its own load.
    if (!keep)
        LastLoadStatus = 0;
    // Entries added to what the list held, or read from the DOS version's files, are not yet in
    // the list's own files.
    const bool added = Entries.size() > keptCount;
    const bool olderForm = options.Has(Option::DosVersion) || options.Has(Option::TransferDrive);
    IsSaved = keep ? wasSaved && !added : !(olderForm && added);
    if (!options.Has(Option::NoLoadProcessing))
        ProcessAfterLoad(options);
    return 0;
}
