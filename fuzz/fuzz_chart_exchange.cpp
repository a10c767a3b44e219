// Imports arbitrary bytes as a chart's exchange form. The first byte chooses the form (modulo 3:
// standard-description records, the bank-reconciliation record, the accounts text) and bit 2
// option 28. An import that fails must leave the charts exactly as they were; one that succeeds
// leaves them in order (keys strictly rising, one slot per bank detail, at most 35 details)
// and its chart exports again without error.
#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountsChart.h"
#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/charts/StdDescChart.h"
#include "fuzz/FuzzSupport.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

using fuzz::Check;

// Client "ABC123" of the standard format in a temporary data folder.
struct TFixture {
    TFixture() : Prompt(std::make_shared<fuzz::TFuzzPrompt>()) {
        Check(Folder.isValid() && QDir(Folder.path()).mkpath("BANK_REC"));
        SetProgramParams(fuzz::ShippedProgramParams());
        TServices::SetPrompt(Prompt);
        Entity = {"ABC123", "NSP", Folder.path(), {}, Folder.path(), "QUILVANE", {}, "AUD", 12, 6};
        Format = ProgramParams().FindAccountFormat(Entity.AccFormatID);
        Check(Format != nullptr);
    }

    // Bank accounts 2000 to 2005, ordinary accounts 1000 and 4500, a description "GR".
    std::unique_ptr<TAccountsChart> Accounts(TStdDescChart* descriptions) const {
        auto chart =
            std::make_unique<TAccountsChart>(Entity, Format, TOptionSet{}, 2006, QString(), descriptions);
        for (const qint16 number : {1000, 2000, 2001, 2002, 2003, 2004, 2005, 4500}) {
            auto account = std::make_unique<TAccountDetail>(Format);
            account->SetCode({-1, -1, number, -1});
            account->Description = QStringLiteral("Account ~GR");
            account->DeriveAccountType(number >= 2000 && number < 2006 ? QStringLiteral("BNK")
                                                                       : QStringLiteral("ACC"));
            chart->AddAccount(std::move(account));
        }
        return chart;
    }

    QTemporaryDir Folder;
    std::shared_ptr<fuzz::TFuzzPrompt> Prompt;
    TChartEntity Entity;
    const TAccountFormat* Format = nullptr;
};

QString Snapshot(const TAccountsChart& accounts) {
    QString text = accounts.Saved ? QStringLiteral("saved;") : QStringLiteral("unsaved;");
    for (int i = 0; i < accounts.Count(); ++i) {
        const TAccountDetail* account = accounts.GetAccount(i);
        text += accounts.GetCode(i) + '=' + account->Description + ':' + account->AccountType + ':' +
                account->GetBankCurrency() + ';';
    }
    return text;
}

QString Snapshot(const TStdDescChart& chart) {
    QString text = chart.Saved ? QStringLiteral("saved;") : QStringLiteral("unsaved;");
    for (int i = 0; i < chart.Count(); ++i)
        text += chart.GetCode(i) + '=' + chart.GetStdDescription(i)->Description + ';';
    return text;
}

QString Snapshot(const TBankRecOpeningDetailChart& chart) {
    QString text = chart.Saved ? QStringLiteral("saved;") : QStringLiteral("unsaved;");
    for (int i = 0; i < chart.Count(); ++i) {
        const TBRecOpeningDetail* detail = chart.GetDetail(i);
        text += chart.GetCode(i) + QStringLiteral("=%1/%2/%3/%4/%5/%6;")
                                       .arg(detail->Open_Bal_Date)
                                       .arg(detail->PeriodEnd)
                                       .arg(detail->Statement_Open_Bal)
                                       .arg(detail->Cashbook_Open_Bal)
                                       .arg(detail->SixthValue)
                                       .arg(detail->Slot);
    }
    return text;
}

void CheckOrder(const TMasterChart& chart) {
    for (int i = 0; i < chart.Count(); ++i) {
        Check(i == 0 || chart.GetItems().Compare(chart.GetCode(i - 1), chart.GetCode(i)) < 0);
        Check(chart.IndexOf(chart.GetCode(i)) == i);
    }
}

void CheckSlots(const TBankRecOpeningDetailChart& chart) {
    Check(chart.Count() <= TBankRecOpeningDetailChart::MaxDetails);
    quint64 used = 0;
    for (int i = 0; i < chart.Count(); ++i) {
        const TBRecOpeningDetail* detail = chart.GetDetail(i);
        Check(detail->Slot >= 0 && detail->Slot < TBRecOpeningDetail::SlotCount &&
              (used >> detail->Slot & 1) == 0);
        used |= quint64{1} << detail->Slot;
        const TAccountDetail* account = chart.GetBankAccount(i);
        Check(account != nullptr && account->AccountType == QStringLiteral("BNK"));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static TFixture fixture;
    if (size == 0)
        return 0;
    const std::uint8_t choice = data[0];
    const QString input = fixture.Folder.filePath("INPUT");
    const QString output = fixture.Folder.filePath("OUTPUT");
    Check(fuzz::WriteInputFile(input, fuzz::InputBytes(data + 1, size - 1)));
    TOptionSet options;
    if ((choice & 0x04) != 0)
        options.Include(Option::MergeReplace);

    TStdDescChart descriptions(fixture.Entity, TOptionSet{}, 2006);
    descriptions.AddDescription(QStringLiteral("GR"), QStringLiteral("Groceries"));
    auto accounts = fixture.Accounts(&descriptions);
    const QString accountsBefore = Snapshot(*accounts);

    switch (choice % 3) {
    case 0: {
        const QString before = Snapshot(descriptions);
        const int result = descriptions.ImportItems(input, options);
        Check(result == 0 || (result == -1 && Snapshot(descriptions) == before));
        CheckOrder(descriptions);
        Check(descriptions.ExportItems(output) == 0);
        break;
    }
    case 1: {
        TBankRecOpeningDetailChart chart(fixture.Entity, accounts.get(), nullptr, TOptionSet{Option::Load},
                                         2006);
        const QString before = Snapshot(chart);
        const int result = chart.ImportItems(input, options);
        Check(result == 0 ||
              (result == -1 && Snapshot(chart) == before && Snapshot(*accounts) == accountsBefore));
        CheckOrder(chart);
        CheckSlots(chart);
        int leftOut = 0;
        Check(chart.ExportItems(output, nullptr, leftOut) == 0 && leftOut == 0);
        break;
    }
    default: {
        const int result = accounts->ImportItems(input, options);
        Check(result == 0 || (result == -1 && Snapshot(*accounts) == accountsBefore));
        CheckOrder(*accounts);
        Check(accounts->ExportItems(output) == 0);
        break;
    }
    }
    return 0;
}
