#include "shell/bringforward/ProfitDistribution.h"
#include "shell/bringforward/RetainedProfitPage.h"

#include "tests/core/EntityTestSupport.h"

#include "controls/numeric/NumberEdit.h"
#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountDetail.h"
#include "core/charts/AccountsChart.h"
#include "core/entity/DesktopFiles.h"
#include "core/entity/EntityInfo.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>

namespace {

using TEntries = QList<TDistributionEntry>;

// Client ABC123 (company, format QUILVANE) with a source chart holding a suspense account and the
// accounts a test adds.
class ProfitDistributionTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        Detail = LoadRecord(SmallRecord());
        ASSERT_TRUE(Detail && Detail->AccountFormat);
        Chart = std::make_unique<TAccountsChart>(Detail->ChartEntity(), Detail->AccountFormat, TOptionSet{},
                                                 2006);
        Chart->EnsureSuspenseAccount();
        ASSERT_GE(Chart->DefaultSuspenseAccount(), 0);
    }
    void AddAccount(const QString& text, const QString& description) {
        auto account = std::make_unique<TAccountDetail>(Detail->AccountFormat);
        TAccountCode code;
        ASSERT_TRUE(Detail->AccountFormat->TextToCode(text, code, false, false));
        account->SetCode(code);
        account->Description = description;
        ASSERT_GE(Chart->AddAccount(std::move(account)), 0);
    }
    QString Suspense() const { return Chart->GetCode(Chart->DefaultSuspenseAccount()); }
    static QStringList Texts(const TProfitDistribution& distribution) {
        QStringList texts;
        for (const TDistributionEntry& entry : distribution.Entries())
            texts << TProfitDistribution::Join(entry);
        return texts;
    }

    std::unique_ptr<TEntityDetail> Detail;
    std::unique_ptr<TAccountsChart> Chart;
};

TEST(ProfitDistributionTextTest, StoredEntriesSplitAtTheFirstCommaAndJoinBack) {
    const struct {
        const char* Stored;
        const char* Account;
        const char* Percentage;
    } cases[] = {{"00-4100-00,100.00", "00-4100-00", "100.00"},
                 {"4100,33,33", "4100", "33,33"},
                 {",50", "", "50"},
                 {"4100,", "4100", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Stored);
        const auto [account, percentage] = TProfitDistribution::Split(c.Stored);
        EXPECT_EQ(account, c.Account);
        EXPECT_EQ(percentage, c.Percentage);
        EXPECT_EQ(TProfitDistribution::Join({account, percentage}), c.Stored);
    }
    EXPECT_EQ(TProfitDistribution::Split("4100"), std::make_pair(QString("4100"), QString()));
}

TEST_F(ProfitDistributionTest, AnEmptyListStartsWithTheRetainedProfitsAccountCreatedInTheSourceChart) {
    TProfitDistribution distribution;
    distribution.Load(*Detail, 2007, *Chart);
    EXPECT_EQ(Texts(distribution), QStringList({"00-4100-00,100.00"}));
    const int created = Chart->IndexOfCodeText("00-4100-00");
    ASSERT_GE(created, 0);
    EXPECT_EQ(Chart->GetAccount(created)->AccountType, "ACC");
    EXPECT_EQ(Chart->GetAccount(created)->Description, "Retained Profits");
    EXPECT_TRUE(distribution.CheckTotal());

    // An existing account is used as it is, never duplicated or renamed.
    Detail->EntityType = "PTN";
    AddAccount("00-4200-00", "Partners' Capital");
    const int before = Chart->Count();
    distribution.Reset(*Detail, *Chart);
    EXPECT_EQ(Texts(distribution), QStringList({"00-4200-00,100.00"}));
    EXPECT_EQ(Chart->Count(), before);
    EXPECT_EQ(TProfitDistribution::AccountDescription(Chart.get(), "00-4200-00"), "Partners' Capital");
}

TEST_F(ProfitDistributionTest, AddGivesTheRestOfTheHundredAndNeverLess) {
    const struct {
        const char* First;
        const char* Second;
        const char* Added;
    } cases[] = {
        {"50", "50", "0.00"}, {"100", "20", "0.00"}, {"35.5", "24.5", "40.00"}, {"0", "0.01", "99.99"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Added);
        TProfitDistribution distribution;
        distribution.SetEntries({{"00-3500-00", c.First}, {"00-3000-00", c.Second}});
        distribution.AddDefault(*Detail, *Chart);
        ASSERT_EQ(distribution.Count(), 3);
        EXPECT_EQ(TProfitDistribution::Join(distribution.Entries()[2]), QString("00-4100-00,") + c.Added);
    }
}

