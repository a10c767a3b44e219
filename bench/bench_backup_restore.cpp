// Backing up and restoring a year of a client file of 100,000 transactions (spread over the page
// kinds 1 to 9 and the twelve months), with the year's charts, to and from an archive drive:
//   BM_BackupYear    one backup of the open year (its charts saved, the integrity check over every
//                    month file, the archive written and renamed into place) under a fresh number;
//   BM_RestoreYear   one restore of a backup made before the loop (tested, staged, swapped in and
//                    the year's charts read again);
//   BM_CancelLatency a backup (or a transfer out over an old transfer archive) whose progress
//                    window is cancelled at its first position: the time from that call to the run
//                    returning, and the archive folder as it was before the run.
//
// The archive size and the number of progress positions the run gave are reported as counters.
#include "bench/TransactionFileGenerator.h"
#include "core/charts/AccountDetail.h"
#include "core/charts/AccountsChart.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/entity/RunParams.h"
#include "core/services/Progress.h"
#include "core/services/Services.h"
#include "core/services/UserPrompt.h"
#include "core/settings/ProgramParams.h"
#include "core/vocab/ProcessKinds.h"
#include "shell/backup/BackupRestoreProcess.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

namespace {

using TClock = std::chrono::steady_clock;

constexpr qint64 TransactionCount = 100000;
constexpr int Year = 2006;
constexpr char16_t ArchiveDrive = u'B';
const QString FileCode = QStringLiteral("BEN001");

// A benchmark has no one to tell: it stops with the reason.
[[noreturn]] void Fail(const std::string& reason) {
    std::fprintf(stderr, "bench_backup_restore: %s\n", reason.c_str());
    std::abort();
}

// What a run told its progress window, and when the window was cancelled.
struct TProgressLog {
    int Positions = 0;
    // The position at which Cancel counts as pressed (1: the first); 0 never.
    int CancelAt = 0;
    std::optional<TClock::time_point> CancelSeen;
    TClock::time_point Returned;
};

// A progress window that counts the positions and presses Cancel at the chosen one.
class TCountingProgress : public IProgress {
public:
    explicit TCountingProgress(std::shared_ptr<TProgressLog> log) : Log(std::move(log)) {}

    void Setup(const QString&, int, const QString&, bool, bool) override {}
    void SetPosition(double) override {
        ++Log->Positions;
        if (Log->CancelAt > 0 && Log->Positions == Log->CancelAt)
            Log->CancelSeen = TClock::now();
    }
    void SetMessage(int, const QString&) override {}
    bool Cancelled() const override { return Log->CancelAt > 0 && Log->Positions >= Log->CancelAt; }

private:
    std::shared_ptr<TProgressLog> Log;
};

// Says Yes to every question (replacing an old transfer archive) and keeps the last other text,
// which a failed run reports.
class TYesPrompt : public IUserPrompt {
public:
    void Beep(TBeep) override {}
    TMessageButton ShowMessage(TMessageKind kind, const QString& text, TMessageButtons buttons,
                               int) override {
        if (kind == TMessageKind::Question && buttons.testFlag(TMessageButton::Yes))
            return TMessageButton::Yes;
        LastText = text;
        return buttons.testFlag(TMessageButton::OK) ? TMessageButton::OK : TMessageButton::Cancel;
    }
    bool InputText(const QString&, const QString&, QString&) override { return false; }

