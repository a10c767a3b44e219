// The graphs of reports 50, 51 and 52 built from a written year, and the graphs window: adding,
// switching, saving, opening, printing and dropping graphs.
#include "tests/core/EntityTestSupport.h"

#include "tests/core/ChartTestSupport.h"

#include "controls/chart/GraphFile.h"
#include "controls/placement/FormPlacement.h"
#include "core/charts/AccountsChart.h"
#include "core/dates/DateNumbers.h"
#include "core/dates/Periods.h"
#include "core/entity/EntityInfo.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionKeys.h"
#include "core/transactions/TransactionList.h"
#include "core/vocab/PageKinds.h"
#include "reports/GraphData.h"
#include "reports/fmGraphs.h"

#include <QComboBox>
#include <QPrinter>
#include <QPushButton>

#include <map>
#include <numeric>

namespace TF = TransactionFlag;

namespace {

// A day of the year to June 2006.
double Day(int month, int day) {
    return EncodeDateNum(month >= 7 ? 2005 : 2006, month, day);
}

struct TEntry {
    int Kind;
    double Date;
    QString Posting, Bank;
    double Amount;
};

const QStringList Months = {"Jul 05", "Aug 05", "Sep 05", "Oct 05", "Nov 05", "Dec 05",
                            "Jan 06", "Feb 06", "Mar 06", "Apr 06", "May 06", "Jun 06"};

// Twelve amounts from the months that have one (month of the year 1-12 -> amount).
QList<double> ByMonth(const std::map<int, double>& amounts) {
    QList<double> values(12, 0.0);
    for (const auto& [month, amount] : amounts)
        values[month - 1] = amount;
    return values;
}

// File ABC123 (year to June 2006, twelve periods, shipped reference data, format BB-AAAA-SS)
// opened with its 2006 charts: income 0200 and 0300 (credit), 0500 (no sign), expenses 1000 and
// 1100 (debit), balance-sheet account 3000, banks 2000 and 2100, suspense 9100.
class GraphsTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        OpenFile("ABC123");
    }

    // Opens a file of the small record under another code, with an empty accounts chart file.
    std::unique_ptr<TEntityInfo> OpenRecord(const QString& code, int periods = 12) {
        QByteArray record = SmallRecord("0", "", "Code=" + code);
        record.replace("Periods=12", "Periods=" + QByteArray::number(periods));
        EXPECT_TRUE(WriteFileBytes(RecordPath(code), record));
        EXPECT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL"));
        EXPECT_TRUE(
            WriteFileBytes(DataDir + "/M_DETAIL/" + code + "06.ADF", StoredChart("accounts", "header", {})));
        auto file = TEntityInfo::Create(code, {Standard, Load});
        file->OpenYear();
        return file;
    }

    void OpenFile(const QString& code, int periods = 12) {
        File = OpenRecord(code, periods);
        Chart = File->AccountsChart(2006);
        for (const QString text : {"0200:ACC:C", "0300:ACC:C", "0500:ACC:", "1000:ACC:D", "1100:ACC:D",
                                   "3000:ACC:D", "2000:BNK:D", "2100:BNK:D", "9100:SUS:"}) {
            auto account = std::make_unique<TAccountDetail>(Chart->Format());
            account->SetCode(Code(text.section(':', 0, 0)));
            account->DeriveAccountType(text.section(':', 1, 1));
            if (!text.section(':', 2).isEmpty())
                account->SetSignText(text.section(':', 2));
            ASSERT_GE(Chart->AddAccount(std::move(account)), 0);
        }
        Chart->SetDefaultAccount(Chart->IndexOfCode(Code("9100")), true);
    }

    TAccountCode Code(const QString& text) const {
        TAccountCode code;
        EXPECT_TRUE(text.isEmpty() || Chart->Format()->TextToCode(text, code, false, false))
            << text.toStdString();
        return code;
    }

    // Writes the entries as the month files of their kinds.
    void WriteEntries(const std::vector<TEntry>& entries) {
        std::map<std::pair<int, int>, std::unique_ptr<TTransactionList>> lists;
        for (const TEntry& e : entries) {
            int year = 2006;
            const int period = IsOneFileKind(e.Kind) ? 1 : PeriodOfDate(12, 6, year, e.Date);
            auto& list = lists[{e.Kind, period}];
            if (!list)
                list = std::make_unique<TTransactionList>(File->ListSources(2006), e.Kind, 2006, period, 12,
                                                          TOptionSet{Standard});
            auto entry = std::make_unique<TTransactionDetail>(0, static_cast<qint16>(e.Kind));
            entry->SetFlags({TF::Keyed});
            std::tie(entry->Date, entry->Reference, entry->Amount) = std::tuple(e.Date, 1, e.Amount);
            std::tie(entry->PostingCode, entry->BankCode) = std::tuple(Code(e.Posting), Code(e.Bank));
            entry->ID = list->TakeNextID(list->EntryMonthSlot(*entry));
            list->AddTransaction(std::move(entry), 0);
        }
        for (auto& [key, list] : lists) {
            TOptionSet options{Standard};
            ASSERT_EQ(list->SaveToFile(options, false, true), 0);
        }
    }

    // The books: receipts into income (one of them a refund of purchases), payments to expenses
    // and to a balance-sheet account, an opening balance, a payment from the second bank, one on
    // the year's last day, and bank-statement deposits and withdrawals on the edges of a month.
    void WriteBooks() {
        WriteEntries({{pkReceipts, Day(7, 5), "0200", "2000", 1000.10},
                      {pkReceipts, Day(7, 20), "0300", "2000", 12.34},
                      {pkReceipts, Day(8, 10), "0200", "2000", 250.25},
                      {pkReceipts, Day(11, 15), "0500", "2000", 60.00},
                      {pkReceipts, Day(12, 1), "1000", "2000", 50.00},
                      {pkPayments, Day(7, 7), "1000", "2000", 400.40},
                      {pkPayments, Day(8, 3), "3000", "2000", 500.00},
                      {pkPayments, Day(9, 1), "1100", "2000", 99.99},
                      {pkPayments, Day(1, 10), "1100", "2100", 20.00},
                      {pkPayments, Day(6, 30), "1000", "2000", 10.00},
                      {pkOpeningBalances, Day(7, 1), "3000", "2000", 5000.00},
                      {pkBankStatementDeposits, Day(7, 8), "", "2000", 1000.10},
                      {pkBankStatementDeposits, Day(8, 12), "", "2000", 250.25},
                      {pkBankStatementWithdrawals, Day(7, 31), "", "2000", 400.40},
                      {pkBankStatementWithdrawals, Day(8, 1), "", "2000", 12.00}});
    }

    static void ExpectValues(const QList<double>& actual, const QList<double>& expected) {
        ASSERT_EQ(actual.size(), expected.size());
        for (int i = 0; i < actual.size(); ++i)
            EXPECT_NEAR(actual[i], expected[i], 0.001) << Months.value(i).toStdString();
    }

    std::unique_ptr<TEntityInfo> File;
    TAccountsChart* Chart = nullptr;
};

