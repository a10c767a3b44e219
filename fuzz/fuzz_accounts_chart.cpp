// Loads arbitrary bytes as a client's accounts chart file (both answers to the question about a
// chart of another account format, silent and with the Retry/Ignore box answered Ignore). A
// chart that loads is saved and loaded again and must come back with the same accounts. Only
// the reported failures may happen: no crash, no leak, no runaway allocation.
#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountsChart.h"
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

// Answers every box without a display: Ignore where offered (so a failed load never retries),
// else OK or Cancel as the input's first byte says.
class TFuzzPrompt : public IUserPrompt {
public:
    void Beep(TBeep) override {}
    TMessageButton ShowMessage(TMessageKind, const QString&, TMessageButtons buttons, int) override {
        if (buttons.testFlag(TMessageButton::Ignore))
            return TMessageButton::Ignore;
        return AcceptForeign ? TMessageButton::OK : TMessageButton::Cancel;
    }
    bool InputText(const QString&, const QString&, QString&) override { return false; }

    bool AcceptForeign = true;
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
        Entity.EntityType = QStringLiteral("NSP");
        Entity.DataDir = Folder.path();
        Entity.ProgramDataDir = Folder.path();
        Entity.AccFormatID = QStringLiteral("QUILVANE");
        Format = ProgramParams().FindAccountFormat(Entity.AccFormatID);
        if (!Format)
            std::abort();
        FileName = Folder.filePath(QStringLiteral("M_DETAIL/ABC12306.ADF"));
    }

    QTemporaryDir Folder;
    std::shared_ptr<TFuzzPrompt> Prompt;
    TChartEntity Entity;
    const TAccountFormat* Format = nullptr;
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
    fixture.Prompt->AcceptForeign = size > 0 && (data[0] & 1) != 0;
    TOptionSet options{ChartOption::Silent};
    if (size > 1 && (data[1] & 1) != 0)
        options = TOptionSet{ChartOption::MergeReplace};

    TAccountsChart chart(fixture.Entity, fixture.Format, {}, 2006);
    const int result = chart.LoadFromFile(options);
    if (result != 0 || chart.IsSaveBlocked())
        return 0;

    TOptionSet saveOptions;
    if (chart.SaveToFile(saveOptions) != 0)
        std::abort();
    TAccountsChart again(fixture.Entity, fixture.Format, {}, 2006);
    if (again.LoadFromFile({ChartOption::Silent}) != 0 || again.Count() != chart.Count())
        std::abort();
    for (int i = 0; i < chart.Count(); ++i)
        if (again.GetCode(i) != chart.GetCode(i))
            std::abort();
    return 0;
}
