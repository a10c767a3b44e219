// Run parameters: starting values, dates and quarters, private charts, groups, opening chart.

#include "core/entity/RunParams.h"
#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/charts/StdDescChart.h"
#include "core/charts/TaxRateChart.h"
#include "core/common/Exceptions.h"
#include "core/common/ResultCodes.h"
#include "core/dates/DateNumbers.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/SubsystemServices.h"
#include "core/files/Paths.h"
#include "core/logs/LogList.h"
#include "core/logs/LogSession.h"
#include "tests/core/ChartTestSupport.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FixedClock.h"

class RunParamsTest : public TChartTest {
protected:
    void SetUp() override {
        TChartTest::SetUp();
        TServices::SetClock(std::make_shared<TFixedClock>(QDateTime(QDate(2006, 3, 15), QTime(12, 0))));
        Params->LicFilePath = Temp.path();
        Detail = TEntityDetail::Create("ABC123", {Option::NoLock});
        Detail->DataDir = Temp.path();
        Detail->Periods = 4;
        Detail->Tax = Detail->Quantity = false;
        // Sorted: 1000, 2000 and 2100 (banks), 4000, 9100 (suspense).
        FileAccounts = AccountsOf({"1000", "2000:BNK", "2100:BNK", "9100:SUS", "4000"});
        File = {nullptr, Detail.get(), FileAccounts.get(), nullptr, nullptr, nullptr, &FileBankRec};
    }
    static double Day(int year, int month, int day) { return EncodeDateNum(year, month, day); }
    static constexpr quint16 K07 = 0x00FF, K013 = 0x3FFF, K17 = 0x00FE;
    std::unique_ptr<TReportSetup> Run(int reportType, int processKind, bool privateCharts = false) {
        return std::make_unique<TReportSetup>(File, reportType, processKind, 2006, privateCharts);
    }

    std::unique_ptr<TEntityDetail> Detail;
    std::unique_ptr<TAccountsChart> FileAccounts;
    std::unique_ptr<TBankRecOpeningDetailChart> FileBankRec;
    TRunFile File;
};

TEST_F(RunParamsTest, StartingValuesFollowReportTypeAndProcessKind) {
    struct TCase {
        int Type, Kind;
        quint16 Kinds, StartKinds;
        quint32 Mask, SecondMask;
        int Width, SecondOutput, MovementsOnly, PeriodsPerYear /* the record holds 4 */, FormCode;
    };
    // One row per branch that does more than set a constant: the kinds a transfer from a client
    // drops, the second mask of types 3 and 4, the ends of the report-type ranges and the
    // activity-statement forms.
    // clang-format off
    const TCase cases[] = {
        {0, 1, K07, K07, 2099, 2187, 35, 3, 0, 12, 0}, {0, 7, 0x33F6, K013, 16417, 2187, 35, 3, 0, 4, 0},
        {0, 13, 0x0300, 0x0300, 65583, 2187, 35, 3, 0, 12, 0}, {71, 0, K07, K07, 32769, 2219, 35, 1, 0, 12, 'T'},
        {22, 0, K07, K07, 32775, 2187, 35, 3, 1, 4, 0}, {23, 0, K07, K07, 32768, 2187, 35, 3, 0, 4, 0},
        {31, 0, K07, K07, 32775, 2187, 35, 3, 1, 4, 0}, {3, 0, K07, K07, 32883, 6283, 35, 3, 0, 4, 0},
        {4, 0, K013, K013, 33651, 2191, 35, 3, 0, 4, 0}, {50, 0, K17, K17, 1079, 2187, 35, 3, 1, 4, 0},
        {52, 0, 0x0306, 0x0306, 7, 2187, 35, 3, 1, 4, 0}, {53, 0, K07, K07, 0, 2187, 40, 1, 0, 4, 0},
        {54, 0, K07, K07, 0, 2187, 35, 1, 0, 4, 0}, {58, 0, K07, K07, 32768, 2187, 40, 1, 0, 4, 0},
        {61, 0, K07, K07, 0, 2187, 35, 3, 0, 4, 0}, {68, 0, K07, K07, 0, 2187, 40, 1, 0, 4, 0},
        {69, 0, K07, K07, 32769, 2219, 35, 1, 0, 12, 'b'}, {70, 0, K07, K07, 32769, 2219, 35, 1, 0, 12, 'e'},
        {74, 0, K07, K07, 32769, 4015, 30, 1, 0, 12, 'p'}, {75, 0, K07, K07, 32769, 4015, 30, 1, 0, 12, 'i'},
        {79, 0, K07, K07, 32768, 2219, 35, 1, 0, 12, 'b'}};
    // clang-format on
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "report " << c.Type << " process " << c.Kind);
        const auto run = Run(c.Type, c.Kind);
        EXPECT_EQ(std::tuple(run->PageKinds, run->StartPageKinds, run->ParamMask, run->SecondMask),
                  std::tuple(c.Kinds, c.StartKinds, c.Mask, c.SecondMask));
        EXPECT_EQ(
            std::tuple(run->ReportWidth, int(run->SecondOutput), run->MovementsOnly, run->PeriodsPerYear),
            std::tuple(c.Width, c.SecondOutput, c.MovementsOnly, c.PeriodsPerYear));
        EXPECT_EQ(run->FormCode, c.FormCode ? QChar(c.FormCode) : QChar());
        EXPECT_EQ(run->ColumnSet, c.Kind == 7 ? 0x30055535u : 0x35555535u);
    }
}

