#include "core/charts/BankRecOpeningDetailChart.h"

#include "core/charts/AccountsChart.h"
#include "core/charts/CurrConvRatesChart.h"
#include "core/io/StreamError.h"
#include "tests/core/ChartTestSupport.h"

namespace {

// The two charts that start from a list and take what their file holds over it: the bank
// accounts of the chart of accounts, and the program's currency list.
const QString BobFile = QStringLiteral("BANK_REC/ABC12306.BOB");
const QString CcrFile = QStringLiteral("M_DETAIL/ABC12306.CCR");

QByteArray BobChart(const QStringList& items) {
    return StoredChart("bankrec", "header", items);
}
QByteArray RatesFile(const QStringList& items) {
    return StoredChart("currency", "header", items);
}

using CurrConvRatesChartTest = TChartTest;

class BankRecOpeningDetailChartTest : public TChartTest {
protected:
    void SetUp() override {
        TChartTest::SetUp();
        Accounts = AccountsOf({"1000:ACC", "2000:BNK", "2001:BNK::USD", "4500:ACC"});
    }
    std::unique_ptr<TBankRecOpeningDetailChart> Chart(const TOptionSet& options = {Option::Load}) {
        return std::make_unique<TBankRecOpeningDetailChart>(Entity, Accounts.get(), nullptr, options, 2006);
    }

    std::unique_ptr<TAccountsChart> Accounts;
};

} // namespace

TEST_F(BankRecOpeningDetailChartTest, EveryBankAccountGetsAFreshDetailAndASlot) {
    auto chart = Chart();
    EXPECT_EQ(Keys(*chart), "2000,2001");
    const TBRecOpeningDetail* first = chart->GetDetail(0);
    EXPECT_EQ(first->Open_Bal_Date, 732128.0); // 1 July 2005
    EXPECT_EQ(first->PeriodEnd, 732158.0);     // 31 July 2005
    EXPECT_EQ(first->UnmatchedFile + first->MatchedFile,
              Temp.path() + "\\BANK_REC\\ABC12306.RU0" + Temp.path() + "\\BANK_REC\\ABC12306.RM0");
    EXPECT_EQ(chart->GetDetail(1)->Currency + QString::number(chart->GetDetail(1)->Slot), "USD1");
    QString text;
    chart->GetCodeWithCurrency(1, text);
    EXPECT_EQ(text, "2001 (USD)");
    EXPECT_TRUE(chart->Saved);
    Entity.EndMonth = 12; // a calendar year opens on 1 January
    EXPECT_EQ(Chart()->GetDetail(0)->Open_Bal_Date, 732312.0);
    for (int number = 2002; number < 2036; ++number)
        Accounts->AddAccount(Account(QStringLiteral("%1:BNK").arg(number)));
    chart = Chart();
    EXPECT_EQ(chart->Count(), 35); // the 36th bank account gets no detail
    for (const auto& [slot, name] : {std::pair<int, const char*>{9, ".RU9"}, {10, ".RUA"}, {34, ".RUY"}})
        EXPECT_TRUE(chart->GetDetail(slot)->UnmatchedFile.endsWith(name)) << name;
}

TEST_F(BankRecOpeningDetailChartTest, StoredDetailsUpdateTheBankAccountsTheyBelongTo) {
    // 2001 stored in slot 5; 4500 is no longer a bank account.
    Write(BobFile, BobChart({"2001-slot-5", "4500-slot-0"}));
    auto chart = Chart();
    EXPECT_EQ(Keys(*chart), "2000,2001");
    const TBRecOpeningDetail* stored = chart->GetDetail(1);
    EXPECT_EQ(stored->Slot, 5);
    EXPECT_EQ(stored->Cashbook_Open_Bal * 1000 + stored->Statement_Open_Bal, 1600.0);
    EXPECT_EQ(stored->Currency, "USD"); // from the account, never stored
    EXPECT_TRUE(stored->UnmatchedFile.endsWith("\\BANK_REC\\ABC12306.RU5"));
    EXPECT_EQ(chart->GetDetail(0)->Slot, 0); // the new one takes the lowest free slot
    EXPECT_TRUE(chart->Saved);
    TOptionSet options;
    ASSERT_EQ(chart->SaveToFile(options), 0);
    EXPECT_EQ(Read(BobFile).toHex(), BobChart({"2000-fresh", "2001-slot-5"}).toHex());
    // Two stored details in one slot are parted; an old code goes through the translation list.
    Write(BobFile, BobChart({"2000-slot-3", "2001-slot-3"}));
    chart = Chart();
    EXPECT_EQ(chart->GetDetail(0)->Slot, 3);
    EXPECT_TRUE(chart->GetDetail(1)->UnmatchedFile.endsWith(".RU0"));
    Write(BobFile, BobChart({"2999-slot-7"}));
    chart = Chart({});
    chart->CodeTranslation.insert("2999", "2001");
    ASSERT_EQ(chart->LoadFromFile({}), 0);
    EXPECT_EQ(chart->GetDetail(1)->Slot, 7);
}

