// Opening, reading every key of, and saving an ini file of 100,000 keys in one section (a client
// record grown by extra keys): each key is found through the section's index, so the work grows
// with the size of the file, not with its square.
#include "core/io/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr int KeyCount = 100000;

struct TBenchFile {
    TBenchFile() : Path(Folder.filePath(QStringLiteral("BEN001.CFG"))) {
        QByteArray bytes = "[CONFIGURATION]\r\nLocked=0\r\nLockedBy=\r\n[EXTRA]\r\n";
        for (int i = 0; i < KeyCount; ++i)
            bytes += "Key" + QByteArray::number(i) + "=Value number " + QByteArray::number(i * 7) + "\r\n";
        QFile file(Path);
        if (!Folder.isValid() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            std::abort();
    }
    QTemporaryDir Folder;
    QString Path;
};

TBenchFile& File() {
    static TBenchFile file;
    return file;
}

// Reads every key of the section by name, as a loader does.
qsizetype ReadEveryKey(const TIniFile& ini) {
    qsizetype length = 0;
    for (const QString& key : ini.ReadSection(QStringLiteral("EXTRA")))
        length += ini.ReadString(QStringLiteral("extra"), key, QString()).size();
    return length;
}

void BM_OpenIniFile(benchmark::State& state) {
    for (auto _ : state) {
        TIniFile ini(File().Path);
        benchmark::DoNotOptimize(ini.SectionExists(QStringLiteral("EXTRA")));
    }
    state.SetItemsProcessed(state.iterations() * KeyCount);
}
BENCHMARK(BM_OpenIniFile)->Unit(benchmark::kMillisecond);

void BM_ReadEveryKey(benchmark::State& state) {
    const TIniFile ini(File().Path);
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadEveryKey(ini));
    state.SetItemsProcessed(state.iterations() * KeyCount);
}
BENCHMARK(BM_ReadEveryKey)->Unit(benchmark::kMillisecond);

void BM_OpenReadEveryKeyAndSave(benchmark::State& state) {
    for (auto _ : state) {
        TIniFile ini(File().Path);
        if (ReadEveryKey(ini) == 0)
            state.SkipWithError("no keys read");
        ini.WriteString(QStringLiteral("CONFIGURATION"), QStringLiteral("Locked"), QStringLiteral("1"));
        ini.WriteString(QStringLiteral("EXTRA"), QStringLiteral("Key99999"), QStringLiteral("Changed"));
        ini.UpdateFile();
    }
    state.SetItemsProcessed(state.iterations() * KeyCount);
}
BENCHMARK(BM_OpenReadEveryKeyAndSave)->Unit(benchmark::kMillisecond);

} // namespace