TEST_F(RunParamsTest, TaxesAndQuantitiesJoinTheSecondMaskAsBits) {
    // {report type, taxes, quantities, second mask}: 4015 already holds 32.
    const std::tuple<int, bool, bool, quint32> cases[] = {{1, true, false, 2187 | 32},
                                                          {3, false, true, 6283 | 16},
                                                          {4, true, false, 2187 | 36},
                                                          {72, true, false, 4015},
                                                          {73, true, false, 4015 & ~32u}};
    for (const auto& [type, tax, quantity, mask] : cases) {
        SCOPED_TRACE(testing::Message() << "report " << type << " tax " << tax);
        Detail->Tax = tax;
        Detail->Quantity = quantity;
        EXPECT_EQ(Run(type, 0)->SecondMask, mask);
    }
}

TEST_F(RunParamsTest, TitlesOutputTextsAndRefusedNumbers) {
    EXPECT_EQ(Run(0, 16)->Title, "Data integrity Check");
    EXPECT_EQ(Run(0, 1)->OutputText, Temp.path() + "\\ABC12306");
    TServices::ProgramPathText() = "P:\\WORKBOOKS";
    EXPECT_EQ(Run(0, 21)->OutputText, "P:\\WORKBOOKS");
    EXPECT_EQ(Run(77, 0)->OutputText, "P:\\WORKBOOKS");
    const auto run = Run(0, 16);
    run->SetSpecialReport(12);
    run->SetSpecialReport(0);
    EXPECT_EQ(run->Title, "Bring Forward");
    for (const auto& [type, kind] : {std::pair{80, 0}, {-1, 0}, {0, 23}, {0, -1}})
        EXPECT_THROW(Run(type, kind), EQuilvaneError) << type << "/" << kind;
    File.Detail = nullptr;
    EXPECT_THROW(Run(1, 0), EQuilvaneError);
    // Comma-delimited output needs destination 1 and file format 1.
    EXPECT_FALSE(run->IsCommaDelimited());
    run->Destination = 1;
    EXPECT_FALSE(run->IsCommaDelimited());
    run->FileFormat = 1;
    EXPECT_TRUE(run->IsCommaDelimited());
}

