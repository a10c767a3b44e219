#include "shell/main/BankingStandIn.h"

#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/entity/RunParams.h"
#include "core/services/Services.h"
#include "core/vocab/ProcessKinds.h"
#include "core/services/UserPrompt.h"
#include "core/util/TextHelpers.h"

void TBankingStandIn::SayNotAvailable(const QString& function) {
    MessageBeepAndShow(TServices::Prompt(), TMessageKind::Information, NotAvailableText.arg(function),
                       TMessageButton::OK);
}

void TBankingStandIn::ActivityStatementReport(int reportNumber) {
    for (const TActivityStatementItem& item : ActivityStatementItems)
        if (item.Number == reportNumber)
            SayNotAvailable(PlainCaption(item.Caption.toString()));
}

int TBankingStandIn::ImportBankStatement(TEntityInfo& /*file*/, TReportSetup& /*setup*/) {
    SayNotAvailable(QStringLiteral("Importing bank statements"));
    return -1;
}

void TBankingStandIn::ImportTransactions(TEntityInfo& /*file*/, TReportSetup& /*setup*/) {
    SayNotAvailable(QStringLiteral("Importing transactions"));
}

void TBankingStandIn::ExportData(TEntityInfo& /*file*/, TReportSetup& /*setup*/) {
    SayNotAvailable(QStringLiteral("Exporting data"));
}

void TBankingStandIn::PerformBankReconciliation(TEntityInfo& file, TReportSetup& setup) {
    if (setup.ProcessKind != prResetBankReconciliation) {
        SayNotAvailable(QStringLiteral("The bank reconciliation"));
        return;
    }
    IUserPrompt& prompt = TServices::Prompt();
    const QString code = file.EntityDetail().FileCode;
    if (MessageBeepAndShow(prompt, TMessageKind::Question, ResetQuestionText.arg(code),
                           TMessageButton::Yes | TMessageButton::No) != TMessageButton::Yes)
        return;
    setup.BankRecIndex = -1;
    // The reset reports its own failure.
    if (file.ResetBankReconciliation(setup) == 0)
        MessageBeepAndShow(prompt, TMessageKind::Information, ResetDoneText.arg(code), TMessageButton::OK);
}
