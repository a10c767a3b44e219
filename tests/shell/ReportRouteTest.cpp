#include "shell/main/ReportRoute.h"

#include <gtest/gtest.h>

namespace {

using G = TReportGenerator;

TEST(ReportRouteTest, EveryNumberGoesToItsGenerator) {
    const std::tuple<int, G, int> cases[] = {
        {1, G::MasterReport, 0},      {2, G::MasterReport, 0},       {3, G::GeneralLedger, 0},
        {4, G::TransactionList, 0},   {5, G::MasterReport, 0},       {6, G::MasterReport, 0},
        {7, G::LevelReports, 0},      {10, G::LevelReports, 0},      {11, G::MasterReport, 3},
        {12, G::MasterReport, 3},     {49, G::MasterReport, 3},      {50, G::IncomeExpenseChart, 0},
        {51, G::IncomeExpenseChart, 0}, {52, G::BankBalanceChart, 0}, {53, G::BankReconciliation, 0},
        {55, G::BankReconciliation, 0}, {56, G::MasterReport, 0},    {57, G::ChartOfAccounts, 0},
        {58, G::StdDescriptions, 0},  {59, G::TaxCodes, 0},          {60, G::CurrencyRates, 0},
        {61, G::TransactionFiles, 0}, {62, G::LogListing, 0},        {68, G::LogListing, 0},
        {69, G::ActivityStatement, 0}, {79, G::ActivityStatement, 0}, {80, G::MasterReport, 0},
        {0, G::MasterReport, 0},      {-1, G::MasterReport, 0},
    };
    for (const auto& [number, generator, level] : cases)
        EXPECT_EQ(RouteReport(number), (TReportRoute{generator, level})) << number;
    for (int number = 0; number < 100; ++number)
        EXPECT_EQ(RouteReport(number).InGraphsWindow(), number >= 50 && number <= 52) << number;
}

} // namespace