// The imports start from the file's data folder: with the name of the file their import format
// reads when banking gives one (a name only, wherever the format says it lies), else the folder
// alone, so that the run-parameter window's File field is never blank.
TEST_F(RunParamsTest, ImportsNameTheImportFormatsFileInTheFilesFolder) {
    const QString folder = Temp.path() + "\\";
    struct TCase {
        int Kind;
        const char* Given; // nullptr: banking gives no name at all
        QString Output;
    };
    const TCase cases[] = {
        {2, nullptr, folder},
        {22, nullptr, folder},
        {2, "", folder},
        {2, "  ", folder},
        {2, "STATEMNT.QIF", folder + "STATEMNT.QIF"},
        {22, "trans.csv", folder + "trans.csv"},
        {2, "C:\\BANK\\..\\NAB.QIF", folder + "NAB.QIF"},
        {22, "../up/BANK.CSV", folder + "BANK.CSV"},
        {2, "C:\\BANK\\", folder},
        {1, "IGNORED.QIF", Temp.path() + "\\ABC12306"}, // the export names its own file
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(QString("%1 %2").arg(c.Kind).arg(c.Given ? c.Given : "(none)").toStdString());
        QList<int> asked;
        TSubsystemServices::Reset();
        if (c.Given)
            TSubsystemServices::Installed().ImportFileName = [&](const TEntityDetail& detail, int kind) {
                EXPECT_EQ(&detail, Detail.get());
                asked << kind;
                return QString::fromLatin1(c.Given);
            };
        EXPECT_EQ(Run(0, c.Kind)->OutputText, c.Output);
        EXPECT_EQ(asked, c.Given && c.Kind != 1 ? QList<int>{c.Kind} : QList<int>{});
    }
    // A folder already ending in its separator gets no second one.
    TSubsystemServices::Reset();
    Detail->DataDir = "D:\\CLIENTS\\";
    EXPECT_EQ(Run(0, 2)->OutputText, "D:\\CLIENTS\\");
}

TEST_F(RunParamsTest, DatesAndMonthlyPeriodsOfTheFinancialYear) {
    Detail->EndMonth = 12;
    EXPECT_EQ(Run(1, 0)->ToDate, Day(2006, 12, 31));
    Detail->EndMonth = 6;
    const auto run = Run(1, 0);
    EXPECT_EQ(std::pair(run->FromDate, run->ToDate), std::pair(Day(2005, 7, 1), Day(2006, 6, 30)));
    EXPECT_EQ(run->FromPeriod * 100 + run->ToPeriod, 112);
    EXPECT_EQ(run->CreatedAt, Day(2006, 3, 15) + 0.5);
    for (const auto& [date, period] :
         {std::pair{Day(2005, 7, 31), 1}, {Day(2005, 8, 1), 2}, {Day(2006, 6, 30), 12}}) {
        run->SetPeriodFrom(date);
        run->SetPeriodTo(date);
        EXPECT_EQ(run->FromPeriod * 100 + run->ToPeriod, period * 101)
            << DateNumToStr(true, date).toStdString();
        EXPECT_EQ(run->FromDate + run->ToDate, 2 * date);
    }
}

