#include "core/charts/BankRecOpeningDetailChart.h"

#include "core/charts/AccountsChart.h"
#include "core/io/StreamError.h"
#include "tests/core/AccountTestFormats.h"
#include "tests/core/ChartTestSupport.h"

namespace {

const QString BobFile = QStringLiteral("BANK_REC/ABC12306.BOB");

QByteArray BobChart(const QStringList& items) {
    return StoredChart(QStringLiteral("bankrec"), QStringLiteral("header"), items);
}

class BankRecOpeningDetailChartTest : public TChartTest {
protected:
    void SetUp() override {
        TChartTest::SetUp();
        Accounts = std::make_unique<TAccountsChart>(Entity, Format(), TOptionSet{}, 2006);
        AddAccount(QStringLiteral("1000"), QStringLiteral("ACC"));
        AddAccount(QStringLiteral("2000"), QStringLiteral("BNK"));
        AddAccount(QStringLiteral("2001"), QStringLiteral("BNK"), QStringLiteral("USD"));
        AddAccount(QStringLiteral("4500"), QStringLiteral("ACC"));
    }

    void AddAccount(const QString& text, const QString& type, const QString& currency = QString()) {
        auto account = std::make_unique<TAccountDetail>(Format());
        account->SetCode(Code(text));
        account->DeriveAccountType(type);
        account->SetBankCurrency(currency);
        ASSERT_GE(Accounts->AddAccount(std::move(account)), 0);
    }

    std::unique_ptr<TBankRecOpeningDetailChart> Chart(const TOptionSet& options = {Option::Load}) {
        return std::make_unique<TBankRecOpeningDetailChart>(Entity, Accounts.get(), nullptr, options, 2006);
    }
    const TBRecOpeningDetail* Detail(const TBankRecOpeningDetailChart& chart, const char* code) const {
        return chart.GetDetail(chart.IndexOf(QString::fromLatin1(code)));
    }

    std::unique_ptr<TAccountsChart> Accounts;
};

} // namespace

TEST_F(BankRecOpeningDetailChartTest, EveryBankAccountGetsAFreshDetailAndASlot) {
    auto chart = Chart();
    ASSERT_EQ(chart->Count(), 2);
    const TBRecOpeningDetail* first = chart->GetDetail(0);
    EXPECT_EQ(chart->GetCode(0), QStringLiteral("2000"));
    EXPECT_EQ(first->Open_Bal_Date, 732128.0); // 1 July 2005
    EXPECT_EQ(first->PeriodEnd, 732158.0);     // 31 July 2005
    EXPECT_EQ(first->Slot, 0);
    EXPECT_EQ(first->UnmatchedFile, Temp.path() + QStringLiteral("\\BANK_REC\\ABC12306.RU0"));
    EXPECT_EQ(first->MatchedFile, Temp.path() + QStringLiteral("\\BANK_REC\\ABC12306.RM0"));
    EXPECT_EQ(chart->GetDetail(1)->Currency, QStringLiteral("USD"));
    EXPECT_EQ(chart->GetDetail(1)->Slot, 1);
    QString text;
    chart->GetCodeWithCurrency(1, text);
    EXPECT_EQ(text, QStringLiteral("2001 (USD)"));
    EXPECT_TRUE(chart->Saved);

    // A year ending in December opens on 1 January.
    Entity.EndMonth = 12;
    EXPECT_EQ(Chart()->GetDetail(0)->Open_Bal_Date, 732312.0);
}

TEST_F(BankRecOpeningDetailChartTest, ThirtySixBankAccountsGiveThirtyFiveDetails) {
    for (int i = 2; i < 36; ++i)
        AddAccount(QString::number(2000 + i), QStringLiteral("BNK"));
    auto chart = Chart();
    ASSERT_EQ(chart->Count(), 35);
    EXPECT_EQ(chart->IndexOfAccount(Code("2035")), -1);
    EXPECT_EQ(chart->GetCode(10), QStringLiteral("2010"));
    EXPECT_TRUE(chart->GetDetail(9)->UnmatchedFile.endsWith(QStringLiteral("ABC12306.RU9")));
    EXPECT_TRUE(chart->GetDetail(10)->UnmatchedFile.endsWith(QStringLiteral("ABC12306.RUA")));
    EXPECT_TRUE(chart->GetDetail(10)->MatchedFile.endsWith(QStringLiteral("ABC12306.RMA")));
    EXPECT_TRUE(chart->GetDetail(34)->UnmatchedFile.endsWith(QStringLiteral(".RUY")));
}