const QList<double> Income = ByMonth({{1, 1012.44}, {2, 250.25}, {5, 60.00}});
const QList<double> Expenses = ByMonth({{1, 400.40}, {3, 99.99}, {6, -50.00}, {7, 20.00}, {12, 10.00}});

QList<double> YearToDate(const QList<double>& values) {
    QList<double> running;
    std::partial_sum(values.begin(), values.end(), std::back_inserter(running));
    return running;
}

} // namespace

// Income and expenses per period are the hand sums of the entries: income positive, a refund
// lowering expenses, balance-sheet postings and the opening balance left out.
TEST_F(GraphsTest, IncomeAndExpensesByPeriod) {
    WriteBooks();
    const TGraphData graph = IncomeExpenseGraph(*File, 50);
    EXPECT_EQ(graph.Title, "ABC123 Income and Expenses 2006");
    EXPECT_EQ(graph.Gallery, TChartGallery::Bar);
    EXPECT_EQ(graph.SeriesLegends, (QStringList{"Income", "Expenses"}));
    EXPECT_EQ(graph.PointLegends, Months);
    ASSERT_EQ(graph.Values.size(), 2);
    ExpectValues(graph.Values[0], Income);
    ExpectValues(graph.Values[1], Expenses);
    // The run used private charts: the file's own accounts carry no amounts.
    EXPECT_EQ(Chart->GetAccount(Chart->IndexOfCode(Code("0200")))->GetPeriodAmount(1), 0.0);
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    EXPECT_EQ(Progress->Created, 1);
}

