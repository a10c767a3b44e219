#pragma once

// What the fuzz targets share: a prompter that answers every box without a display, the
// program settings read from the shipped reference data, a client's chart fixture in a
// temporary folder, the input written to disk, and the save-and-load-again check of a chart.

#include "core/accounts/AccountFormat.h"
#include "core/charts/MasterChart.h"
#include "core/services/Services.h"
#include "core/services/UserPrompt.h"
#include "core/settings/ProgramParams.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace fuzz {

// Answers every box at once: Cancel where offered when PreferCancel, then Ignore where offered
// when PreferIgnore (so a failed load never retries), else Otherwise.
class TFuzzPrompt : public IUserPrompt {
public:
    void Beep(TBeep) override {}
    TMessageButton ShowMessage(TMessageKind, const QString&, TMessageButtons buttons, int) override {
        if (PreferCancel && buttons.testFlag(TMessageButton::Cancel))
            return TMessageButton::Cancel;
        if (PreferIgnore && buttons.testFlag(TMessageButton::Ignore))
            return TMessageButton::Ignore;
        return Otherwise;
    }
    bool InputText(const QString&, const QString&, QString&) override { return false; }

    bool PreferCancel = false;
    bool PreferIgnore = true;
    TMessageButton Otherwise = TMessageButton::OK;
};

// Stops the run where a rule does not hold.
inline void Check(bool condition) {
    if (!condition)
        __builtin_trap();
}

inline QByteArray InputBytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Replaces the file with the bytes given; false if it could not be written whole.
inline bool WriteInputFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Program settings holding the shipped reference data (not yet installed).
inline std::shared_ptr<TProgramParams> ShippedProgramParams() {
    auto params = std::make_shared<TProgramParams>();
    params->TReferenceData::Load(TProgramParams::ShippedReferenceDataPath());
    return params;
}

// Client "ABC123" of the standard account format, its data and program folders a temporary
// folder holding the chart's folder; the shipped program settings and a TFuzzPrompt installed.
struct TChartFixture {
    TChartFixture(const QString& chartFolder, const QString& chartFile)
        : Prompt(std::make_shared<TFuzzPrompt>()) {
        if (!Folder.isValid() || !QDir(Folder.path()).mkpath(chartFolder))
            std::abort();
        SetProgramParams(ShippedProgramParams());
        TServices::SetPrompt(Prompt);
        Entity.FileCode = QStringLiteral("ABC123");
        Entity.DataDir = Folder.path();
        Entity.ProgramDataDir = Folder.path();
        Entity.AccFormatID = QStringLiteral("QUILVANE");
        Format = ProgramParams().FindAccountFormat(Entity.AccFormatID);
        if (!Format)
            std::abort();
        FileName = Folder.filePath(chartFolder + QLatin1Char('/') + chartFile);
    }

    // Puts the input where the chart looks for its file.
    void WriteInput(const QByteArray& bytes) const {
        if (!WriteInputFile(FileName, bytes))
            std::abort();
    }

    QTemporaryDir Folder;
    std::shared_ptr<TFuzzPrompt> Prompt;
    TChartEntity Entity;
    const TAccountFormat* Format = nullptr;
    QString FileName;
};

// One fixture of the kind given for the whole run.
template <class TFixture> TFixture& SharedFixture() {
    static TFixture fixture;
    return fixture;
}

// Saves a chart that loaded, loads the saved file again into the chart makeAgain() gives and
// checks that it comes back with as many items, each the same by sameItem(chart, again, i).
// Returns the chart loaded again for the caller's own checks.
template <class TChart, class TMake, class TSame>
auto SaveAndLoadAgain(TChart& chart, TMake makeAgain, TSame sameItem) {
    TOptionSet saveOptions;
    if (chart.SaveToFile(saveOptions) != 0)
        std::abort();
    auto again = makeAgain();
    if (again->LoadFromFile({Option::Silent}) != 0 || again->Count() != chart.Count())
        std::abort();
    for (int i = 0; i < chart.Count(); ++i)
        if (!sameItem(chart, *again, i))
            std::abort();
    return again;
}

} // namespace fuzz
