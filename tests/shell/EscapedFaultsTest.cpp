// Bringing ABC123 forward from 2006 into a 2007 whose reconciliation details are already on disk:
// their dates start the new year afresh.
#include "tests/shell/BringForwardTestSupport.h"

#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/dates/DateNumbers.h"
#include "core/entity/EntityDetail.h"
#include "shell/bringforward/BringForwardEngine.h"
#include "shell/bringforward/ProfitDistribution.h"

namespace {

// File ABC123 (year to June 2006) with sales 1000, bank 2000, equity 4100 (taking all the profit)
// and suspense 9100, its 2006 reconciliation of 2000 left incomplete.
class BringForwardExistingDetailTest : public TBringForwardFixture {
protected:
    void SetUp() override {
        TBringForwardFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(OpenWithAccounts({}, {"1000:ACC", "2000:BNK", "4100:ACC", "9100:SUS"}));
        Chart->SetDefaultAccount(Chart->IndexOfCode(Code("9100")), true);
        Bank = Code("2000");
        TOptionSet save{Standard};
        ASSERT_EQ(File->SaveYearCharts(2006, save, true), 0);
        auto opening = OpeningChart(2006);
        ASSERT_NE(opening->GetDetail(opening->IndexOfAccount(Bank)), nullptr);
        opening->Saved = false;
        ASSERT_EQ(opening->SaveToFile(save), 0);
    }
    std::unique_ptr<TBankRecOpeningDetailChart> OpeningChart(int year) const {
        return std::make_unique<TBankRecOpeningDetailChart>(
            File->EntityDetail().ChartEntity(), Chart, Chart->Format(), TOptionSet{Standard, Load}, year);
    }

    TAccountCode Bank;
};

} // namespace

TEST_F(BringForwardExistingDetailTest, ReconciliationDetailsOfTheNewYearStartAtItsFirstDay) {
    {
        // 2007 reconciled to March before the year was brought forward again.
        auto opening = OpeningChart(2007);
        TBRecOpeningDetail* detail = opening->GetDetail(opening->IndexOfAccount(Bank));
        ASSERT_NE(detail, nullptr);
        detail->Open_Bal_Date = EncodeDateNum(2007, 3, 1);
        detail->PeriodEnd = EncodeDateNum(2007, 3, 31);
        detail->SetCompleted(true);
        opening->Saved = false;
        TOptionSet save{Standard};
        ASSERT_EQ(opening->SaveToFile(save), 0);
    }
    TBringForwardOptions options;
    options.OpeningBalances = options.MemorisedPayments = options.StandardBankTransactions = false;
    options.BASSetup = false;
    Prompt->Answer(TMessageButton::Yes); // replace 2007's reconciliation
    Prompt->Answer(TMessageButton::OK);  // 2006's reconciliation of 2000 is not complete
    Prompt->Answer(TMessageButton::OK);  // complete
    TProfitDistribution distribution;
    distribution.SetEntries({{"4100", "100.00"}});
    ASSERT_EQ(TBringForwardEngine(*File, 2007).Run(options, distribution), 0);
    EXPECT_EQ(Prompt->Texts().last(), TBringForwardEngine::CompleteText);

    auto opening = OpeningChart(2007);
    const TBRecOpeningDetail* detail = opening->GetDetail(opening->IndexOfAccount(Bank));
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(std::tuple(detail->Open_Bal_Date, detail->PeriodEnd, detail->Completed, detail->Reconciled_To),
              std::tuple(EncodeDateNum(2006, 7, 1), EncodeDateNum(2006, 7, 31), false,
                         TBRecOpeningDetail::NotReconciled));
}
