// Bringing a client file forward from a year of 1,000,000 transactions (spread over the page kinds
// 1 to 9 and the twelve months) into the next year: the new year's charts built from last year's,
// the opening balances of each bank account (a recalculation of its cash book, its retained profit
// shared by a distribution of one entry at 100% and an entry for every balance-sheet account it
// moved), the opening bank reconciliation and the new charts written. The new year's files are
// removed between runs, outside the timed part.
//
// Counters: the progress positions and messages the run gave, the opening entries written, and
// the time from each step's message to the next (the last run), to show where the time goes.
#include "bench/TransactionFileGenerator.h"
#include "core/accounts/AccountCode.h"
#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountDetail.h"
#include "core/charts/AccountsChart.h"
#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/dates/Periods.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/services/Progress.h"
#include "core/services/Services.h"
#include "core/services/UserPrompt.h"
#include "core/settings/ProgramParams.h"
#include "core/transactions/TransactionDetail.h"
#include "core/transactions/TransactionFileNames.h"
#include "core/transactions/TransactionRecord.h"
#include "core/vocab/PageKinds.h"
#include "shell/bringforward/BringForwardEngine.h"
#include "shell/bringforward/ProfitDistribution.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

constexpr qint64 TransactionCount = 1000000;
constexpr int SourceYear = 2006;
constexpr int NewYear = SourceYear + 1;
constexpr int EndMonth = 6;
const QString FileCode = QStringLiteral("BEN001");

// The generator posts bank accounts 100-102 and accounts 1000-1899. The bank accounts are moved
// into the bank range (2000-2002, the same order, so the month files stay sorted) and the upper
// half of the postings into the balance sheet (1450-1899 to 3000-3449); 1000-1449 stay profit and
// loss.
constexpr qint16 GeneratedFirstBank = 100;
constexpr qint16 BankCount = 3;
constexpr qint16 FirstBank = 2000;
constexpr qint16 FirstProfitAndLoss = 1000;
constexpr qint16 FirstMovedPosting = 1450;
constexpr qint16 LastPosting = 1899;
constexpr qint16 FirstBalanceSheet = 3000;
constexpr qint16 RetainedProfit = 4100;
constexpr qint16 Suspense = 9000;

// A benchmark has no one to tell: it stops with the reason.
[[noreturn]] void Fail(const std::string& reason) {
    std::fprintf(stderr, "bench_bring_forward: %s\n", reason.c_str());
    std::abort();
}

TAccountCode Code(qint16 no) {
    return TAccountCode{-1, -1, no, -1};
}

// What a run told its progress window: the positions, and each message with when it came.
struct TProgressLog {
    int Positions = 0;
    std::vector<std::pair<QString, TClock::time_point>> Messages;
};

class TRecordingProgress : public IProgress {
public:
    explicit TRecordingProgress(std::shared_ptr<TProgressLog> log) : Log(std::move(log)) {}

    void Setup(const QString&, int, const QString&, bool, bool) override {}
    void SetPosition(double) override { ++Log->Positions; }
    void SetMessage(int, const QString& detail) override {
        Log->Messages.emplace_back(detail, TClock::now());
    }
    bool Cancelled() const override { return false; }

private:
    std::shared_ptr<TProgressLog> Log;
};

// Answers OK (or Ignore, or Yes) to every box and keeps the last text other than the closing
// "complete" box, which a failed run reports.
class TAnsweringPrompt : public IUserPrompt {
public:
    void Beep(TBeep) override {}
    TMessageButton ShowMessage(TMessageKind, const QString& text, TMessageButtons buttons, int) override {
        if (text != TBringForwardEngine::CompleteText)
            LastText = text;
        for (const TMessageButton button : {TMessageButton::Ignore, TMessageButton::Yes, TMessageButton::OK})
            if (buttons.testFlag(button))
                return button;
        return TMessageButton::Cancel;
    }
    bool InputText(const QString&, const QString&, QString&) override { return false; }

    QString LastText;
};

// The stored name of a transaction file as a path of this system.
QString LocalPath(const QString& stored) {
    return QString(stored).replace(u'\\', u'/');
}

