// The month files of a transaction list: their names, freeing (which saves an unsaved list) and
// saving. Loading is in TransactionListFilesLoad.cpp.
#include "core/transactions/TransactionList.h"

#include "core/charts/AccountsChart.h"
#include "core/common/Exceptions.h"
#include "core/dates/DateNumbers.h"
#include "core/files/FileQuestions.h"
#include "core/files/Paths.h"
#include "core/files/StoredFileWriter.h"
#include "core/services/CursorScope.h"
#include "core/services/RetryLoop.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "core/transactions/DosTransactionRecord.h"
#include "core/transactions/TransactionFileNames.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionKeys.h"
#include "core/transactions/TransactionRecord.h"
#include "core/vocab/PageKinds.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

// Progress message kind "Saving ...".
constexpr int SavingMessage = 3;
// Records gathered before each write.
constexpr int RecordsPerBlock = 2000;
// A list this long, or one with fewer periods a year, shows progress while it is saved.
constexpr int ProgressEntryCount = 200;
constexpr int ProgressPeriodsPerYear = 6;

// The account format the DOS version's codes are written in: the program's "QUILVANE" format
// when the program settings define one, else the file's own.
const TAccountFormat& DosWriteFormat(const TAccountFormat* own) {
    if (TServices::HasSettings())
        if (const TAccountFormat* program =
                TServices::Settings().FindAccountFormat(QStringLiteral("QUILVANE")))
            return *program;
    if (!own)
        throw EQuilvaneError(
            QStringLiteral("No account format to write the DOS version's transactions with."));
    return *own;
}

void WriteAll(QIODevice& out, const char* data, qint64 size) {
    if (out.write(data, size) != size)
        throw EQuilvaneError(out.errorString());
}

} // namespace

TTransactionList::~TTransactionList() {
    // Freeing must not fail: a failed save has already been reported (or the user cancelled it),
    // and the entries are freed either way.
    try {
        SaveIfNeeded();
    } catch (...) {
    }
}

int TTransactionList::SaveIfNeeded() {
    ListOptions.Exclude(Option::DosVersion);
    if (IsSaved || Kind < 0 || Kind == pkDeletedTransactions || LastLoadStatus != 0)
        return 0;
    if (!ListOptions.Has(Option::NoContraRegeneration))
        GenerateContras(Count() > ProgressEntryCount && !ListOptions.Has(Option::NoContraProgress));
    RefreshTaxEntries(true, true, true, false);
    RenumberDissections();
    const bool progress = !ListOptions.Has(Option::QuietLoad) &&
                          !ListOptions.Has(Option::NoContraRegeneration) &&
                          !ListOptions.Has(Option::QuietLoadKeepTaxLines);
    TOptionSet options = ListOptions;
    const int result = SaveToFile(options, progress, true);
    IsSaved = true;
    return result;
}

QString TTransactionList::GetFileName(int month, const TOptionSet& options) const {
    if (Kind < 0)
        return {};
    const TChartEntity& entity = Books.Entity;
    return TransactionFileName(entity.FileCode, entity.DataDir, entity.XferDir, entity.ProgramDataDir,
                               FinancialYear, Kind, month, options);
}

std::vector<int> TTransactionList::FileMonths() const {
    if (PeriodStartMonthNo == 0)
        return {0};
    std::vector<int> months{PeriodStartMonthNo};
    if (IsOneFileKind(Kind))
        return months;
    for (int month = PeriodStartMonthNo; month != PeriodEndMonthNo;) {
        month = month % 12 + 1;
        months.push_back(month);
    }
    return months;
}

