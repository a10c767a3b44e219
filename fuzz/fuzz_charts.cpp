// Loads arbitrary bytes as one of a client's chart files. The first byte chooses the chart
// (its value modulo 5: accounts, bank-reconciliation openings, currency rates, standard
// descriptions, tax rates) and how it is loaded: bit 3 silent, bit 4 merging over what is held
// (option 28), bit 5 answers OK to the question about another account format, bits 6-7 put a
// tax-rates header of version "V5.3" (1) or "V5.01" (2) before the rest. Whatever the file
// holds, the chart keeps its rules (keys in strict order and found again, one bit per tax code,
// one slot per bank account); a chart that loads is saved and loaded again and must come back
// the same. Only the reported failures may happen: no crash, no leak, no runaway allocation.
#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountsChart.h"
#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/charts/CurrConvRatesChart.h"
#include "core/charts/StdDescChart.h"
#include "core/charts/TaxRateChart.h"
#include "fuzz/FuzzSupport.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

using fuzz::Check;

// "Tax Rates,V5.3" / "Tax Rates,V5.01", "ABC123", no key, begin of list.
const QByteArray Header53 = QByteArray::fromHex("070E5461782052617465732C56352E330706414243313233070001");
const QByteArray Header501 = QByteArray::fromHex("070F5461782052617465732C56352E30310706414243313233070001");
// The format's default tax code: GST, type 0, label G17, account 3100, 10 %, no dates.
const QByteArray DefaultTaxItems = QByteArray::fromHex("0603475354 0200 0600 0603473137 02FF02FF031C0C02FF"
                                                       "0500000000000000A00240 0500000000000000000000"
                                                       "0500000000000000000000 00");

// Client "ABC123" of the standard format in a temporary data folder; a chart of accounts with
// bank accounts 2000 to 2005 and a suspense account; the format's default tax codes.
struct TFixture {
    TFixture() : Prompt(std::make_shared<fuzz::TFuzzPrompt>()) {
        Check(Folder.isValid() && QDir(Folder.path()).mkpath("M_DETAIL") &&
              QDir(Folder.path()).mkpath("BANK_REC"));
        SetProgramParams(fuzz::ShippedProgramParams());
        TServices::SetPrompt(Prompt);
        Entity = {"ABC123", "NSP", Folder.path(), {}, Folder.path(), "QUILVANE", {}, "AUD", 12, 6};
        Format = ProgramParams().FindAccountFormat(Entity.AccFormatID);
        Check(Format != nullptr);
        Accounts = std::make_unique<TAccountsChart>(Entity, Format, TOptionSet{}, 2006);
        for (qint16 number = 2000; number < 2006; ++number) {
            auto account = std::make_unique<TAccountDetail>(Format);
            account->SetCode({-1, -1, number, -1});
            account->DeriveAccountType(QStringLiteral("BNK"));
            Accounts->AddAccount(std::move(account));
        }
        Accounts->EnsureSuspenseAccount();
        Check(fuzz::WriteInputFile(Folder.filePath("M_DETAIL/" + Format->BaseName + ".TXR"),
                                   Header53 + DefaultTaxItems));
    }

    QTemporaryDir Folder;
    std::shared_ptr<fuzz::TFuzzPrompt> Prompt;
    TChartEntity Entity;
    const TAccountFormat* Format = nullptr;
    std::unique_ptr<TAccountsChart> Accounts;
};

// Keys in strict order, each found again.
void CheckKeys(const TMasterChart& chart) {
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
        Check(chart.AccountsChart()->IndexOfCode(detail->BankAccount) >= 0 &&
              !detail->UnmatchedFile.isEmpty());
    }
}

void CheckBits(const TTaxRateChart& chart) {
    Check(chart.Count() <= TTaxRateChart::MaxTaxCodes);
    quint32 mask = 0;
    for (int i = 0; i < chart.Count(); ++i) {
        const int type = chart.GetTaxRate(i)->TaxType;
        Check(type >= 0 && type < TTaxRateChart::MaxTaxCodes && (mask & (quint32{1} << type)) == 0);
        mask |= quint32{1} << type;
    }
    Check(mask == chart.TypeMask);
}