// Moves the generated accounts to the codes of the chart (see above), month file by month file.
void MoveGeneratedAccounts(const QString& dataDir) {
    for (int kind = 1; kind <= 9; ++kind) {
        for (int month = 1; month <= 12; ++month) {
            QFile file(LocalPath(TransactionFileName(dataDir, FileCode, SourceYear, kind, month, {})));
            if (!file.open(QIODevice::ReadWrite))
                Fail("month file not opened: " + file.fileName().toStdString());
            QByteArray bytes = file.readAll();
            auto* at = reinterpret_cast<std::uint8_t*>(bytes.data());
            const qsizetype records = bytes.size() / TransactionRecordSize;
            for (qsizetype i = 0; i < records; ++i, at += TransactionRecordSize) {
                if (IsTransactionHeaderRecord(at))
                    continue;
                TTransactionDetail entry = ReadTransactionRecord(at);
                entry.BankCode.Account =
                    static_cast<qint16>(FirstBank + entry.BankCode.Account - GeneratedFirstBank);
                if (entry.PostingCode.Account >= FirstMovedPosting)
                    entry.PostingCode.Account = static_cast<qint16>(
                        FirstBalanceSheet + entry.PostingCode.Account - FirstMovedPosting);
                WriteTransactionRecord(entry, at);
            }
            if (!file.seek(0) || file.write(bytes) != bytes.size())
                Fail("month file not written: " + file.fileName().toStdString());
        }
    }
}

// The client file BEN001 (year to June 2006) with the transactions and a chart of their accounts
// (banks 2000-2002, profit and loss 1000-1449, balance sheet 3000-3449, retained profits 4100,
// suspense 9000) and the year's opening bank reconciliation of the three banks, completed to the
// year end; the file is open at 2006.
struct TBringForwardBench {
    TBringForwardBench() {
        if (!Folder.isValid())
            Fail("no temporary folder");
        UseBenchProgramParams(Params, Folder.path());
        TServices::SetPrompt(Prompt);
        TEntityInfo::SetSessionLog([](const TLogSession&) {});

        if (!WriteSyntheticClientRecord(Folder.path()))
            Fail("record not written");
        TSyntheticTransactions files;
        files.DataDir = Folder.path();
        files.FileCode = FileCode;
        files.Year = SourceYear;
        files.EndMonth = EndMonth;
        TransactionBytes = WriteSyntheticTransactionFiles(files, TransactionCount);
        MoveGeneratedAccounts(Folder.path());

        File = TEntityInfo::Create(FileCode, {Option::Standard, Option::Load});
        const TEntityDetail& detail = File->EntityDetail();
        TAccountsChart chart(detail.ChartEntity(), detail.AccountFormat, {Option::Standard}, SourceYear);
        for (qint16 no = FirstBank; no < FirstBank + BankCount; ++no)
            AddAccount(chart, no, AccountTypeCode::Bank);
        for (qint16 no = FirstProfitAndLoss; no < FirstMovedPosting; ++no)
            AddAccount(chart, no, AccountTypeCode::Ordinary);
        for (qint16 no = FirstBalanceSheet; no <= FirstBalanceSheet + LastPosting - FirstMovedPosting; ++no)
            AddAccount(chart, no, AccountTypeCode::Ordinary);
        AddAccount(chart, RetainedProfit, AccountTypeCode::Ordinary);
        AddAccount(chart, Suspense, AccountTypeCode::Suspense);
        TOptionSet options{Option::Standard};
        if (chart.SaveToFile(options) != 0)
            Fail("chart not written");

        TBankRecOpeningDetailChart opening(detail.ChartEntity(), &chart, detail.AccountFormat, TOptionSet{},
                                           SourceYear);
        opening.LoadFromFile(TOptionSet{Option::Standard}); // no file yet: the banks of the chart
        if (opening.Count() != BankCount)
            Fail("the opening reconciliation does not hold the bank accounts");
        const double yearEnd = PeriodEndDate(12, SourceYear, 12, EndMonth);
        for (int i = 0; i < opening.Count(); ++i) {
            TBRecOpeningDetail& bank = *opening.GetDetail(i);
            bank.Completed = true;
            bank.Reconciled_To = yearEnd;
            bank.ThirdAmount = 1000.0 * (i + 1);
            bank.SixthValue = 1250.0 * (i + 1);
        }
        opening.Saved = false;
        if (opening.SaveToFile(options) != 0)
            Fail("opening reconciliation not written");

        File->OpenYear();
        Distribution.SetEntries({TDistributionEntry{detail.AccountFormat->FormatCode(Code(RetainedProfit)),
                                                    QStringLiteral("100.00")}});
    }
    ~TBringForwardBench() {
        if (File)
            File->Close();
    }
    TBringForwardBench(const TBringForwardBench&) = delete;
    TBringForwardBench& operator=(const TBringForwardBench&) = delete;

    static void AddAccount(TAccountsChart& chart, qint16 no, const QString& type) {
        auto account = std::make_unique<TAccountDetail>(chart.Format());
        account->SetCode(Code(no));
        account->DeriveAccountType(type);
        if (type == AccountTypeCode::Bank && account->AccountType != AccountTypeCode::Bank)
            Fail("account " + std::to_string(no) + " cannot be a bank account");
        if (chart.AddAccount(std::move(account)) < 0)
            Fail("account not added");
    }

