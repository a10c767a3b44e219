// Loads arbitrary bytes as a client's bank-reconciliation opening file over the bank accounts of
// a chart of accounts, with the Retry/Ignore box answered Ignore. Whatever the file holds, every
// detail belongs to a bank account and has a slot of its own (0-34) naming its files. A chart
// that loads is saved and loaded again and must come back with the same details and slots.
// Only the reported failures may happen: no crash, no leak, no runaway allocation.
#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountsChart.h"
#include "core/charts/BankRecOpeningDetailChart.h"
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
        if (!Folder.isValid() || !QDir(Folder.path()).mkpath(QStringLiteral("BANK_REC")))
            std::abort();
        auto params = std::make_shared<TProgramParams>();
        params->TReferenceData::Load(TProgramParams::ShippedReferenceDataPath());
        SetProgramParams(params);
        TServices::SetPrompt(Prompt);
        Entity.FileCode = QStringLiteral("ABC123");
        Entity.DataDir = Folder.path();
        Entity.ProgramDataDir = Folder.path();
        Entity.AccFormatID = QStringLiteral("QUILVANE");
        Format = ProgramParams().FindAccountFormat(Entity.AccFormatID);
        if (!Format)
            std::abort();
        Accounts = std::make_unique<TAccountsChart>(Entity, Format, TOptionSet{}, 2006);
        // Bank accounts 2000 to 2005 (stored parts: branch and division absent, 0x07D0 on).
        for (int number = 2000; number < 2006; ++number) {
            auto account = std::make_unique<TAccountDetail>(Format);
            TAccountCode code;
            code.Account = static_cast<qint16>(number);
            account->SetCode(code);
            account->DeriveAccountType(QStringLiteral("BNK"));
            Accounts->AddAccount(std::move(account));
        }
        FileName = Folder.filePath(QStringLiteral("BANK_REC/ABC12306.BOB"));
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

void CheckSlots(const TBankRecOpeningDetailChart& chart) {
    if (chart.Count() > TBankRecOpeningDetailChart::MaxDetails)
        std::abort();
    quint64 used = 0;
    for (int i = 0; i < chart.Count(); ++i) {
        const TBRecOpeningDetail* detail = chart.GetDetail(i);
        if (detail->Slot < 0 || detail->Slot >= TBRecOpeningDetail::SlotCount || (used >> detail->Slot & 1) != 0)
            std::abort();
        used |= quint64{1} << detail->Slot;
        if (chart.AccountsChart()->IndexOfCode(detail->BankAccount) < 0 || detail->UnmatchedFile.isEmpty())
            std::abort();
    }
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

    TBankRecOpeningDetailChart chart(fixture.Entity, fixture.Accounts.get(), fixture.Format, {}, 2006);
    const int result = chart.LoadFromFile(options);
    CheckSlots(chart);
    if (result != 0 || chart.IsSaveBlocked())
        return 0;

    TOptionSet saveOptions;
    if (chart.SaveToFile(saveOptions) != 0)
        std::abort();
    TBankRecOpeningDetailChart again(fixture.Entity, fixture.Accounts.get(), fixture.Format, {}, 2006);
    if (again.LoadFromFile({ChartOption::Silent}) != 0 || again.Count() != chart.Count())
        std::abort();
    for (int i = 0; i < chart.Count(); ++i) {
        const TBRecOpeningDetail* a = chart.GetDetail(i);
        const TBRecOpeningDetail* b = again.GetDetail(i);
        if (!(a->BankAccount == b->BankAccount) || a->Slot != b->Slot || a->Completed != b->Completed ||
            a->Cashbook_Open_Bal != b->Cashbook_Open_Bal || a->Reconciled_To != b->Reconciled_To ||
            a->UnmatchedFile != b->UnmatchedFile)
            std::abort();
    }
    CheckSlots(again);
    return 0;
}
