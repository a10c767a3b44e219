#include "shell/main/BankingStandIn.h"

#include "core/services/Services.h"
#include "core/services/UserPrompt.h"

void TBankingStandIn::SayNotAvailable(const QString& function) {
    MessageBeepAndShow(TServices::Prompt(), TMessageKind::Information, NotAvailableText.arg(function),
                       TMessageButton::OK);
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

void TBankingStandIn::PerformBankReconciliation(TEntityInfo& /*file*/, TReportSetup& /*setup*/) {
    SayNotAvailable(QStringLiteral("The bank reconciliation"));
}