// The year-to-date graph runs through the year; its last point is the year's total of graph 50.
TEST_F(GraphsTest, YearToDateAddsUpThePeriods) {
    WriteBooks();
    const TGraphData byPeriod = IncomeExpenseGraph(*File, 50);
    const TGraphData graph = IncomeExpenseGraph(*File, 51);
    EXPECT_EQ(graph.Title, "ABC123 Year to Date Income and Expenses 2006");
    EXPECT_EQ(graph.Gallery, TChartGallery::Line);
    ASSERT_EQ(graph.Values.size(), 2);
    ExpectValues(graph.Values[0], YearToDate(Income));
    ExpectValues(graph.Values[1], YearToDate(Expenses));
    for (int serie = 0; serie < 2; ++serie)
        EXPECT_NEAR(graph.Values[serie].last(),
                    std::accumulate(byPeriod.Values[serie].begin(), byPeriod.Values[serie].end(), 0.0),
                    0.001);
    EXPECT_NEAR(graph.Values[0].last(), 1322.69, 0.001);
    EXPECT_NEAR(graph.Values[1].last(), 480.39, 0.001);
}

// Cash book and bank statement close each period with the running sums through its last day:
// a withdrawal on 31 July counts in July, one on 1 August in August.
TEST_F(GraphsTest, BankBalancesAtEachPeriodEnd) {
    WriteBooks();
    const TGraphData graph = BankBalanceGraph(*File);
    EXPECT_EQ(graph.Title, "ABC123 Cash Book and Bank Statement Balances 2006");
    EXPECT_EQ(graph.Gallery, TChartGallery::Line);
    EXPECT_EQ(graph.SeriesLegends, (QStringList{"Cash Book", "Bank Statement"}));
    EXPECT_EQ(graph.PointLegends, Months);
    ASSERT_EQ(graph.Values.size(), 2);
    ExpectValues(graph.Values[0], {612.04, 362.29, 262.30, 262.30, 322.30, 372.30, 352.30, 352.30, 352.30,
                                   352.30, 352.30, 342.30});
    ExpectValues(graph.Values[1], {599.70, 837.95, 837.95, 837.95, 837.95, 837.95, 837.95, 837.95, 837.95,
                                   837.95, 837.95, 837.95});
}

// A file of quarterly periods gets four points, each the sum of its three months.
TEST_F(GraphsTest, LongerPeriodsGatherTheirMonths) {
    OpenFile("QTR001", 4);
    WriteBooks();
    const TGraphData graph = IncomeExpenseGraph(*File, 50);
    EXPECT_EQ(graph.PointLegends, (QStringList{"Jul 05 - Sep 05", "Oct 05 - Dec 05", "Jan 06 - Mar 06",
                                               "Apr 06 - Jun 06"}));
    ASSERT_EQ(graph.Values.size(), 2);
    ExpectValues(graph.Values[0], {1262.69, 60.00, 0, 0});
    ExpectValues(graph.Values[1], {500.39, -50.00, 20.00, 10.00});
    const TGraphData bank = BankBalanceGraph(*File);
    ExpectValues(bank.Values[0], {262.30, 372.30, 352.30, 342.30});
}

// A new file with no taxes, no accounts but its suspense account and no entries still graphs.
TEST_F(GraphsTest, EmptyFileGivesNilGraphs) {
    const auto empty = OpenRecord("NEW001");
    ASSERT_FALSE(empty->EntityDetail().Tax);
    for (const TGraphData& graph :
         {IncomeExpenseGraph(*empty, 50), IncomeExpenseGraph(*empty, 51), BankBalanceGraph(*empty)}) {
        SCOPED_TRACE(graph.Title.toStdString());
        ASSERT_EQ(graph.Values.size(), 2);
        for (const QList<double>& values : graph.Values)
            ExpectValues(values, QList<double>(12, 0.0));
    }
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    EXPECT_THROW(IncomeExpenseGraph(*empty, 52), EQuilvaneError);
}