// Loads the chart that make() gives from the input; when it loads cleanly, checks it, saves it
// and loads it again.
template <class TMake, class TCheck, class TSame>
void Run(const TOptionSet& options, TMake make, TCheck check, TSame same) {
    auto chart = make();
    const int result = chart->LoadFromFile(options);
    CheckKeys(*chart);
    check(*chart);
    if (result != 0 || chart->IsSaveBlocked())
        return;
    check(*fuzz::SaveAndLoadAgain(*chart, make, same));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static TFixture fixture;
    if (size == 0)
        return 0;
    const std::uint8_t choice = data[0];
    const QByteArray rest = fuzz::InputBytes(data + 1, size - 1);
    TOptionSet options;
    if ((choice & 0x08) != 0)
        options.Include(Option::Silent);
    if ((choice & 0x10) != 0)
        options.Include(Option::MergeReplace);
    fixture.Prompt->Otherwise = (choice & 0x20) != 0 ? TMessageButton::OK : TMessageButton::Cancel;
    const TChartEntity& entity = fixture.Entity;
    const TAccountFormat* format = fixture.Format;
    TAccountsChart* accounts = fixture.Accounts.get();
    const auto write = [&](const char* name, const QByteArray& bytes) {
        Check(fuzz::WriteInputFile(fixture.Folder.filePath(QString::fromLatin1(name)), bytes));
    };
    const auto none = [](const auto&) {};

    switch (choice % 5) {
    case 0:
        write("M_DETAIL/ABC12306.ADF", rest);
        Run(
            options, [&] { return std::make_unique<TAccountsChart>(entity, format, TOptionSet{}, 2006); },
            none, [](const auto& a, const auto& b, int i) { return a.GetCode(i) == b.GetCode(i); });
        break;
    case 1:
        write("BANK_REC/ABC12306.BOB", rest);
        Run(
            options,
            [&] {
                return std::make_unique<TBankRecOpeningDetailChart>(entity, accounts, format, TOptionSet{},
                                                                    2006);
            },
            CheckSlots,
            [](const auto& first, const auto& second, int i) {
                const TBRecOpeningDetail* a = first.GetDetail(i);
                const TBRecOpeningDetail* b = second.GetDetail(i);
                return a->BankAccount == b->BankAccount && a->Slot == b->Slot &&
                       a->Completed == b->Completed && a->Cashbook_Open_Bal == b->Cashbook_Open_Bal &&
                       a->Reconciled_To == b->Reconciled_To && a->UnmatchedFile == b->UnmatchedFile;
            });
        break;
    case 2:
        write("M_DETAIL/ABC12306.CCR", rest);
        Run(
            options, [&] { return std::make_unique<TCurrConvRatesChart>(entity, TOptionSet{}, 2006); },
            [](const TCurrConvRatesChart& chart) {
                Check(chart.Count() >= ProgramParams().Currencies.Count());
            },
            [](const auto& first, const auto& second, int i) {
                const TCurrencyConvRate* a = first.GetConvRate(i);
                const TCurrencyConvRate* b = second.GetConvRate(i);
                return a->Currency_Code == b->Currency_Code &&
                       a->Currency_Description == b->Currency_Description &&
                       a->Currency_Symbol == b->Currency_Symbol && a->Currency_Rate == b->Currency_Rate;
            });
        break;
    case 3:
        write("M_DETAIL/ABC12306.STD", rest);
        Run(
            options, [&] { return std::make_unique<TStdDescChart>(entity, TOptionSet{}, 2006); },
            [](const TStdDescChart& chart) {
                for (int i = 0; i < chart.Count(); ++i)
                    chart.ExpandAbbreviations(chart.GetStdDescription(i)->Description);
            },
            [](const auto& first, const auto& second, int i) {
                return first.GetCode(i) == second.GetCode(i) &&
                       first.GetStdDescription(i)->Description == second.GetStdDescription(i)->Description;
            });
        break;
    default:
        write("M_DETAIL/ABC12306.TXR", (choice >> 6) == 1   ? Header53 + rest
                                       : (choice >> 6) == 2 ? Header501 + rest
                                                            : rest);
        Run(
            options,
            [&] { return std::make_unique<TTaxRateChart>(entity, accounts, format, TOptionSet{}, 2006); },
            CheckBits,
            [](const auto& first, const auto& second, int i) {
                const TTaxRate* a = first.GetTaxRate(i);
                const TTaxRate* b = second.GetTaxRate(i);
                return a->Tax_Code == b->Tax_Code && a->TaxType == b->TaxType && a->BAS == b->BAS &&
                       a->StartDate == b->StartDate && a->EndDate == b->EndDate &&
                       a->TaxAccount == b->TaxAccount && second.Saved;
            });
        break;
    }
    return 0;
}