TEST_F(BankRecOpeningDetailChartTest, CompletionCheckAndReset) {
    auto chart = Chart();
    Prompt->Answer(TMessageButton::OK);
    EXPECT_FALSE(chart->CheckCompleted(0));
    EXPECT_EQ(Prompt->Texts(), QStringList{"Reconciliation not completed for account 2000"});
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Warning});
    TBRecOpeningDetail* detail = chart->GetDetail(0);
    detail->SetCompleted(true);
    EXPECT_EQ(detail->Reconciled_To, 732158.0);
    EXPECT_TRUE(chart->CheckCompleted(0));
    EXPECT_FALSE(chart->CheckCompleted(5));
    EXPECT_EQ(Prompt->Shown.size(), 1);
    detail->SetCompleted(false);
    EXPECT_EQ(detail->Reconciled_To, -1.0);
    TAccountDetail* account = chart->GetBankAccount(0);
    account->BankDetails->Flag2 = detail->Flag2 = detail->Completed = true;
    chart->ResetDetail(0);
    EXPECT_FALSE(detail->Completed || detail->Flag2 || account->BankDetails->Flag2);
    EXPECT_EQ(detail->Slot, TBRecOpeningDetail::NoSlot);
    EXPECT_TRUE(detail->UnmatchedFile.isEmpty() && detail->MatchedFile.isEmpty());
    EXPECT_FALSE(chart->Saved);
    // A damaged file leaves the fresh details, and is protected from an automatic save.
    const QByteArray damaged = BobChart({"2000-slot-3"}).left(60);
    Write(BobFile, damaged);
    Prompt->Answer(TMessageButton::Ignore);
    EXPECT_EQ(chart->LoadFromFile({}), -1);
    EXPECT_EQ(Prompt->Shown.size(), 2);
    EXPECT_EQ(chart->Count(), 2);
    chart->Saved = false;
    TOptionSet options;
    EXPECT_EQ(chart->SaveIfModified(options), ChartResult::Refused);
    EXPECT_EQ(Read(BobFile), damaged);
}

TEST_F(BankRecOpeningDetailChartTest, StoredDetailKeepsItsFieldsAndDropsTheFolderOfItsFiles) {
    const QByteArray stored = Stored("bankrec", "1010-completed");
    TBRecOpeningDetail detail;
    ReadItem(detail, stored);
    EXPECT_EQ(detail.BankAccount, MakeCode(-1, -1, 1010, -1));
    EXPECT_EQ(detail.Reconciled_To, 732158.0);
    EXPECT_TRUE(detail.Completed && !detail.Flag2);
    detail.BuildFileNames("C:\\DATA", "ABC123", 2006);
    EXPECT_EQ(detail.UnmatchedFile + detail.MatchedFile,
              "C:\\DATA\\BANK_REC\\ABC12306.RUAC:\\DATA\\BANK_REC\\ABC12306.RMA");
    EXPECT_EQ(WrittenItem(detail), stored);
    EXPECT_EQ(TBRecOpeningDetail::ReconciliationFileName("D:", "XYZ", -1, 0, false), "D:\\BANK_REC\\XYZ.RU0");
    // The stored slot, and the slot read: a number outside 0-34 is none; a text is refused, as
    // is an amount that is no number.
    const std::pair<const char*, int> slotCases[] = {
        {"02 22", 34}, {"02 23", -1}, {"02 fe", -1}, {"06 01 41", -2}};
    for (const auto& [hex, slot] : slotCases) {
        QByteArray bytes = QByteArray(stored).replace(QByteArray::fromHex("09 08 02 0a"),
                                                      QByteArray::fromHex(QByteArray("09 08") + hex));
        TBRecOpeningDetail read;
        if (slot == -2) {
            EXPECT_THROW(ReadItem(read, bytes), EStreamError);
        } else {
            ReadItem(read, bytes);
            EXPECT_EQ(read.Slot, slot) << hex;
        }
    }
    EXPECT_THROW(ReadItem(detail, QByteArray(stored).replace(QByteArray::fromHex("c0 ff 3f"),
                                                             QByteArray::fromHex("80 ff 7f"))),
                 EStreamError);
    EXPECT_THROW(ReadItem(detail, stored.left(40)), EStreamError);
}