// A run that fails shows its own box and gives no graph; a cancel reaches the caller.
TEST_F(GraphsTest, FailedOrCancelledRunsGiveNoGraph) {
    WriteBooks();
    Progress->CancelAtUpdate = Progress->Updates + 2;
    EXPECT_THROW(BankBalanceGraph(*File), EOperationCancelled);
    EXPECT_EQ(Progress->Open, 0);

    Chart->DeleteItem(Chart->IndexOfCode(Code("0300")));
    Prompt->Answer(TMessageButton::OK);
    EXPECT_TRUE(IncomeExpenseGraph(*File, 50).IsEmpty());
    EXPECT_EQ(Prompt->Texts(),
              (QStringList{"Unable to continue - accounts error. Please perform data integrity "
                           "check for the 2006 processing year now."}));
}

// Loading follows the chart's order and fits the value axis from nil to the values.
TEST_F(GraphsTest, LoadGraphFillsTheChart) {
    TGraphData data;
    data.Title = "Test graph";
    data.Gallery = TChartGallery::Line;
    data.PointLegends = {"Jul 2005", "Aug 2005", "Sep 2005"};
    data.SeriesLegends = {"Cash Book", "Bank Statement"};
    data.Values = {{120.5, -35.25, 0}, {12, 250, 80}};
    TChartModel chart;
    // An earlier graph's constant line and axis do not stay.
    chart.OpenData(TChartDataKind::ConstantLines, 1);
    chart.SetConstantValue(0, 5000);
    chart.CloseData(TChartDataKind::ConstantLines);
    chart.SetAxisScale(1, 9000);
    LoadGraph(data, chart);
    const TChartContent& shown = chart.Shown();
    EXPECT_EQ(shown.Series, 2);
    EXPECT_EQ(shown.Points, 3);
    EXPECT_EQ(shown.Values, (QList<double>{120.5, -35.25, 0, 12, 250, 80}));
    EXPECT_TRUE(shown.ConstantValues.isEmpty());
    EXPECT_EQ(chart.ChartType(), int(TChartGallery::Line));
    EXPECT_EQ(chart.GetTitle(2), "Test graph");
    EXPECT_EQ(shown.PointLegends, data.PointLegends);
    EXPECT_EQ(shown.SeriesLegends, data.SeriesLegends);
    EXPECT_EQ(chart.Decimals(), 2);
    EXPECT_EQ(chart.GetAxisScale(0), -40.0);
    EXPECT_EQ(chart.GetAxisScale(1), 300.0);
    EXPECT_EQ(chart.GetAxisScale(2), 34.0);

    // All nil: the axis still spans a range.
    data.Values = {{0, 0, 0}};
    LoadGraph(data, chart);
    EXPECT_EQ(chart.GetAxisScale(0), 0.0);
    EXPECT_EQ(chart.GetAxisScale(1), 100.0);
    EXPECT_EQ(chart.NSeries(), 1);
}

namespace {

// The graphs window over the written books.
class GraphsWindowTest : public GraphsTest {
protected:
    void SetUp() override {
        GraphsTest::SetUp();
        WriteBooks();
        Window = std::make_unique<TfmGraphs>();
    }
    void TearDown() override {
        Window.reset();
        GraphsTest::TearDown();
    }
    const TChartContent& Shown() const { return Window->Chart()->Model().Shown(); }
    QStringList ListTexts() const {
        QStringList texts;
        for (int i = 0; i < Window->GraphList()->count(); ++i)
            texts << Window->GraphList()->itemText(i);
        return texts;
    }

    std::unique_ptr<TfmGraphs> Window;
};

} // namespace