    QString LastText;
};

// The client file BEN001 (year to June 2006) with the generated transactions and a chart of their
// accounts (postings 1000-1899, bank accounts 100-102), open with its year's charts; drive B
// stands for a folder of its own, where the archives go.
struct TBackupBench {
    TBackupBench() {
        if (!Folder.isValid() || !DriveFolder.isValid())
            Fail("no temporary folder");
        Params->LevelsOfBackup = 0; // every backup is kept: the benchmarks remove their own
        UseBenchProgramParams(Params, Folder.path());
        TServices::SetPrompt(Prompt);
        TServices::FileSystem().MapDrive(QChar(ArchiveDrive), DriveFolder.path());
        TEntityInfo::SetSessionLog([](const TLogSession&) {});

        if (!WriteSyntheticClientRecord(Folder.path()))
            Fail("record not written");
        TSyntheticTransactions files;
        files.DataDir = Folder.path();
        files.FileCode = FileCode;
        files.Year = Year;
        TransactionBytes = WriteSyntheticTransactionFiles(files, TransactionCount);

        File = TEntityInfo::Create(FileCode, {Option::Standard, Option::Load});
        const TEntityDetail& detail = File->EntityDetail();
        TAccountsChart chart(detail.ChartEntity(), detail.AccountFormat, {Option::Standard}, Year);
        for (qint16 no = 100; no < 1900; no = no == 102 ? 1000 : no + 1) {
            auto account = std::make_unique<TAccountDetail>(chart.Format());
            account->SetCode(TAccountCode{-1, -1, no, -1});
            if (chart.AddAccount(std::move(account)) < 0)
                Fail("account not added");
        }
        TOptionSet options{Option::Standard};
        if (chart.SaveToFile(options) != 0)
            Fail("chart not written");
        File->OpenYear();
    }
    ~TBackupBench() {
        if (File)
            File->Close();
    }
    TBackupBench(const TBackupBench&) = delete;
    TBackupBench& operator=(const TBackupBench&) = delete;

    // One run of a process over the open year; the log records when Run returned.
    int Run(int process, const TBackupRestoreRequest& request, const std::shared_ptr<TProgressLog>& log,
            QString& archive) {
        TReportSetup setup(File->RunFile(Year), 0, process, Year, false);
        TBackupRestoreProcess run(*File, setup);
        run.SetProgress(std::make_unique<TCountingProgress>(log));
        Prompt->LastText.clear();
        const int result = run.Run(request);
        log->Returned = TClock::now();
        archive = run.ArchivePath();
        return result;
    }
    // A backup under a number not used before.
    TBackupRestoreRequest NewBackup() {
        TBackupRestoreRequest request;
        request.Drive = QChar(ArchiveDrive);
        request.BackupNumber = ++LastNumber;
        return request;
    }
    // Why a run failed, for the report.
    std::string FailureText(const char* what, int result) const {
        std::string text = std::string(what) + " returned " + std::to_string(result);
        if (!Prompt->LastText.isEmpty())
            text += ": " + Prompt->LastText.toStdString();
        return text;
    }
    // The names in the archive folders of the drive with a digest of each file's bytes.
    QStringList DriveListing() const {
        QStringList listing;
        const QDir drive(DriveFolder.path());
        const QDir::Filters entries = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
        for (const char* folder : {"QUILVANE/BACKUPS", "QUILVANE/TRANSFER"})
            for (const QFileInfo& info : QDir(drive.filePath(folder)).entryInfoList(entries, QDir::Name))
                listing << QString::fromLatin1(folder) + u'/' + info.fileName() + u' ' + Digest(info);
        return listing;
    }
    static QString Digest(const QFileInfo& info) {
        QFile file(info.absoluteFilePath());
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("unreadable");
        return QString::fromLatin1(
            QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex());
    }