TEST_F(ProfitDistributionTest, TheTotalMustBeAHundredWithinNineThousandths) {
    const struct {
        const char* A;
        const char* B;
        bool Passes;
    } cases[] = {{"50", "49.995", true}, {"50", "49.99", false},   {"50", "50.009", true},
                 {"50", "50.01", false}, {" 60.5 ", "39.5", true}, {"abc", "100", true},
                 {"100", "abc", true},   {"", "99", false}};
    // The user's locale writes decimals with a comma: the stored texts are read all the same.
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.A) + "+" + c.B);
        TProfitDistribution distribution;
        distribution.SetEntries({{"1", c.A}, {"2", c.B}});
        EXPECT_EQ(distribution.CheckTotal(), c.Passes);
    }
    TProfitDistribution distribution;
    distribution.SetEntries({{"1", "33.333"}, {"2", "66.66"}});
    EXPECT_DOUBLE_EQ(distribution.Total(), 99.993);
    EXPECT_EQ(distribution.TotalCaption(), "99.99%");
    QLocale::setDefault(saved);
}

TEST_F(ProfitDistributionTest, AStoredEntryWhoseAccountIsGoneMovesToTheSuspenseAccount) {
    AddAccount("00-4100-00", "Retained Profits");
    Detail->ProfitDistribution = {"00-4100-00,60.00", "00-4700-00,30.00", "not a code,10.00"};
    Detail->SaveProfitDistribution(2007);
    TProfitDistribution distribution;
    distribution.Load(*Detail, 2007, *Chart);
    EXPECT_EQ(Texts(distribution),
              QStringList({"00-4100-00,60.00", Suspense() + ",30.00", Suspense() + ",10.00"}));
    EXPECT_EQ(Chart->IndexOfCodeText("00-4700-00"), -1); // the missing account is not created

    // Round trip through the record on disk, under the year's own section.
    distribution.SetPercentage(0, "55.50");
    distribution.Store(*Detail, 2008);
    ASSERT_EQ(Detail->Save({Standard}), 0);
    auto reread = Open({Standard, NoLock, Load});
    TProfitDistribution loaded;
    loaded.Load(*reread, 2008, *Chart);
    EXPECT_EQ(loaded.Entries(), distribution.Entries());
    reread->LoadProfitDistribution(2007);
    EXPECT_EQ(reread->ProfitDistribution,
              QStringList({"00-4100-00,60.00", "00-4700-00,30.00", "not a code,10.00"}));
}

TEST_F(ProfitDistributionTest, DeleteKeepsOneEntryAndSelectsTheRowThatFollows) {
    TProfitDistribution distribution;
    distribution.SetEntries({{"A", "10"}, {"B", "20"}, {"C", "70"}});
    EXPECT_EQ(distribution.Delete(2), 1); // the last: the new last
    EXPECT_EQ(distribution.Delete(0), 0); // the same row
    EXPECT_EQ(distribution.Entries(), TEntries({{"B", "20"}}));
    EXPECT_FALSE(distribution.CanDelete());
    EXPECT_EQ(distribution.Delete(0), 0);
    EXPECT_EQ(distribution.Count(), 1);
}

TEST(ProfitSplitTest, SharesAreRoundedHalfToEvenAndTheRemainderIsAnAdjustment) {
    const struct {
        double Profit;
        QStringList Percentages;
        QList<double> Amounts;
        double Adjustment;
    } cases[] = {{1000.00, {"33.33", "33.33", "33.34"}, {333.30, 333.30, 333.40}, 0.0},
                 {12.25, {"50", "50"}, {6.12, 6.12}, 0.01},
                 {0.03, {"50", "50"}, {0.02, 0.02}, -0.01},
                 {-12.25, {"50.00", "50.00"}, {-6.12, -6.12}, -0.01},
                 {100.00, {"100.00"}, {100.00}, 0.0},
                 {100.00, {"60", "30"}, {60.00, 30.00}, 10.00}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Profit);
        TEntries entries;
        for (int i = 0; i < c.Percentages.size(); ++i)
            entries.append({QString::number(i + 1), c.Percentages[i]});
        double adjustment = 99;
        const auto shares = TProfitDistribution::SplitProfit(c.Profit, entries, adjustment);
        ASSERT_EQ(shares.size(), c.Amounts.size());
        for (int i = 0; i < shares.size(); ++i) {
            EXPECT_DOUBLE_EQ(shares[i].Amount, c.Amounts[i]) << i;
            EXPECT_EQ(shares[i].Account, entries[i].Account);
            EXPECT_EQ(shares[i].Percentage, entries[i].Percentage);
        }
        EXPECT_DOUBLE_EQ(adjustment, c.Adjustment);
    }
}

// ---- The wizard page -------------------------------------------------------------------------