TEST_F(RunParamsTest, PeriodLabelAndSecondaryRangeUseTheQuarterOfTheToPeriod) {
    const auto run = Run(69, 0);
    run->SetPeriodTo(Day(2005, 12, 31)); // the second quarter: October to December
    // clang-format off
    const std::tuple<double, double, QString> labels[] = {{Day(2005, 10, 1), Day(2005, 12, 31), "QUARTER"},
        {Day(2005, 12, 1), Day(2005, 12, 31), "MONTH"}, {Day(2005, 7, 1), Day(2005, 9, 30), "MONTH"}};
    // clang-format on
    for (const auto& [from, to, label] : labels) {
        QString text;
        run->PeriodLabel(text, from, to);
        EXPECT_EQ(text, label) << DateNumToStr(true, from).toStdString();
    }
    // {to period, period type, first period of the quarter (0: the main range), its dates}
    // clang-format off
    const std::tuple<int, int, int, double, double> cases[] = {
        {5, 0, 0, 0, 0}, {11, 0, 0, 0, 0}, {6, 2, 0, 0, 0}, {6, 0, 4, Day(2005, 10, 1), Day(2005, 12, 31)},
        {3, 1, 1, Day(2005, 7, 1), Day(2005, 9, 30)}, {12, 0, 10, Day(2006, 4, 1), Day(2006, 6, 30)},
        {0, 0, 1, Day(2005, 7, 1), Day(2005, 9, 30)}, {13, 0, 10, Day(2006, 4, 1), Day(2006, 6, 30)}};
    // clang-format on
    for (const auto& [toPeriod, periodType, first, from, to] : cases) {
        SCOPED_TRACE(testing::Message() << "to period " << toPeriod << " type " << periodType);
        run->SetPeriodFrom(Day(2005, 8, 1));
        run->ToPeriod = toPeriod;
        run->ToDate = Day(2006, 2, 14);
        run->PeriodType = periodType;
        run->CalcSecondaryRange();
        EXPECT_EQ(std::tuple(run->SecondaryFromPeriod, run->SecondaryToPeriod),
                  first ? std::tuple(first, first + 2) : std::tuple(2, toPeriod));
        EXPECT_EQ(std::pair(run->SecondaryFromDate, run->SecondaryToDate),
                  first ? std::pair(from, to) : std::pair(Day(2005, 8, 1), Day(2006, 2, 14)));
    }
}

TEST_F(RunParamsTest, BankGroupsTakeSuspenseAccountsExceptForStatementRuns) {
    const QString banks = FileAccounts->GetCode(1) + "," + FileAccounts->GetCode(2);
    const QString withSuspense = banks + "," + FileAccounts->GetCode(4);
    const std::tuple<int, int, bool> cases[] = {{52, 0, false}, {0, 2, false}, {0, 13, false},
                                                {1, 0, true},   {0, 16, true}, {51, 0, true}};
    for (const auto& [type, kind, suspense] : cases) {
        SCOPED_TRACE(testing::Message() << type << "/" << kind);
        const auto run = Run(type, kind);
        EXPECT_EQ(run->BankGroupsText, suspense ? withSuspense : banks);
        ASSERT_NE(run->BankGroups, nullptr);
        EXPECT_EQ(run->BankGroups->Contains(Code("9100")), suspense);
        EXPECT_EQ(run->AccountGroupsText, "00-0000-00 to 99-9999-99");
        EXPECT_TRUE(run->AccountGroups->Contains(Code("9100")));
    }
    File.Accounts = nullptr; // no chart: no bank accounts, the whole range still
    EXPECT_EQ(Run(1, 0)->BankGroups->Count() * 10 + Run(1, 0)->AccountGroups->Count(), 1);
}

TEST_F(RunParamsTest, PrivateChartsAreCopiesThatAreNeverWritten) {
    TOptionSet options;
    TStdDescChart descs(Entity, {}, 2006);
    ASSERT_GE(descs.AddDescription("RNT", "Rent received"), 0);
    descs.Saved = false;
    File.StdDescs = &descs;
    const auto shared = Run(1, 0);
    EXPECT_TRUE(shared->StdDescs == &descs && shared->Accounts == FileAccounts.get());
    FileAccounts->GetAccount(0)->Description = "Sales";
    FileAccounts->AddToAccountBalance(0, 12.5);
    {
        const auto run = Run(1, 0, true);
        ASSERT_TRUE(run->Accounts && run->StdDescs && run->TaxRates && run->CurrencyRates);
        // The unsaved descriptions were written so that the copy reads them back.
        EXPECT_TRUE(descs.Saved);
        EXPECT_EQ(Keys(*run->StdDescs), "RNT");
        EXPECT_EQ(Keys(*run->Accounts), Keys(*FileAccounts));
        EXPECT_EQ(run->Accounts->GetAccount(0)->Description, "Sales");
        EXPECT_TRUE(run->Accounts->StdDescriptions() == run->StdDescs &&
                    run->TaxRates->AccountsChart() == run->Accounts);
        run->Accounts->AddToAccountBalance(1, 99);
        run->Accounts->DeleteItem(4);
        run->Accounts->Saved = false;
        EXPECT_TRUE(FileAccounts->GetAccountBalance(1) == 0 && FileAccounts->Count() == 5);
        EXPECT_EQ(run->Accounts->SaveIfModified(options), ChartResult::Refused);
    }
    EXPECT_FALSE(QFile::exists(NativePath(FileAccounts->GetFileName({}))));

    // Without a chart of the file's own the copy is read from the chart's file.
    ASSERT_EQ(FileAccounts->SaveToFile(options), ResultCode::Success);
    File.Accounts = nullptr;
    EXPECT_EQ(Keys(*Run(1, 0, true)->Accounts), Keys(*FileAccounts));
}

