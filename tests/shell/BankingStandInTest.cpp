#include "tests/core/ChartTestSupport.h"
#include "tests/shell/DesktopTestSupport.h"

#include "core/entity/RunParams.h"
#include "core/vocab/ProcessKinds.h"
#include "shell/main/BankingStandIn.h"

namespace {

class BankingStandInTest : public DesktopTest {
protected:
    std::unique_ptr<TReportSetup> Setup(int process) {
        TEntityInfo& file = *Desktop.Files().File(0);
        return std::make_unique<TReportSetup>(file.RunFile(file.EntityDetail().Year), 0, process,
                                              file.EntityDetail().Year, false);
    }
    TBankingStandIn Banking;
};

// The reconciliation itself and the other services say they are not available and change
// nothing; a reset asks first and, on Yes, starts every bank account's reconciliation over.
TEST_F(BankingStandInTest, OnlyAResetOfTheReconciliationRuns) {
    OpenFiles({"ABC123"});
    TEntityInfo& file = *Desktop.Files().File(0);
    Prompt->Answer(TMessageButton::OK);
    Banking.PerformBankReconciliation(file, *Setup(prBankReconciliation));
    Prompt->Answer(TMessageButton::OK);
    EXPECT_EQ(Banking.ImportBankStatement(file, *Setup(prImportBankStatements)), -1);
    Prompt->Answer(TMessageButton::No);
    Banking.PerformBankReconciliation(file, *Setup(prResetBankReconciliation));
    EXPECT_EQ(Prompt->Texts(), (QStringList{"The bank reconciliation is not available in this system.",
                                            "Importing bank statements is not available in this system.",
                                            TBankingStandIn::ResetQuestionText.arg("ABC123")}));

    Prompt->Shown.clear();
    Prompt->Answer(TMessageButton::Yes);
    Prompt->Answer(TMessageButton::OK);
    const auto reset = Setup(prResetBankReconciliation);
    reset->BankRecIndex = 0; // a reset from the menu covers every account
    Banking.PerformBankReconciliation(file, *reset);
    EXPECT_EQ(reset->BankRecIndex, -1);
    EXPECT_EQ(Prompt->Texts(), (QStringList{TBankingStandIn::ResetQuestionText.arg("ABC123"),
                                            TBankingStandIn::ResetDoneText.arg("ABC123")}));
}

TEST_F(BankingStandInTest, AnActivityStatementReportIsNamedByItsMenuItem) {
    Prompt->Answer(TMessageButton::OK);
    TBankingStandIn::ActivityStatementReport(76);
    TBankingStandIn::ActivityStatementReport(80); // not an activity statement: nothing
    EXPECT_EQ(Prompt->Texts(), QStringList{"Export BAS/IAS to Tax ELS is not available in this system."});
}

} // namespace
