#include "ReportsTestSupport.h"

#include "core/charts/CurrConvRatesChart.h"
#include "core/charts/CurrencyConvRate.h"
#include "core/charts/StdDescChart.h"
#include "core/charts/TaxRate.h"
#include "core/charts/TaxRateChart.h"
#include "core/vocab/LogKinds.h"
#include "core/vocab/PageKinds.h"
#include "reports/ReportMenu.h"

#include <QDir>

namespace {

// Three visits, one of another file; codes match without regard to case.
const QList<TLogDetails> TimeLog{
    Entry("ABC123", "", At(2024, 3, 15, 9, 0), At(2024, 3, 15, 10, 30)),
    Entry("XYZ999", "", At(2024, 3, 15, 11, 0), At(2024, 3, 15, 11, 5)),
    Entry("abc123", "Upgraded from DOS", At(2024, 3, 16, 23, 50), At(2024, 3, 17, 0, 20))};

TEST_F(ReportsTest, LogListingsShowTheEntriesOfTheFile) {
    EXPECT_EQ(Text(LogListing(lkTime, FileCaption, "ABC123", TimeLog).Lines), Expected("time-log.txt"));
    const QList<TLogDetails> backups{
        Entry("ABC123", "WORKSTATION1", At(2023, 7, 1), At(2024, 6, 30), {}, "A:\\ABC12324.BAK",
              At(2024, 4, 20)),
        Entry("ABC123", "BOB", At(2023, 7, 1), At(2024, 6, 30), "Full", "A:\\ABC12324.BK2")};
    EXPECT_EQ(Text(LogListing(lkBackup, FileCaption, "ABC123", backups).Lines), Expected("backup-log.txt"));
}

TEST_F(ReportsTest, ChartListingsInChartOrder) {
    TStdDescChart descriptions({}, {}, 2006);
    for (const auto& [key, text] :
         {std::pair{"RENT10", "Rent of office"}, {"BANK", "Bank charges"}, {"RENT2", "Rent of shop"}})
        descriptions.AddDescription(key, text);
    EXPECT_EQ(Text(StdDescriptionsListingText(FileCaption, descriptions).Lines),
              Expected("std-descriptions.txt"));

    TCurrConvRatesChart rates({}, {}, 2006);
    rates.AddItem(std::make_unique<TCurrencyConvRate>("USD", "US Dollar", u'$', 0.65));
    rates.AddItem(std::make_unique<TCurrencyConvRate>("EUR", "Euro", u'E', 0.6));
    EXPECT_EQ(Text(CurrencyRatesListingText(FileCaption, rates).Lines), Expected("currency-rates.txt"));

    TTaxRateChart taxes({}, nullptr, nullptr, {}, 2006);
    for (const auto& [code, text, rate, start, bas] :
         {std::tuple{"GST", "Goods and services tax", 10.0, At(2000, 7, 1), "G7"},
          {"FRE", "GST free", 0.0, 0.0, ""}}) {
        auto tax = std::make_unique<TTaxRate>();
        std::tie(tax->Tax_Code, tax->Tax_Description, tax->Tax_Rate, tax->StartDate, tax->BAS) =
            std::tuple(code, text, rate, start, bas);
        taxes.AddItem(std::move(tax));
    }
    EXPECT_EQ(Text(TaxCodesListingText(FileCaption, taxes).Lines), Expected("tax-codes.txt"));
}

// The year's files in page order, each page's months in the order of the financial year (a
// name in lower case among them); another year's file and an unknown page code are left out.
// A year that ends in December takes each page's months from January.
TEST_F(ReportsTest, TransactionFilesListingShowsTheYearsFiles) {
    ASSERT_TRUE(QDir(Temp.path()).mkpath("ABC123"));
    // name, size in bytes
    for (const auto& [name, size] : {std::pair{"ABC12306.PAC", 250},
                                     {"abc12306.pa7", 125},
                                     {"ABC12306.PA4", 500},
                                     {"ABC12306.GJ2", 0},
                                     {"ABC12306.RE", 375},
                                     {"ABC12306.OB1", 1250},
                                     {"ABC12305.PA4", 250},
                                     {"ABC12306.XX1", 250}})
        ASSERT_TRUE(WriteFileBytes(TempPath(QStringLiteral("ABC123/") + name), QByteArray(size, '\0')));
    int endMonth = 6;
    TReportSources sources;
    sources.FileCaption = FileCaption;
    sources.ReadTransactionFiles = [&] {
        return ListTransactionFiles(Temp.path(), "ABC123", 2006, endMonth);
    };
    EXPECT_EQ(Text(ProduceReport(TransactionFilesListing, sources).Lines), Expected("transaction-files.txt"));
    endMonth = 12;
    QStringList payments;
    for (const TTransactionFileInfo& file : sources.ReadTransactionFiles())
        if (file.PageKind == pkPayments)
            payments << file.FileName.right(3);
    EXPECT_EQ(payments, QStringList({"PA7", "PAC", "PA4"}));
}

// Which report each number gives, with only the descriptions loaded, a log reader that records
// the kind it reads and no file code (every log entry listed).
TEST_F(ReportsTest, ProduceReportChoosesByNumber) {
    TStdDescChart descriptions({}, {}, 2006);
    QList<int> kindsRead;
    TReportSources sources;
    sources.FileCaption = FileCaption;
    sources.StdDescriptions = &descriptions;
    sources.ReadLog = [&](int kind) {
        kindsRead << kind;
        return TimeLog;
    };
    QStringList produced; // title, first line and line count of each
    for (int number : {12, 57, 58, 62, 68, 69}) {
        const TReportText report = ProduceReport(number, sources);
        produced << report.Title + ":" + report.Lines.first() + ":" + QString::number(report.Lines.size());
    }
    EXPECT_EQ(produced.join('|').toStdString(),
              "Report 12:Report 12 is not available.:1|Chart of Accounts:Report 57 is not available.:1|"
              "Standard Descriptions:Standard Descriptions:6|Time Log:Time Log:9|"
              "Transfer In Log:Transfer In Log:9|Report 69:Report 69 is not available.:1");
    EXPECT_EQ(kindsRead, (QList<int>{lkTime, lkTransferIn}));
    EXPECT_EQ(Text(ProduceReport(63, {}).Lines), "Report 63 is not available.\n"); // no log reader
}

// Money as the reports show it: two decimals, thousands grouped, rounded to the cent (halves to
// the even cent), never a negative zero.
TEST_F(ReportsTest, MoneyTextRoundsAndGroups) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "0.00"},          {-0.0, "0.00"},
        {-0.004, "0.00"},       {0.125, "0.12"},
        {0.135, "0.14"},        {0.5, "0.50"},
        {-7.1, "-7.10"},        {999.999, "1,000.00"},
        {1234.5, "1,234.50"},   {-1234567.891, "-1,234,567.89"},
        {100000, "100,000.00"},
    };
    for (const auto& [amount, text] : cases)
        EXPECT_EQ(MoneyText(amount), text) << amount;
}

// Columns two blanks apart, right-aligned for negative widths; a long text is kept whole and the
// line carries no trailing blank.
TEST_F(ReportsTest, ReportColumnsAlignAndTrim) {
    EXPECT_EQ(ReportColumns({{"ab", 4}, {"7.00", -6}, {"", 5}}), "ab      7.00");
    EXPECT_EQ(ReportColumns({{"abcdef", 4}, {"x", -3}}), "abcdef    x");
    EXPECT_EQ(ReportDate(0), "");
    EXPECT_EQ(ReportDate(EncodeDateNum(2005, 7, 1)), "01/07/2005");
}

} // namespace
