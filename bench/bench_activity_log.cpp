// The time log of a practice that has closed client files 100,000 times:
//   BM_AppendToLog       one time-log entry added, as every close of a client file does (the log
//                        grows by one entry an iteration);
//   BM_AppendToTornLog   the same over a log whose last entry a killed write cut short: the first
//                        append after such a write (the cut is made again between iterations);
//   BM_LoadLog           the whole log read, as the log reports do.
// The log's size in bytes is reported as a counter.
#include "bench/TransactionFileGenerator.h"
#include "core/dates/DateNumbers.h"
#include "core/files/Paths.h"
#include "core/io/ValueWriter.h"
#include "core/logs/LogList.h"
#include "core/logs/LogSession.h"
#include "core/services/Services.h"
#include "core/services/UserPrompt.h"
#include "core/settings/ProgramParams.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr int EntryCount = 100000;
// How many bytes of the last entry a torn log lacks.
constexpr int TornBytes = 7;

[[noreturn]] void Fail(const std::string& reason) {
    std::fprintf(stderr, "bench_activity_log: %s\n", reason.c_str());
    std::abort();
}

// Keeps the last text shown: a refused append reports it.
class TRecordingPrompt : public IUserPrompt {
public:
    void Beep(TBeep) override {}
    TMessageButton ShowMessage(TMessageKind, const QString& text, TMessageButtons, int) override {
        LastText = text;
        return TMessageButton::OK;
    }
    bool InputText(const QString&, const QString&, QString&) override { return false; }

    QString LastText;
};

// The session of the n-th close: one of fifty client files, each visit an hour, a visit every
// two hours from 1 July 2005.
TLogSession Session(int n) {
    const double start = EncodeDateNum(2005, 7, 1) + n / 12.0;
    return TLogSession{QStringLiteral("BEN%1").arg(n % 50, 3, 10, QLatin1Char('0')),
                       QStringLiteral("Benchmark client number %1 Pty Ltd").arg(n % 50),
                       QString(),
                       QString(),
                       start,
                       start + 1 / 24.0,
                       6};
}

struct TLogBench {
    TLogBench() {
        if (!Folder.isValid())
            Fail("no temporary folder");
        // The program ini, should anything save it, stays in the benchmark's folder.
        qputenv("QUILVANE_INI", QFile::encodeName(Folder.filePath(QStringLiteral("Quilvane.ini"))));
        UseBenchProgramParams(Params, Folder.path());
        TServices::SetPrompt(Prompt);
        Path = NativePath(TLogList(lkTime).FileName());
        Write();
    }

    // The log of EntryCount closes, written straight as its stored bytes.
    void Write() const {
        QFile file(Path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            Fail("log not created");
        TValueWriter writer(file, 1 << 16);
        for (int n = 0; n < EntryCount; ++n)
            TLogList::SessionEntry(Session(n)).Write(writer);
        writer.WriteListEnd();
        writer.Finish();
    }

    qint64 Size() const { return QFileInfo(Path).size(); }

    QTemporaryDir Folder;
    std::shared_ptr<TProgramParams> Params = std::make_shared<TProgramParams>();
    std::shared_ptr<TRecordingPrompt> Prompt = std::make_shared<TRecordingPrompt>();
    QString Path;
};

TLogBench& Bench() {
    static TLogBench bench;
    return bench;
}

void Append(benchmark::State& state, int n) {
    if (!TLogList(lkTime).Append(TLogList::SessionEntry(Session(n))))
        state.SkipWithError(Bench().Prompt->LastText.toStdString().c_str());
}

void BM_AppendToLog(benchmark::State& state) {
    TLogBench& bench = Bench();
    bench.Write();
    int n = EntryCount;
    for (auto _ : state)
        Append(state, n++);
    state.counters["log_bytes"] = static_cast<double>(bench.Size());
}
BENCHMARK(BM_AppendToLog)->Unit(benchmark::kMillisecond);

void BM_AppendToTornLog(benchmark::State& state) {
    TLogBench& bench = Bench();
    bench.Write();
    int n = EntryCount;
    for (auto _ : state) {
        state.PauseTiming();
        QFile file(bench.Path);
        if (!file.resize(bench.Size() - 1 - TornBytes))
            Fail("log not cut");
        state.ResumeTiming();
        Append(state, n++);
    }
    state.counters["log_bytes"] = static_cast<double>(bench.Size());
}
BENCHMARK(BM_AppendToTornLog)->Unit(benchmark::kMillisecond);

void BM_LoadLog(benchmark::State& state) {
    TLogBench& bench = Bench();
    bench.Write();
    for (auto _ : state) {
        TLogList log(lkTime);
        log.Load();
        if (log.Count() != EntryCount)
            state.SkipWithError("entries missing");
        benchmark::DoNotOptimize(log.Entries.data());
    }
    state.SetItemsProcessed(state.iterations() * EntryCount);
    state.counters["log_bytes"] = static_cast<double>(bench.Size());
}
BENCHMARK(BM_LoadLog)->Unit(benchmark::kMillisecond);

} // namespace