TEST_F(RunParamsTest, BankRecOpeningChartBelongsToTheRunThatMadeIt) {
    const std::tuple<int, int, bool> cases[] = {{53, 0, true}, {56, 0, true},  {0, 4, true},
                                                {0, 5, true},  {52, 0, false}, {57, 0, false}};
    for (const auto& [type, kind, creates] : cases) {
        SCOPED_TRACE(testing::Message() << type << "/" << kind);
        auto run = Run(type, kind);
        EXPECT_EQ(FileBankRec != nullptr, creates);
        run.reset();
        EXPECT_EQ(FileBankRec, nullptr);
    }
    // A report inside a reset shares the reset's chart.
    auto reset = Run(0, 5);
    TBankRecOpeningDetailChart* chart = FileBankRec.get();
    Run(53, 0).reset();
    EXPECT_EQ(FileBankRec.get(), chart);
    reset.reset();
    EXPECT_EQ(FileBankRec, nullptr);
    // A chart the file already held outlives every run.
    FileBankRec = std::make_unique<TBankRecOpeningDetailChart>(Entity, nullptr, Format(), TOptionSet{}, 2006);
    chart = FileBankRec.get();
    Run(0, 4).reset();
    EXPECT_EQ(FileBankRec.get(), chart);
}

TEST_F(RunParamsTest, LogEntryCarriesTheRunsFileRangeAndModeBits) {
    const auto run = Run(0, 1);
    run->PageKinds = 0x0006;
    run->FromPeriod = 3;
    run->ToPeriod = 5;
    run->RunOptions.Include(1);
    for (const auto& [mode, first, second] :
         {std::tuple{0, false, false}, {1, true, false}, {2, false, true}, {3, true, true}}) {
        run->CodeMapping = mode;
        const TLogDetails entry = run->LogDetails();
        EXPECT_EQ(std::pair(entry.FirstFlag, entry.SecondFlag), std::pair(first, second)) << mode;
        EXPECT_EQ(
            std::tuple(entry.FileCode, entry.FileSpec, entry.ProcessKind, int(entry.PageKinds),
                       entry.DateFrom, entry.DateTo, entry.Value1, entry.Value2, bool(entry.Option1)),
            std::tuple(QString("ABC123"), run->OutputText, 1, 6, run->FromDate, run->ToDate, 3, 5, true));
        EXPECT_FALSE(entry.UserName.isEmpty());
    }
}

// A run's opening chart with changes is never dropped unsaved: a run that ends without its close
// leaves the chart, changes and all, with the file.
TEST_F(RunParamsTest, AModifiedOpeningChartOutlivesARunThatEndsWithoutItsClose) {
    auto run = Run(0, 4);
    TBankRecOpeningDetailChart* chart = FileBankRec.get();
    ASSERT_NE(chart, nullptr);
    chart->Saved = false;
    run.reset();
    ASSERT_EQ(FileBankRec.get(), chart);
    EXPECT_FALSE(chart->Saved);
    EXPECT_FALSE(QFile::exists(NativePath(chart->GetFileName({}))));
}