TEST_F(GraphsWindowTest, GraphsAreAddedAndListed) {
    EXPECT_EQ(Window->GraphCount(), 0);
    EXPECT_FALSE(Window->PrintButton()->isEnabled());
    EXPECT_FALSE(Window->SaveAsButton()->isEnabled());
    EXPECT_TRUE(Window->OpenButton()->isEnabled());
    EXPECT_FALSE(Window->SaveGraph(TempPath("none.qvg")));

    Window->GraphReport(*File, 50);
    Window->GraphBankReconciliation(*File);
    EXPECT_EQ(Window->GraphCount(), 2);
    EXPECT_EQ(Window->CurrentGraph(), 1);
    EXPECT_EQ(ListTexts(),
              (QStringList{"ABC123 Income and Expenses 2006", "ABC123 Cash Book and Bank Statement "
                                                              "Balances 2006"}));
    EXPECT_EQ(Window->GraphList()->currentIndex(), 1);
    EXPECT_TRUE(Window->PrintButton()->isEnabled() && Window->SaveAsButton()->isEnabled());
    EXPECT_EQ(Window->PrintButton()->text(), "&Print...");
    EXPECT_EQ(Window->SaveAsButton()->text(), "&Save As...");
    EXPECT_EQ(Window->OpenButton()->text(), "&Open...");
    EXPECT_EQ(Shown().SeriesLegends, (QStringList{"Cash Book", "Bank Statement"}));
    EXPECT_EQ(Window->Placement().IniSection(), "Graphs");
    EXPECT_EQ(Window->Placement().Options(), TPlacementOption::State | TPlacementOption::Position);
}

// Picking another graph keeps the shown one as it was left (a change made in the chart too) and
// brings back the chosen one's values.
TEST_F(GraphsWindowTest, SwitchingGraphsRestoresTheirValues) {
    Window->GraphReport(*File, 50);
    const TChartContent first = Shown();
    ExpectValues(first.Values.mid(0, 12), Income);
    Window->GraphReport(*File, 51);
    const TChartContent second = Shown();
    EXPECT_NE(second.Values, first.Values);
    Window->Chart()->Model().SetTitle(0, "Dollars");

    Window->GraphList()->activated(0);
    EXPECT_EQ(Window->CurrentGraph(), 0);
    EXPECT_EQ(Shown(), first);
    ASSERT_TRUE(Window->SelectGraph(1));
    EXPECT_EQ(Shown().Values, second.Values);
    EXPECT_EQ(Shown().Titles[0], "Dollars");
}

// A saved graph opens as a new graph with the same content; the file was written whole.
TEST_F(GraphsWindowTest, SaveThenOpenRoundTrips) {
    Window->GraphBankReconciliation(*File);
    const TChartContent saved = Shown();
    const QString path = TempPath("bank.qvg");
    ASSERT_TRUE(Window->SaveGraph(path));
    EXPECT_EQ(ReadGraphFile(path), saved);
    Window->GraphReport(*File, 50);

    ASSERT_TRUE(Window->OpenGraph(path));
    EXPECT_EQ(Window->GraphCount(), 3);
    EXPECT_EQ(Window->CurrentGraph(), 2);
    EXPECT_EQ(Window->GraphTitle(2), "ABC123 Cash Book and Bank Statement Balances 2006");
    EXPECT_EQ(Shown(), saved);

    // A graph without a title is listed by its file's name.
    TChartContent untitled = saved;
    untitled.Titles[2].clear();
    WriteGraphFile(untitled, TempPath("plain.qvg"));
    ASSERT_TRUE(Window->OpenGraph(TempPath("plain.qvg")));
    EXPECT_EQ(Window->GraphTitle(3), "plain");
    EXPECT_TRUE(Prompt->Shown.isEmpty());
}

// A graph file that cannot be read is shown in an error box and adds nothing.
TEST_F(GraphsWindowTest, UnreadableGraphFileAddsNothing) {
    Window->GraphReport(*File, 50);
    const TChartContent shown = Shown();
    ASSERT_TRUE(Window->SaveGraph(TempPath("whole.qvg")));
    const QByteArray whole = ReadFileBytes(TempPath("whole.qvg"));
    ASSERT_TRUE(WriteFileBytes(TempPath("cut.qvg"), whole.chopped(5)));
    ASSERT_TRUE(WriteFileBytes(TempPath("other.qvg"), "not a graph at all"));
    struct TCase {
        QString Name;
        QString TextStart;
    };
    const TCase cases[] = {
        {"cut.qvg", "The graph file " + TempPath("cut.qvg") + " is damaged ("},
        {"other.qvg", TempPath("other.qvg") + " is not a graph file of this program."},
        {"missing.qvg", "The graph file " + TempPath("missing.qvg") + " cannot be opened ("},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name.toStdString());
        Prompt->Shown.clear();
        Prompt->Beeps.clear();
        Prompt->Answer(TMessageButton::OK);
        EXPECT_FALSE(Window->OpenGraph(TempPath(c.Name)));
        ASSERT_EQ(Prompt->Shown.size(), 1);
        EXPECT_TRUE(Prompt->Shown[0].Text.startsWith(c.TextStart)) << Prompt->Shown[0].Text.toStdString();
        EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Error);
        EXPECT_EQ(Prompt->Beeps, (QList<TBeep>{TBeep::Error}));
        EXPECT_EQ(Window->GraphCount(), 1);
        EXPECT_EQ(Shown(), shown);
    }
}