TEST_F(CurrConvRatesChartTest, ListedCurrenciesUnderTheStoredRates) {
    Write(CcrFile, RatesFile({"USD", "EUR"}));
    TCurrConvRatesChart chart(Entity, {Option::Load}, 2006);
    EXPECT_EQ(Keys(chart), "AUD,EUR,USD");
    EXPECT_EQ(chart.GetConvRate(2)->Currency_Description + chart.GetConvRate(2)->GetRateText(),
              "US Dollar0.9000");
    EXPECT_FALSE(chart.Saved); // the listed currencies joined what the file holds
    TOptionSet options;
    ASSERT_EQ(chart.SaveIfModified(options), 0);
    EXPECT_EQ(Read(CcrFile).toHex(), RatesFile({"AUD-listed", "EUR", "USD"}).toHex());
    // Without a file, the list alone; a merge keeps what is held, a plain load does not.
    QFile::remove(TempPath(CcrFile));
    chart.AddItem(std::make_unique<TCurrencyConvRate>("NZD", "Kiwi", QLatin1Char('$'), 1.1));
    ASSERT_EQ(chart.LoadFromFile({Option::MergeLoad}), 0);
    EXPECT_EQ(Keys(chart), "AUD,EUR,NZD,USD");
    ASSERT_EQ(chart.LoadFromFile({}), 0);
    EXPECT_EQ(Keys(chart), "AUD,USD");
    ASSERT_EQ(chart.SaveToFile(options), 0);
    EXPECT_EQ(Read(CcrFile).toHex(), RatesFile({"AUD-listed", "USD-listed"}).toHex());
}

TEST_F(CurrConvRatesChartTest, TheCallersFolderAndSilenceReachTheFile) {
    Write(CcrFile, RatesFile({"USD"}));
    Write("PROGRAM/TRANSFER/M_DETAIL/ABC12306.CCR", RatesFile({"EUR"}));
    TCurrConvRatesChart chart(Entity, {}, 2006);
    ASSERT_EQ(chart.LoadFromFile({Option::TransferFolder}), 0);
    EXPECT_EQ(Keys(chart), "AUD,EUR,USD");
    EXPECT_EQ(chart.GetConvRate(2)->Currency_Rate, 0.65);
    // A damaged file in silent mode: no box, a failure, the listed currencies kept and the
    // damaged file protected from an automatic save.
    Write(CcrFile, RatesFile({"USD"}).left(40));
    EXPECT_EQ(chart.LoadFromFile({Option::Silent}), -1);
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    EXPECT_EQ(Keys(chart), "AUD,USD");
    EXPECT_TRUE(chart.IsSaveBlocked());
    // The constructor leaves the file alone under options 9 and 13.
    EXPECT_EQ(TCurrConvRatesChart(Entity, {Option::Load, Option::DosVersion}, 2006).Count(), 0);
    EXPECT_EQ(TCurrConvRatesChart(Entity, {Option::Load, Option::TransferDrive}, 2006).Count(), 0);
}

TEST_F(CurrConvRatesChartTest, StoredRateAndItsEdges) {
    TCurrencyConvRate rate;
    ReadItem(rate, Stored("currency", "EUR"));
    EXPECT_EQ(rate.Currency_Symbol, QChar(0x20AC));
    EXPECT_EQ(WrittenItem(rate), Stored("currency", "EUR"));
    // "X", no description, then symbol and rate: 255 and an integer rate are read; 256, -1
    // and a rate that is no number are refused.
    const QByteArray prefix = QByteArray::fromHex("06 01 58 06 00");
    ReadItem(rate, prefix + QByteArray::fromHex("03 ff 00 02 02"));
    EXPECT_EQ(rate.Currency_Symbol, QChar(0xFF));
    EXPECT_EQ(rate.Currency_Rate, 2.0);
    for (const char* rest : {"03 00 01 02 02", "02 ff 02 02", "02 24 05 00 00 00 00 00 00 00 80 ff 7f"})
        EXPECT_THROW(ReadItem(rate, prefix + QByteArray::fromHex(rest)), EStreamError) << rest;
}
