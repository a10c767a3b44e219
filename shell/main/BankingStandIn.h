#pragma once

#include "shell/children/ProcessWindows.h"

#include <QString>

// The banking, GST and data-interchange services as this program offers them: the bank-statement
// and transaction imports, the data export and the bank reconciliation window are not built, so
// each says so in one box and changes nothing.
class TBankingStandIn : public IBankingServices {
public:
    static inline const QString NotAvailableText = QStringLiteral("%1 is not available in this system.");

    // Shows the not-available box for a function.
    static void SayNotAvailable(const QString& function);

    // Nothing is imported: -1.
    int ImportBankStatement(TEntityInfo& file, TReportSetup& setup) override;
    void ImportTransactions(TEntityInfo& file, TReportSetup& setup) override;
    void ExportData(TEntityInfo& file, TReportSetup& setup) override;
    void PerformBankReconciliation(TEntityInfo& file, TReportSetup& setup) override;
};
