#pragma once

#include "shell/children/ProcessWindows.h"

#include <QString>
#include <QStringView>

#include <array>

// The banking, GST and data-interchange services as this program offers them: the bank-statement
// and transaction imports, the data export and the bank reconciliation window are not built, so
// each says so in one box and changes nothing. With no import formats it names no import file
// (TSubsystemServices::ImportFileName stays empty): an import's run starts from the file's folder.
class TBankingStandIn : public IBankingServices {
public:
    static inline const QString NotAvailableText = QStringLiteral("%1 is not available in this system.");
    static inline const QString ResetQuestionText =
        QStringLiteral("Reset the bank reconciliation of all bank accounts of %1 ?");
    static inline const QString ResetDoneText =
        QStringLiteral("The bank reconciliation of all bank accounts of %1 has been reset.");

    // The activity-statement reports of the BAS / IAS menu, in menu order, with their numbers.
    struct TActivityStatementItem {
        int Number;
        QStringView Caption;
    };
    static constexpr std::array<TActivityStatementItem, 11> ActivityStatementItems{{
        {69, u"&Business / Instalment Activity Statement"},
        {78, u"Annual GST &Return"},
        {79, u"Annual GST &Information Report"},
        {70, u"&Warnings Report"},
        {71, u"&Audit Reports: Withholding, Income, and Other Taxes Summary"},
        {72, u"Transactions with a &Tax Level (Detailed)"},
        {74, u"T&ax Level (Summary)"},
        {73, u"Transactions with &NO Tax Level (Detailed)"},
        {75, u"N&O Tax Level (Summary)"},
        {76, u"&Export BAS/IAS to Tax ELS..."},
        {77, u"&Process ECI BAS File..."},
    }};

    // Shows the not-available box for a function.
    static void SayNotAvailable(const QString& function);
    // The activity-statement report of a number (69-79): its not-available box, named by its
    // menu item.
    static void ActivityStatementReport(int reportNumber);

    // The imports, the export and the reconciliation window are not there: their not-available
    // box, and false, so that their commands end before closing pages or asking anything. A reset
    // of the reconciliation is there.
    bool CheckAvailable(int processKind) override;
    // Nothing is imported: -1.
    int ImportBankStatement(TEntityInfo& file, TReportSetup& setup) override;
    void ImportTransactions(TEntityInfo& file, TReportSetup& setup) override;
    void ExportData(TEntityInfo& file, TReportSetup& setup) override;
    // The reconciliation window is not built: a reconciliation or its reports say so. A reset,
    // which needs no window, starts every bank account's reconciliation over once confirmed.
    void PerformBankReconciliation(TEntityInfo& file, TReportSetup& setup) override;
};