// Closing a file drops its graphs only; when the shown one goes, the one before it shows.
TEST_F(GraphsWindowTest, DetachDropsOnlyThatFilesGraphs) {
    const auto other = OpenRecord("XYZ999");
    Window->GraphReport(*other, 51);
    const TChartContent otherGraph = Shown();
    Window->GraphReport(*File, 50);
    Window->GraphBankReconciliation(*File);
    ASSERT_TRUE(Window->SaveGraph(TempPath("saved.qvg")));
    ASSERT_TRUE(Window->OpenGraph(TempPath("saved.qvg")));
    ASSERT_TRUE(Window->SelectGraph(2));
    ASSERT_EQ(Window->GraphCount(), 4);

    Window->DetachEntity(*File);
    EXPECT_EQ(ListTexts(), (QStringList{"XYZ999 Year to Date Income and Expenses 2006",
                                        "ABC123 Cash Book and Bank Statement Balances 2006"}));
    EXPECT_EQ(Window->CurrentGraph(), 0);
    EXPECT_EQ(Window->GraphList()->currentIndex(), 0);
    EXPECT_EQ(Shown(), otherGraph);

    // The opened graph belongs to no file; the other file's graphs go with it.
    Window->DetachEntity(*other);
    EXPECT_EQ(Window->GraphCount(), 1);
    EXPECT_EQ(Window->CurrentGraph(), 0);
    EXPECT_EQ(Shown().SeriesLegends, (QStringList{"Cash Book", "Bank Statement"}));
    Window->DetachEntity(*File);
    EXPECT_EQ(Window->GraphCount(), 1);
}

TEST_F(GraphsWindowTest, DetachingTheLastGraphsEmptiesTheChart) {
    Window->GraphReport(*File, 50);
    Window->DetachEntity(*File);
    EXPECT_EQ(Window->GraphCount(), 0);
    EXPECT_EQ(Window->CurrentGraph(), -1);
    EXPECT_EQ(Shown(), TChartContent{});
    EXPECT_FALSE(Window->PrintButton()->isEnabled());
}

// Failed and cancelled runs add nothing to the window and raise nothing out of it.
TEST_F(GraphsWindowTest, FailedRunsAddNothing) {
    Chart->DeleteItem(Chart->IndexOfCode(Code("1100")));
    Prompt->Answer(TMessageButton::OK);
    Window->GraphReport(*File, 51);
    EXPECT_EQ(Prompt->Shown.size(), 1);
    Progress->CancelAtUpdate = Progress->Updates + 1;
    EXPECT_NO_THROW(Window->GraphBankReconciliation(*File));
    EXPECT_EQ(Prompt->Shown.size(), 1);
    Prompt->Answer(TMessageButton::OK);
    Window->GraphReport(*File, 7);
    EXPECT_EQ(Prompt->Texts().value(1), "Report 7 is not an income and expense graph.");
    EXPECT_EQ(Window->GraphCount(), 0);
}

TEST_F(GraphsWindowTest, PrintWritesAPdf) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString path = TempPath("graph.pdf");
    printer.setOutputFileName(path);
    Window->PrintGraph(printer);
    EXPECT_FALSE(QFile::exists(path)); // no graph: nothing printed

    Window->GraphReport(*File, 50);
    Window->PrintGraph(printer);
    const QByteArray bytes = ReadFileBytes(path);
    EXPECT_TRUE(bytes.startsWith("%PDF")) << bytes.left(16).toStdString();
    EXPECT_GT(bytes.size(), 1000);
}