void TTransactionList::WriteMonthFile(const QString& native,
                                      const std::vector<const TTransactionDetail*>& entries,
                                      const TOptionSet& options) const {
    const TCursorScope busy(TCursorKind::Busy);
    const bool dosForm = options.Has(Option::TransferDrive);
    const bool append = dosForm && options.Has(Option::AppendLoad);
    const QFileInfo existing(native);
    // Under the standard names a file code's month files have a folder of their own; a link in its
    // place would make the save write, or remove, files wherever it leads.
    if (!dosForm && !options.Has(Option::DosVersion))
        RefuseSymbolicLink(existing.absolutePath());
    if (entries.empty()) {
        // Nothing of the month is left: its old file goes, so no month keeps entries that were
        // deleted and no file holds a header alone. An append adds nothing.
        if (!append && existing.exists() && !QFile::remove(native))
            throw EQuilvaneError(QStringLiteral("Unable to remove %1").arg(QDir::toNativeSeparators(native)));
        return;
    }
    if (!QDir().mkpath(existing.absolutePath()))
        throw EQuilvaneError(QStringLiteral("Unable to create the folder %1")
                                 .arg(QDir::toNativeSeparators(existing.absolutePath())));
    // Written beside the old file and renamed over it when complete: a failure keeps the old file.
    TStoredFileWriter stored(native);
    QIODevice& out = stored.Device();
    if (dosForm) {
        const TAccountFormat& format = DosWriteFormat(Books.Format);
        QByteArray bytes;
        if (append && existing.size() > 0) {
            // Appended records follow the old ones; the file keeps its one header.
            QFile old(native);
            if (!old.open(QIODevice::ReadOnly))
                throw EQuilvaneError(old.errorString());
            bytes = old.readAll();
        } else {
            bytes = DosHeaderRecordV41();
        }
        bytes.reserve(bytes.size() +
                      static_cast<qsizetype>(entries.size()) * DosRecordSize(TDosRecordForm::V41));
        for (const TTransactionDetail* entry : entries)
            bytes += WriteTransRecV41(*entry, format);
        WriteAll(out, bytes.constData(), bytes.size());
    } else {
        std::vector<char> block(static_cast<size_t>(RecordsPerBlock) * TransactionRecordSize);
        const QByteArray header =
            TransactionHeaderRecord(CurrentSortOrder, Books.Entity.FileCode, Books.Entity.AccFormatID);
        std::copy(header.begin(), header.end(), block.begin());
        size_t used = TransactionRecordSize;
        for (const TTransactionDetail* entry : entries) {
            if (used == block.size()) {
                WriteAll(out, block.data(), static_cast<qint64>(used));
                used = 0;
            }
            WriteTransactionRecord(*entry, reinterpret_cast<std::uint8_t*>(block.data() + used));
            used += TransactionRecordSize;
        }
        WriteAll(out, block.data(), static_cast<qint64>(used));
    }
    stored.Commit();
}

int TTransactionList::SaveToFile(TOptionSet& options, bool showProgress, bool markSaved) {
    if (Kind < 0 || Kind == pkDeletedTransactions)
        return 0;
    // Every write of a page comes here, so this is where the order is kept: the year's accounts
    // chart goes first when it holds changes, and no saved line names an account that is not on
    // disk. A chart that could not be written has said so, and the lines are written all the same
    // rather than lost; a chart of a run's own is sealed and never written.
    if (Books.Accounts && !Books.Accounts->Saved) {
        TOptionSet chartOptions{Option::Standard};
        Books.Accounts->SaveIfModified(chartOptions);
    }
    const QString title = GetPeriodTitle(false);
    std::unique_ptr<IProgress> progress;
    if (showProgress && (Count() > ProgressEntryCount || PeriodCount < ProgressPeriodsPerYear)) {
        progress = TServices::CreateProgress();
        progress->Setup(Books.Entity.FileCode, SavingMessage, title.trimmed(), true, false);
    }

    // The entries of each month file, in list order; blank lines and dissection totals are
    // never stored. An entry dated outside the list's months (none normally are) goes to the
    // file of its end month, as its ID does, rather than being lost.
    const std::vector<int> months = FileMonths();
    std::vector<std::vector<const TTransactionDetail*>> perMonth(months.size());
    std::array<int, 13> fileOfMonth{};
    fileOfMonth.fill(static_cast<int>(months.size()) - 1);
    for (size_t i = 0; i < months.size(); ++i)
        fileOfMonth[static_cast<size_t>(months[i])] = static_cast<int>(i);
    const bool oneFile = months.size() == 1;
    for (const auto& entry : Entries) {
        if (entry->HasAnyFlag({TransactionFlag::Blank, TransactionFlag::DissectionTotal}))
            continue;
        int file = 0;
        if (!oneFile) {
            int year = 0, month = 0, day = 0;
            DecodeDateNum(entry->Date, year, month, day);
            file = fileOfMonth[static_cast<size_t>(std::clamp(month, 0, 12))];
        }
        perMonth[static_cast<size_t>(file)].push_back(entry.get());
    }

    const auto compose = [&](const QString& reason) {
        return WithFailureReason(QStringLiteral("There has been an error saving the FTransactions file") +
                                     QLatin1Char('\n') + QStringLiteral("for ") + title,
                                 reason);
    };
    for (size_t i = 0; i < months.size(); ++i) {
        QString native;
        const auto name = [&] {
            const QString fileName = GetFileName(months[i], options);
            native = fileName.isEmpty() ? QString() : NativePath(fileName);
            if (!fileName.isEmpty() && native.isEmpty())
                throw EQuilvaneError(QStringLiteral("The drive of %1 is not ready").arg(fileName));
        };
        if (!RunWithRetryBox(name, compose, TMessageButton::Retry | TMessageButton::Ignore))
            return -1;
        if (native.isEmpty())
            continue;
        if (options.Has(Option::AskBeforeReplace) && QFileInfo::exists(native) &&
            !ConfirmReplaceFile(title, options)) {
            if (options.Has(Option::StopOperation))
                return -1;
            continue;
        }
        if (!RunWithRetryBox([&] { WriteMonthFile(native, perMonth[i], options); }, compose,
                             TMessageButton::Retry | TMessageButton::Ignore))
            return -1;
        if (progress)
            progress->SetPosition(static_cast<double>(i + 1) * 100.0 / static_cast<double>(months.size()));
    }
    if (markSaved)
        IsSaved = true;
    return 0;
}
