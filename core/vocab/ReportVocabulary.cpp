#include "core/vocab/ReportVocabulary.h"

namespace {

constexpr std::array<TStandardReport, StandardReportCount> MakeStandardReportTable() {
    std::array<TStandardReport, StandardReportCount> table{};
    table[ProfitAndLossReport] = {u"PROFITLOSS", u"&Profit and Loss", u""};
    table[TrialBalanceReport] = {u"TRIALBAL", u"&Trial Balance", u""};
    table[GeneralLedgerReport] = {u"", u"&General Ledger", u"General Ledger Report"};
    table[BudgetReport] = {u"BUDGET", u"", u""};
    table[BudgetActualVarianceReport] = {u"BGTACTVAR", u"", u""};
    table[BankReconciliationReport] = {u"", u"&Bank Reconciliation", u""};
    table[FirstLogReport] = {u"", u"Ti&me Log", u""};
    table[LastLogReport] = {u"", u"Transfer &From Log", u""};
    return table;
}

constexpr std::array<TStandardReport, StandardReportCount> StandardReportTable = MakeStandardReportTable();

} // namespace

int FindReportGroup(QStringView code) {
    for (int row = 0; row < ReportGroupCount; ++row)
        if (ReportGroupTable[static_cast<std::size_t>(row)].Code == code)
            return row;
    return ReportGroupCount;
}

const TReportGroup* ReportGroupRow(int row) {
    if (row < 0 || row >= ReportGroupCount)
        return nullptr;
    return &ReportGroupTable[static_cast<std::size_t>(row)];
}

int FindStandardReport(QStringView key) {
    // Row 0 is the empty row; a key that is empty, or that no row holds, lands there.
    if (key.isEmpty())
        return 0;
    for (int row = 1; row < StandardReportCount; ++row)
        if (StandardReportTable[static_cast<std::size_t>(row)].Key == key)
            return row;
    return 0;
}

const TStandardReport& StandardReportRow(int row) {
    if (row < 0 || row >= StandardReportCount)
        return StandardReportTable[0];
    return StandardReportTable[static_cast<std::size_t>(row)];
}

int IndexOfExportFormat(QStringView name) {
    for (int i = 0; i < ExportFormatCount; ++i)
        if (ExportFormatTable[static_cast<std::size_t>(i)].Name == name)
            return i;
    return -1;
}