TEST_F(BankRecOpeningDetailChartTest, StoredDetailsUpdateTheBankAccountsTheyBelongTo) {
    // 2001 stored in slot 5; 4500 is no longer a bank account.
    Write(BobFile, BobChart({"2001-slot-5", "4500-slot-0"}));
    auto chart = Chart();
    ASSERT_EQ(chart->Count(), 2);
    EXPECT_EQ(chart->IndexOf(QStringLiteral("4500")), -1);
    const TBRecOpeningDetail* stored = Detail(*chart, "2001");
    EXPECT_EQ(stored->Slot, 5);
    EXPECT_EQ(stored->Cashbook_Open_Bal, 1.5);
    EXPECT_EQ(stored->Statement_Open_Bal, 100.0);
    EXPECT_TRUE(stored->Flag2);
    EXPECT_EQ(stored->Currency, QStringLiteral("USD")); // from the account, never stored
    EXPECT_TRUE(stored->UnmatchedFile.endsWith(QStringLiteral("\\BANK_REC\\ABC12306.RU5")));
    EXPECT_EQ(Detail(*chart, "2000")->Slot, 0); // the new one takes the lowest free slot
    EXPECT_TRUE(chart->Saved);
    TOptionSet options;
    ASSERT_EQ(chart->SaveToFile(options), 0);
    EXPECT_EQ(Read(BobFile).toHex(), BobChart({"2000-fresh", "2001-slot-5"}).toHex());

    // Two stored details in one slot are parted; an old code goes through the translation list.
    Write(BobFile, BobChart({"2000-slot-3", "2001-slot-3"}));
    chart = Chart();
    EXPECT_EQ(chart->GetDetail(0)->Slot, 3);
    EXPECT_EQ(chart->GetDetail(1)->Slot, 0);
    EXPECT_TRUE(chart->GetDetail(1)->UnmatchedFile.endsWith(QStringLiteral(".RU0")));
    Write(BobFile, BobChart({"2999-slot-7"}));
    chart = Chart({});
    chart->CodeTranslation.insert(QStringLiteral("2999"), QStringLiteral("2001"));
    ASSERT_EQ(chart->LoadFromFile({}), 0);
    EXPECT_EQ(Detail(*chart, "2001")->Slot, 7);
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
    EXPECT_EQ(detail->GetReconciledToText(), QStringLiteral("Not Reconciled"));

    TAccountDetail* account = chart->GetBankAccount(0);
    account->BankDetails->Flag2 = true;
    detail->Flag2 = true;
    detail->Completed = true;
    chart->ResetDetail(0);
    EXPECT_FALSE(detail->Completed || detail->Flag2 || account->BankDetails->Flag2);
    EXPECT_EQ(detail->Slot, TBRecOpeningDetail::NoSlot);
    EXPECT_TRUE(detail->UnmatchedFile.isEmpty() && detail->MatchedFile.isEmpty());
    EXPECT_FALSE(chart->Saved);
}

TEST_F(BankRecOpeningDetailChartTest, DamagedFileLeavesTheSeededDetailsAndIsProtected) {
    const QByteArray damaged = BobChart({"2000-slot-3"}).left(60);
    Write(BobFile, damaged);
    Prompt->Answer(TMessageButton::Ignore);
    auto chart = Chart({});
    EXPECT_EQ(chart->LoadFromFile({}), -1);
    EXPECT_EQ(Prompt->Shown.size(), 1);
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
    EXPECT_TRUE(detail.Completed);
    EXPECT_FALSE(detail.Flag2);
    EXPECT_EQ(detail.Slot, 10);
    detail.BuildFileNames(QStringLiteral("C:\\QUILVANE\\DATA"), QStringLiteral("ABC123"), 2006);
    EXPECT_EQ(detail.UnmatchedFile, QStringLiteral("C:\\QUILVANE\\DATA\\BANK_REC\\ABC12306.RUA"));
    EXPECT_EQ(detail.MatchedFile, QStringLiteral("C:\\QUILVANE\\DATA\\BANK_REC\\ABC12306.RMA"));
    EXPECT_EQ(WrittenItem(detail), stored);
    EXPECT_EQ(detail.GetCashbookOpenBalText(), QStringLiteral("1.50"));

    const struct {
        const char* Name;
        QByteArray To; // in place of the slot
        int Slot;      // -2: refused
    } slotCases[] = {{"34", QByteArray::fromHex("02 22"), 34},
                     {"35", QByteArray::fromHex("02 23"), TBRecOpeningDetail::NoSlot},
                     {"-2", QByteArray::fromHex("02 fe"), TBRecOpeningDetail::NoSlot},
                     {"text", QByteArray::fromHex("06 01 41"), -2}};
    for (const auto& s : slotCases) {
        QByteArray bytes = stored;
        bytes.replace(QByteArray::fromHex("09 08 02 0a"), QByteArray::fromHex("09 08") + s.To);
        TBRecOpeningDetail read;
        if (s.Slot == -2) {
            EXPECT_THROW(ReadItem(read, bytes), EStreamError) << s.Name;
            continue;
        }
        ReadItem(read, bytes);
        EXPECT_EQ(read.Slot, s.Slot) << s.Name;
    }
    QByteArray infinite = stored;
    infinite.replace(QByteArray::fromHex("05 00 00 00 00 00 00 00 c0 ff 3f"),
                     QByteArray::fromHex("05 00 00 00 00 00 00 00 80 ff 7f"));
    EXPECT_THROW(ReadItem(detail, infinite), EStreamError);
    EXPECT_THROW(ReadItem(detail, stored.left(40)), EStreamError);
    EXPECT_TRUE(TBRecOpeningDetail::ReconciliationFileName("D:\\DATA", "XYZ", 2006, 35, true).isEmpty());
    EXPECT_EQ(TBRecOpeningDetail::ReconciliationFileName("D:\\DATA", "XYZ", -1, 0, false),
              "D:\\DATA\\BANK_REC\\XYZ.RU0");
}
