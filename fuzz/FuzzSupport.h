#pragma once

// What the fuzz targets share: a prompter that answers every box without a display, the
// program settings read from the shipped reference data, the input written to disk and read
// back, and the client and chart of accounts the chart targets work on.

#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountsChart.h"
#include "core/charts/ChartEntity.h"
#include "core/services/Services.h"
#include "core/services/UserPrompt.h"
#include "core/settings/ProgramParams.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
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

// Installs a prompter (PreferIgnore as asked) and gives it back for further settings.
inline std::shared_ptr<TFuzzPrompt> InstallPrompt(bool preferIgnore = true) {
    auto prompt = std::make_shared<TFuzzPrompt>();
    prompt->PreferIgnore = preferIgnore;
    TServices::SetPrompt(prompt);
    return prompt;
}

// The application object that Qt's file and text classes need, made once for the run from the
// fuzzer's arguments.
inline void StartApplication(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
}

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

// The file's bytes; empty if it cannot be read.
inline QByteArray ReadFileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Program settings holding the shipped reference data (not yet installed).
inline std::shared_ptr<TProgramParams> ShippedProgramParams() {
    auto params = std::make_shared<TProgramParams>();
    params->TReferenceData::Load(TProgramParams::ShippedReferenceDataPath());
    return params;
}

// Client "ABC123" of the standard format in the folder, the shipped reference data installed.
inline TChartEntity ChartClient(const QString& folder) {
    SetProgramParams(ShippedProgramParams());
    return {"ABC123", "NSP", folder, {}, folder, "QUILVANE", {}, "AUD", 12, 6};
}

// Adds the accounts numbered (no other code parts), bank accounts from 2000 to 2005.
inline void AddAccounts(TAccountsChart& chart, const TAccountFormat* format,
                        std::initializer_list<qint16> numbers) {
    for (const qint16 number : numbers) {
        auto account = std::make_unique<TAccountDetail>(format);
        account->SetCode({-1, -1, number, -1});
        account->Description = QStringLiteral("Account ~GR");
        account->DeriveAccountType(number >= 2000 && number < 2006 ? "BNK" : "ACC");
        chart.AddAccount(std::move(account));
    }
}

// The chart's keys rise strictly, and each is found where it stands.
inline void CheckKeyOrder(const TMasterChart& chart) {
    for (int i = 0; i < chart.Count(); ++i) {
        Check(i == 0 || chart.GetItems().Compare(chart.GetCode(i - 1), chart.GetCode(i)) < 0);
        Check(chart.IndexOf(chart.GetCode(i)) == i);
    }
}

} // namespace fuzz