    QTemporaryDir Folder;
    QTemporaryDir DriveFolder;
    std::shared_ptr<TProgramParams> Params = std::make_shared<TProgramParams>();
    std::shared_ptr<TYesPrompt> Prompt = std::make_shared<TYesPrompt>();
    std::unique_ptr<TEntityInfo> File;
    qint64 TransactionBytes = 0;
    int LastNumber = 0;
};

TBackupBench& Bench() {
    static TBackupBench bench;
    SetProgramParams(bench.Params);
    return bench;
}

void BM_BackupYear(benchmark::State& state) {
    TBackupBench& bench = Bench();
    qint64 archiveBytes = 0;
    int positions = 0;
    for (auto _ : state) {
        const auto log = std::make_shared<TProgressLog>();
        QString archive;
        const int result = bench.Run(prBackup, bench.NewBackup(), log, archive);
        state.PauseTiming();
        if (result != 0) {
            state.SkipWithError(bench.FailureText("the backup", result).c_str());
            break;
        }
        archiveBytes = QFileInfo(archive).size();
        positions = log->Positions;
        if (archiveBytes <= 0 || !QFile::remove(archive)) {
            state.SkipWithError("the backup left no archive");
            break;
        }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * bench.TransactionBytes);
    state.counters["archive_bytes"] = static_cast<double>(archiveBytes);
    state.counters["progress_positions"] = positions;
}
BENCHMARK(BM_BackupYear)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RestoreYear(benchmark::State& state) {
    TBackupBench& bench = Bench();
    const auto made = std::make_shared<TProgressLog>();
    QString archive;
    if (const int result = bench.Run(prBackup, bench.NewBackup(), made, archive); result != 0) {
        state.SkipWithError(bench.FailureText("the backup before the restores", result).c_str());
        return;
    }
    const qint64 archiveBytes = QFileInfo(archive).size();
    const QString transactions = QDir(bench.Folder.path()).filePath(FileCode);
    const qsizetype monthFiles = QDir(transactions).entryList(QDir::Files).size();
    TBackupRestoreRequest request;
    request.Drive = QChar(ArchiveDrive);
    request.RestorePath = archive;
    int positions = 0;
    for (auto _ : state) {
        const auto log = std::make_shared<TProgressLog>();
        QString restored;
        const int result = bench.Run(prRestore, request, log, restored);
        if (result != 0) {
            state.SkipWithError(bench.FailureText("the restore", result).c_str());
            break;
        }
        positions = log->Positions;
    }
    if (!state.error_occurred() && QDir(transactions).entryList(QDir::Files).size() != monthFiles)
        state.SkipWithError("the restore did not bring back every transaction file");
    QFile::remove(archive);
    state.SetBytesProcessed(state.iterations() * bench.TransactionBytes);
    state.counters["archive_bytes"] = static_cast<double>(archiveBytes);
    state.counters["progress_positions"] = positions;
}
BENCHMARK(BM_RestoreYear)->Unit(benchmark::kMillisecond)->UseRealTime();

// The argument is the process: a backup (a new number; the archives already in the folder must
// stay as they are and nothing may appear) or a transfer to the accountant (the old transfer
// archive of the same name must stay as it was). The time reported is the cancel latency alone.
void BM_CancelLatency(benchmark::State& state) {
    TBackupBench& bench = Bench();
    const int process = static_cast<int>(state.range(0));
    // An archive already in the folder: a backup made before, or the old transfer archive.
    const auto made = std::make_shared<TProgressLog>();
    QString oldArchive;
    TBackupRestoreRequest first = bench.NewBackup();
    if (const int result = bench.Run(process, first, made, oldArchive); result != 0) {
        state.SkipWithError(bench.FailureText("the run before the cancelled ones", result).c_str());
        return;
    }
    const QStringList before = bench.DriveListing();
    double worst = 0.0;
    double wholeRun = 0.0;
    for (auto _ : state) {
        const auto log = std::make_shared<TProgressLog>();
        log->CancelAt = 1;
        QString archive;
        const TClock::time_point start = TClock::now();
        const int result = bench.Run(process, bench.NewBackup(), log, archive);
        if (result != TBackupRestoreProcess::Cancelled || !log->CancelSeen) {
            state.SkipWithError(bench.FailureText("the cancelled run", result).c_str());
            break;
        }
        const double latency = std::chrono::duration<double>(log->Returned - *log->CancelSeen).count();
        state.SetIterationTime(latency);
        worst = std::max(worst, latency);
        wholeRun = std::chrono::duration<double>(log->Returned - start).count();
        if (bench.DriveListing() != before) {
            state.SkipWithError("the cancelled run changed the archive folder");
            break;
        }
    }
    if (process == prBackup)
        QFile::remove(oldArchive);
    state.counters["worst_latency_ms"] = worst * 1000.0;
    state.counters["run_ms"] = wholeRun * 1000.0;
}
BENCHMARK(BM_CancelLatency)
    ->Arg(prBackup)
    ->Arg(prTransferToAccountant)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);

} // namespace