    // The new year's files, found as the bring forward finds them.
    QStringList NewYearFiles() const {
        QStringList paths;
        const QString prefix = FileCode + QStringLiteral("%1.").arg(NewYear % 100, 2, 10, QLatin1Char('0'));
        QDirIterator it(Folder.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (it.fileName().startsWith(prefix, Qt::CaseInsensitive))
                paths << path;
        }
        return paths;
    }
    // The entries of the new year's opening-balances page (one file for the year), or -1 when
    // the entries of a bank account do not balance or a bank account has none.
    qint64 OpeningEntries() const {
        QFile file(
            LocalPath(TransactionFileName(Folder.path(), FileCode, NewYear, pkOpeningBalances, 1, {})));
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        const QByteArray bytes = file.readAll();
        std::vector<double> bankTotals(BankCount, 0.0);
        std::vector<int> bankEntries(BankCount, 0);
        qint64 entries = 0;
        const auto* at = reinterpret_cast<const std::uint8_t*>(bytes.constData());
        for (qsizetype i = 0; i + TransactionRecordSize <= bytes.size(); i += TransactionRecordSize) {
            if (IsTransactionHeaderRecord(at + i))
                continue;
            const TTransactionDetail entry = ReadTransactionRecord(at + i);
            const int bank = entry.BankCode.Account - FirstBank;
            if (bank < 0 || bank >= BankCount)
                return -1;
            bankTotals[static_cast<size_t>(bank)] += entry.Amount;
            ++bankEntries[static_cast<size_t>(bank)];
            ++entries;
        }
        for (int bank = 0; bank < BankCount; ++bank)
            if (bankEntries[static_cast<size_t>(bank)] == 0 ||
                std::fabs(bankTotals[static_cast<size_t>(bank)]) > 0.005)
                return -1;
        return entries;
    }

    QTemporaryDir Folder;
    std::shared_ptr<TProgramParams> Params = std::make_shared<TProgramParams>();
    std::shared_ptr<TAnsweringPrompt> Prompt = std::make_shared<TAnsweringPrompt>();
    std::unique_ptr<TEntityInfo> File;
    TProfitDistribution Distribution;
    qint64 TransactionBytes = 0;
};

TBringForwardBench& Bench() {
    static TBringForwardBench bench;
    SetProgramParams(bench.Params);
    return bench;
}

void BM_BringForwardYear(benchmark::State& state) {
    TBringForwardBench& bench = Bench();
    for (const QString& path : bench.NewYearFiles())
        QFile::remove(path);
    const TBringForwardOptions options;
    std::shared_ptr<TProgressLog> log;
    TClock::time_point start;
    TClock::time_point end;
    qint64 openingEntries = 0;
    for (auto _ : state) {
        log = std::make_shared<TProgressLog>();
        bench.Prompt->LastText.clear();
        start = TClock::now();
        TBringForwardEngine engine(*bench.File, NewYear);
        engine.SetProgress(std::make_unique<TRecordingProgress>(log));
        const int result = engine.Run(options, bench.Distribution);
        end = TClock::now();
        state.PauseTiming();
        if (result != 0) {
            state.SkipWithError(("the bring forward returned " + std::to_string(result) + ": " +
                                 bench.Prompt->LastText.toStdString())
                                    .c_str());
            break;
        }
        openingEntries = bench.OpeningEntries();
        if (openingEntries <= 0) {
            state.SkipWithError("the opening entries are missing or a bank account's do not balance");
            break;
        }
        for (const QString& path : bench.NewYearFiles())
            if (!QFile::remove(path)) {
                state.SkipWithError("a new year's file could not be removed");
                break;
            }
        state.ResumeTiming();
    }
    if (!log)
        return;
    state.SetBytesProcessed(state.iterations() * bench.TransactionBytes);
    state.counters["progress_positions"] = log->Positions;
    state.counters["progress_messages"] = static_cast<double>(log->Messages.size());
    state.counters["opening_entries"] = static_cast<double>(openingEntries);
    // Each step runs from its message to the next message (the last to the end of the run); the
    // charts are prepared and the source year opened before the first.
    TClock::time_point from = start;
    QString name = QStringLiteral("Setup");
    auto addStep = [&](TClock::time_point to) {
        name.remove(TBringForwardEngine::ProgressCaption)
            .remove(QStringLiteral("..."))
            .replace(u' ', QString());
        state.counters["ms_" + name.toStdString()] =
            std::chrono::duration<double, std::milli>(to - from).count();
    };
    for (const auto& [message, at] : log->Messages) {
        addStep(at);
        from = at;
        name = message;
    }
    addStep(end);
}
BENCHMARK(BM_BringForwardYear)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
