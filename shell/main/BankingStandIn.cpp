#include "shell/main/BankingStandIn.h"

#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/entity/RunParams.h"
#include "core/services/Services.h"
#include "core/services/UserPrompt.h"
#include "core/util/TextHelpers.h"
#include "core/vocab/ProcessKinds.h"

namespace {

// The function of a process that is not there, as its box names it; empty for the others.
QString MissingFunction(int processKind) {
    switch (processKind) {
    case prExport:
        return QStringLiteral("Exporting data");
    case prImportBankStatements:
        return QStringLiteral("Importing bank statements");
    case prImportTransactions:
        return QStringLiteral("Importing transactions");
    case prBankReconciliation:
        return QStringLiteral("The bank reconciliation");
    default:
        return {};
    }
}

} // namespace

void TBankingStandIn::SayNotAvailable(const QString& function) {
    MessageBeepAndShow(TServices::Prompt(), TMessageKind::Information, NotAvailableText.arg(function),
                       TMessageButton::OK);
}

void TBankingStandIn::ActivityStatementReport(int reportNumber) {
    for (const TActivityStatementItem& item : ActivityStatementItems)
        if (item.Number == reportNumber)
            SayNotAvailable(PlainCaption(item.Caption.toString()));
}

bool TBankingStandIn::CheckAvailable(int processKind) {
    const QString missing = MissingFunction(processKind);
    if (missing.isEmpty())
        return true;
    SayNotAvailable(missing);
    return false;
}

int TBankingStandIn::ImportBankStatement(TEntityInfo& /*file*/, TReportSetup& /*setup*/) {
    SayNotAvailable(MissingFunction(prImportBankStatements));
    return -1;
}

void TBankingStandIn::ImportTransactions(TEntityInfo& /*file*/, TReportSetup& /*setup*/) {
    SayNotAvailable(MissingFunction(prImportTransactions));
}

void TBankingStandIn::ExportData(TEntityInfo& /*file*/, TReportSetup& /*setup*/) {
    SayNotAvailable(MissingFunction(prExport));
}

void TBankingStandIn::PerformBankReconciliation(TEntityInfo& file, TReportSetup& setup) {
    if (setup.ProcessKind != prResetBankReconciliation) {
        SayNotAvailable(MissingFunction(prBankReconciliation));
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