// The end of a run that made the opening chart: changes are written, or dropped only on purpose.
TEST_F(RunParamsTest, ClosingARunSavesItsOpeningChartAndDiscardingDropsIt) {
    const QString stored = NativePath(Detail->ChartEntity().DataDir) + "/BANK_REC/ABC12306.BOB";
    // Closed unchanged: freed, nothing written.
    auto run = Run(0, 4);
    EXPECT_EQ(run->OwnBankRecOpening(), FileBankRec.get());
    EXPECT_EQ(run->Close(), 0);
    EXPECT_TRUE(FileBankRec == nullptr && !QFile::exists(stored));
    // Closed with changes: written, then freed.
    run = Run(53, 0);
    FileBankRec->Saved = false;
    EXPECT_EQ(run->Close(), 0);
    EXPECT_EQ(run->OwnBankRecOpening(), nullptr);
    EXPECT_TRUE(FileBankRec == nullptr && QFile::exists(stored));
    ASSERT_TRUE(QFile::remove(stored));
    // Discarded with changes: nothing written, freed.
    run = Run(0, 5);
    FileBankRec->Saved = false;
    run->DiscardBankRecOpening();
    EXPECT_TRUE(FileBankRec == nullptr && !QFile::exists(stored));
    run.reset();
    // A save that fails and is ignored keeps the changes with the file, to be saved later.
    const QString folder = NativePath(Detail->ChartEntity().DataDir) + "/BANK_REC";
    ASSERT_TRUE(QDir(folder).removeRecursively() && WriteFileBytes(folder, "a file, not a folder"));
    run = Run(0, 4);
    TBankRecOpeningDetailChart* chart = FileBankRec.get();
    chart->Saved = false;
    Prompt->Answer(TMessageButton::Ignore);
    EXPECT_EQ(run->Close(), -1);
    EXPECT_EQ(Prompt->Shown.size(), 1);
    run.reset();
    ASSERT_EQ(FileBankRec.get(), chart);
    EXPECT_FALSE(chart->Saved);
    // A run that shares a chart it did not make neither saves nor frees it.
    run = Run(56, 0);
    EXPECT_EQ(run->OwnBankRecOpening(), nullptr);
    EXPECT_EQ(run->Close(), 0);
    run->DiscardBankRecOpening();
    run.reset();
    EXPECT_TRUE(FileBankRec.get() == chart && !chart->Saved);
    chart->Saved = true;
}

// A time-log entry is what the run of the time-log report made for the session carries.
TEST_F(RunParamsTest, TheSessionEntryCarriesTheTimeLogRunsDefaults) {
    Detail->EndMonth = 12;
    const auto run = Run(62, 0);
    const double start = Day(2006, 3, 14) + 0.75, end = Day(2006, 4, 2) + 0.25;
    run->SetPeriodFrom(start);
    run->SetPeriodTo(end);
    const TLogDetails fromRun = run->LogDetails();
    const TLogDetails session = TLogList::SessionEntry({"ABC123", "Acme", "", "", start, end, 12});
    EXPECT_EQ(
        std::tuple(int(session.PageKinds), session.DateFrom, session.DateTo, session.RunDate, session.Value1,
                   session.Value2, bool(session.Option1), bool(session.FirstFlag), bool(session.SecondFlag)),
        std::tuple(int(fromRun.PageKinds), fromRun.DateFrom, fromRun.DateTo, fromRun.RunDate, fromRun.Value1,
                   fromRun.Value2, bool(fromRun.Option1), bool(fromRun.FirstFlag), bool(fromRun.SecondFlag)));
    EXPECT_EQ(std::tuple(int(session.PageKinds), session.Value1, session.Value2), std::tuple(K07, 3, 4));
}