class RetainedProfitPageTest : public ProfitDistributionTest {
protected:
    void SetUp() override {
        ProfitDistributionTest::SetUp();
        std::unique_ptr<TEntityInfo> file = TEntityInfo::Create("ABC123", {Standard, NoLock, Load});
        ASSERT_EQ(Files.Add(file), 0);
        AddAccount("00-3500-00", "Loan");
    }
    void TearDown() override {
        Page.reset();
        Files.Remove(0);
        ProfitDistributionTest::TearDown();
    }
    void Show(const TEntries& entries) {
        Distribution.SetEntries(entries);
        Page = std::make_unique<TRetainedProfitPage>();
        Page->Setup(Files, 0, Distribution, Chart.get());
    }
    QString Cell(int row, int column) const {
        const QTableWidgetItem* item = Page->grdProfitDistribution->item(row, column);
        return item ? item->text() : "<none>";
    }

    TDesktopFiles Files;
    TProfitDistribution Distribution;
    std::unique_ptr<TRetainedProfitPage> Page;
};

TEST_F(RetainedProfitPageTest, TheGridShowsEachEntryAndTheEditorsTheCurrentOne) {
    Show({{"00-3500-00", "60.00"}, {"00-4444-00", "30.00"}});
    QTableWidget* grid = Page->grdProfitDistribution;
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->horizontalHeaderItem(2)->text(), "Distribution (%)");
    EXPECT_EQ(QStringList({Cell(0, 0), Cell(0, 1), Cell(0, 2), Cell(1, 0), Cell(1, 1)}),
              QStringList({"00-3500-00", "Loan", "60.00", "00-4444-00", ""}));
    EXPECT_EQ(Page->lblTotalPercentageTxt->text(), "90.00%");
    EXPECT_EQ(Page->edtRetainedProfitAccount->text(), "00-3500-00");

    // Moving to another row stores the editors into the entry left.
    Page->edtRetainedProfitPercentage->setText("70");
    grid->setCurrentCell(1, 0);
    EXPECT_EQ(Page->CurrentEntry(), 1);
    EXPECT_EQ(Distribution.Entries()[0].Percentage, "70.00");
    EXPECT_EQ(Cell(0, 2), "70.00");
    EXPECT_EQ(Page->lblTotalPercentageTxt->text(), "100.00%");
    EXPECT_EQ(Page->edtRetainedProfitPercentage->text(), "30.00");
    EXPECT_TRUE(Page->Validate());
    EXPECT_TRUE(Prompt->Shown.isEmpty());

    Page->edtRetainedProfitAccount->setText(" 00-4100-00 ");
    Page->edtRetainedProfitPercentage->setText("29.98");
    Prompt->Answer(TMessageButton::OK);
    EXPECT_FALSE(Page->Validate());
    EXPECT_EQ(Distribution.Entries()[1], (TDistributionEntry{"00-4100-00", "29.98"}));
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(Prompt->Shown[0].Text, "Retained profit distributions must add up to 100% to balance forward.");
    EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Error);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>({TBeep::Warning}));
}

TEST_F(RetainedProfitPageTest, AddDeleteAndResetKeepTheGridAndTotalInStep) {
    Show({{"00-3500-00", "100.00"}});
    EXPECT_FALSE(Page->actProfitDistDelete->isEnabled());
    EXPECT_FALSE(Page->btnDelete->isEnabled());

    Page->actProfitDistAdd->trigger();
    ASSERT_EQ(Page->grdProfitDistribution->rowCount(), 2);
    EXPECT_EQ(Page->CurrentEntry(), 1);
    EXPECT_EQ(Cell(1, 0) + "|" + Cell(1, 1) + "|" + Cell(1, 2), "00-4100-00|Retained Profits|0.00");
    EXPECT_TRUE(Page->btnDelete->isEnabled());

    // Cancel keeps the entry; OK on the last row removes it and selects the new last.
    Prompt->Answer(TMessageButton::Cancel);
    Page->actProfitDistDelete->trigger();
    EXPECT_EQ(Distribution.Count(), 2);
    Prompt->Answer(TMessageButton::OK);
    Page->actProfitDistDelete->trigger();
    EXPECT_EQ(Texts(Distribution), QStringList({"00-3500-00,100.00"}));
    EXPECT_EQ(Page->CurrentEntry(), 0);
    EXPECT_EQ(Page->grdProfitDistribution->currentRow(), 0);
    EXPECT_FALSE(Page->btnDelete->isEnabled());
    EXPECT_EQ(Prompt->Texts(), QStringList(2, "Are you sure you want to delete the selected distribution ?"));

    Prompt->Answer(TMessageButton::OK);
    Page->actProfitDistReset->trigger();
    EXPECT_EQ(Prompt->Texts().last(), "Are you sure you want to reset the profit distributions ?");
    EXPECT_EQ(Texts(Distribution), QStringList({"00-4100-00,100.00"}));
    EXPECT_EQ(Page->edtRetainedProfitAccount->text(), "00-4100-00");
    EXPECT_EQ(Page->lblTotalPercentageTxt->text(), "100.00%");
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>(3, TBeep::Question));
}

} // namespace
