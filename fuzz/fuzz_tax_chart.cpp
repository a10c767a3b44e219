// Loads arbitrary bytes as a client's tax-rates file, either whole or as the items behind a
// header of version "V5.3" or "V5.01" (so both item layouts are reached), with the Retry/Ignore
// box answered Ignore. The format's default codes are there to fall back on and the tax
// accounts are checked against a chart of accounts. A chart that loads keeps the 32-code and
// unique-bit rules; it is saved and loaded again and must come back with the same codes and
// bits. Only the reported failures may happen: no crash, no leak, no runaway allocation.
#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountsChart.h"
#include "core/charts/TaxRateChart.h"
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

// "Tax Rates,V5.3" / "Tax Rates,V5.01", "ABC123", no key, begin of list.
const QByteArray Header53 = QByteArray::fromHex("070E5461782052617465732C56352E330706414243313233070001");
const QByteArray Header501 = QByteArray::fromHex("070F5461782052617465732C56352E30310706414243313233070001");
// The defaults: GST, type 0, label G17, account 3100, 10 %, no dates; end of list.
const QByteArray DefaultItems = QByteArray::fromHex(
    "0603475354" "0200" "0600" "0603473137" "02FF02FF031C0C02FF" "0500000000000000A00240"
    "0500000000000000000000" "0500000000000000000000" "00");

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
        Accounts = std::make_unique<TAccountsChart>(Entity, Format, TOptionSet{}, 2006);
        Accounts->EnsureSuspenseAccount();
        FileName = Folder.filePath(QStringLiteral("M_DETAIL/ABC12306.TXR"));
        QFile defaults(Folder.filePath(QStringLiteral("M_DETAIL/") + Format->BaseName + QStringLiteral(".TXR")));
        if (!defaults.open(QIODevice::WriteOnly) || defaults.write(Header53 + DefaultItems) < 0)
            std::abort();
    }

    QTemporaryDir Folder;
    std::shared_ptr<TFuzzPrompt> Prompt;
    TChartEntity Entity;
    const TAccountFormat* Format = nullptr;
    std::unique_ptr<TAccountsChart> Accounts;
    QString FileName;
};

TFixture& Fixture() {
    static TFixture fixture;
    return fixture;
}

void CheckBits(const TTaxRateChart& chart) {
    if (chart.Count() > TTaxRateChart::MaxTaxCodes)
        std::abort();
    quint32 mask = 0;
    for (int i = 0; i < chart.Count(); ++i) {
        const int type = chart.GetTaxRate(i)->TaxType;
        if (type < 0 || type >= TTaxRateChart::MaxTaxCodes || (mask & (quint32{1} << type)) != 0)
            std::abort();
        mask |= quint32{1} << type;
    }
    if (mask != chart.TypeMask)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TFixture& fixture = Fixture();
    if (size == 0)
        return 0;
    const QByteArray rest(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    QByteArray content;
    switch (data[0] % 3) {
    case 0: content = rest; break;
    case 1: content = Header53 + rest; break;
    default: content = Header501 + rest; break;
    }
    {
        QFile file(fixture.FileName);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(content);
    }
    TOptionSet options;
    if ((data[0] & 0x10) != 0)
        options.Include(ChartOption::Silent);
    if ((data[0] & 0x20) != 0)
        options.Include(ChartOption::MergeReplace);

    TTaxRateChart chart(fixture.Entity, fixture.Accounts.get(), fixture.Format, {}, 2006);
    const int result = chart.LoadFromFile(options);
    CheckBits(chart);
    if (result != 0 || chart.IsSaveBlocked() || chart.Count() == 0)
        return 0;

    TOptionSet saveOptions;
    if (chart.SaveToFile(saveOptions) != 0)
        std::abort();
    TTaxRateChart again(fixture.Entity, fixture.Accounts.get(), fixture.Format, {}, 2006);
    if (again.LoadFromFile({ChartOption::Silent}) != 0 || again.Count() != chart.Count() || !again.Saved)
        std::abort();
    for (int i = 0; i < chart.Count(); ++i) {
        const TTaxRate* a = chart.GetTaxRate(i);
        const TTaxRate* b = again.GetTaxRate(i);
        if (a->Tax_Code != b->Tax_Code || a->TaxType != b->TaxType || a->BAS != b->BAS ||
            a->StartDate != b->StartDate || a->EndDate != b->EndDate || !(a->TaxAccount == b->TaxAccount))
            std::abort();
    }
    CheckBits(again);
    return 0;
}
