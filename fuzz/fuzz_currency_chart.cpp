// Loads arbitrary bytes as a client's currency-rates file over the program's currency list,
// with the Retry/Ignore box answered Ignore. A chart that loads is saved and loaded again and
// must come back with the same currencies, symbols and rates. Only the reported failures may
// happen: no crash, no leak, no runaway allocation.
#include "core/charts/CurrConvRatesChart.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

class TFuzzPrompt : public IUserPrompt {
public:
    void Beep(TBeep) override {}
    TMessageButton ShowMessage(TMessageKind, const QString&, TMessageButtons buttons, int) override {
        return buttons.testFlag(TMessageButton::Ignore) ? TMessageButton::Ignore : TMessageButton::OK;
    }
    bool InputText(const QString&, const QString&, QString&) override { return false; }
};

struct TFixture {
    TFixture() : Prompt(std::make_shared<TFuzzPrompt>()) {
        if (!Folder.isValid() || !QDir(Folder.path()).mkpath(QStringLiteral("M_DETAIL")))
            std::abort();
        auto params = std::make_shared<TProgramParams>();
        params->TReferenceData::Load(TProgramParams::ShippedReferenceDataPath());
        SetProgramParams(params);
        TServices::SetPrompt(Prompt);
        Entity.FileCode = QStringLiteral("ABC123");
        Entity.DataDir = Folder.path();
        Entity.ProgramDataDir = Folder.path();
        Entity.AccFormatID = QStringLiteral("QUILVANE");
        FileName = Folder.filePath(QStringLiteral("M_DETAIL/ABC12306.CCR"));
    }

    QTemporaryDir Folder;
    std::shared_ptr<TFuzzPrompt> Prompt;
    TChartEntity Entity;
    QString FileName;
};

TFixture& Fixture() {
    static TFixture fixture;
    return fixture;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TFixture& fixture = Fixture();
    {
        QFile file(fixture.FileName);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    TOptionSet options;
    if (size > 0 && (data[0] & 1) != 0)
        options.Include(ChartOption::Silent);

    TCurrConvRatesChart chart(fixture.Entity, {}, 2006);
    const int result = chart.LoadFromFile(options);
    if (chart.Count() < ProgramParams().Currencies.Count())
        std::abort(); // the listed currencies are always there
    if (result != 0 || chart.IsSaveBlocked())
        return 0;

    TOptionSet saveOptions;
    if (chart.SaveToFile(saveOptions) != 0)
        std::abort();
    TCurrConvRatesChart again(fixture.Entity, {}, 2006);
    if (again.LoadFromFile({ChartOption::Silent}) != 0 || again.Count() != chart.Count())
        std::abort();
    for (int i = 0; i < chart.Count(); ++i) {
        const TCurrencyConvRate* a = chart.GetConvRate(i);
        const TCurrencyConvRate* b = again.GetConvRate(i);
        if (a->Currency_Code != b->Currency_Code || a->Currency_Description != b->Currency_Description ||
            a->Currency_Symbol != b->Currency_Symbol || a->Currency_Rate != b->Currency_Rate)
            std::abort();
    }
    return 0;
}
