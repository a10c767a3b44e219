#pragma once

// Where a report number of the menus goes: the graphs window for the graphs, the report window
// for the rest, each number to its generator.
enum class TReportGenerator {
    IncomeExpenseChart,      // 50, 51
    BankBalanceChart,        // 52
    GeneralLedger,           // 3
    TransactionList,         // 4
    LevelReports,            // 7-10
    BankReconciliation,      // 53-55, the reconciliation run without its guard
    ChartOfAccounts,         // 57
    StdDescriptions,         // 58
    TaxCodes,                // 59
    CurrencyRates,           // 60
    TransactionFiles,        // 61
    LogListing,              // 62-68
    ActivityStatement,       // 69-79
    MasterReport,            // any other number
};

struct TReportRoute {
    TReportGenerator Generator = TReportGenerator::MasterReport;
    // The master report's level: 3 (superannuation) for 11 to 49, else 0.
    int Level = 0;

    bool InGraphsWindow() const {
        return Generator == TReportGenerator::IncomeExpenseChart || Generator == TReportGenerator::BankBalanceChart;
    }
    friend constexpr bool operator==(const TReportRoute&, const TReportRoute&) = default;
};

constexpr TReportRoute RouteReport(int number) {
    using G = TReportGenerator;
    const auto between = [number](int low, int high) { return number >= low && number <= high; };
    if (between(50, 51))
        return {G::IncomeExpenseChart};
    if (number == 52)
        return {G::BankBalanceChart};
    if (number == 3)
        return {G::GeneralLedger};
    if (number == 4)
        return {G::TransactionList};
    if (between(7, 10))
        return {G::LevelReports};
    if (between(53, 55))
        return {G::BankReconciliation};
    if (between(57, 61)) {
        constexpr G listings[] = {G::ChartOfAccounts, G::StdDescriptions, G::TaxCodes, G::CurrencyRates,
                                  G::TransactionFiles};
        return {listings[number - 57]};
    }
    if (between(62, 68))
        return {G::LogListing};
    if (between(69, 79))
        return {G::ActivityStatement};
    return {G::MasterReport, between(11, 49) ? 3 : 0};
}
