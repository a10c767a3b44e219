// Run parameters: starting values per report type and process kind, the year's dates and
// periods, private chart copies, account and bank groups, and the file's bank-reconciliation
// opening chart shared between runs.

#include "core/entity/RunParams.h"
#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/charts/CurrConvRatesChart.h"
#include "core/charts/StdDescChart.h"
#include "core/charts/TaxRateChart.h"
#include "core/common/Exceptions.h"
#include "core/common/ResultCodes.h"
#include "core/dates/DateNumbers.h"
#include "core/entity/EntityDetail.h"
#include "core/files/Paths.h"
#include "tests/core/ChartTestSupport.h"
#include "tests/support/FixedClock.h"

#include <QFileInfo>

namespace {

quint16 KindSet(std::initializer_list<int> kinds) {
    quint16 set = 0;
    for (int kind : kinds)
        set |= static_cast<quint16>(1u << kind);
    return set;
}

constexpr quint16 Kinds0To7 = 0x00FF;
constexpr quint16 Kinds0To13 = 0x3FFF;
constexpr quint16 Kinds1To7 = 0x00FE;

} // namespace

class RunParamsTest : public TChartTest {
protected:
    void SetUp() override {
        TChartTest::SetUp();
        TServices::SetClock(std::make_shared<TFixedClock>(QDateTime(QDate(2006, 3, 15), QTime(12, 0))));
        Params->LicFilePath = Temp.path();
        Detail = TEntityDetail::Create("ABC123", {Option::NoLock});
        Detail->DataDir = Temp.path();
        Detail->EntityType = "NSP";
        Detail->Periods = 4;
        Detail->Tax = false;
        Detail->Quantity = false;
        FileAccounts = AccountsOf({"1000", "2000:BNK", "2100:BNK", "9100:SUS", "4000"});
        File.Detail = Detail.get();
        File.Accounts = FileAccounts.get();
        File.BankRecOpening = &FileBankRec;
    }

    std::unique_ptr<TReportSetup> Run(int reportType, int processKind, bool privateCharts = false) {
        return std::make_unique<TReportSetup>(File, reportType, processKind, 2006, privateCharts);
    }

    std::unique_ptr<TEntityDetail> Detail;
    std::unique_ptr<TAccountsChart> FileAccounts;
    std::unique_ptr<TBankRecOpeningDetailChart> FileBankRec;
    TRunFile File;
};

// ---- Starting values ------------------------------------------------------------------------

struct TDefaultsCase {
    int ReportType;
    int ProcessKind;
    quint16 PageKinds;
    quint16 StartPageKinds;
    quint32 ParamMask;
    quint32 SecondMask;
    int Width;
    int SecondOutput;
    bool MovementsOnly;
    int PeriodsPerYear; // the record holds 4
    char FormCode;      // 0: none
};

TEST_F(RunParamsTest, StartingValuesFollowReportTypeAndProcessKind) {
    // clang-format off
    const TDefaultsCase cases[] = {
        {0, 1, Kinds0To7, Kinds0To7, 2099, 2187, 35, 3, false, 12, 0},
        {0, 2, Kinds0To7, Kinds0To7, 4111, 2187, 35, 3, false, 12, 0},
        {0, 3, KindSet({1, 2, 3, 8, 9, 10, 11}), KindSet({1, 2, 3, 8, 9, 10, 11}), 0, 2187, 35, 3, false, 4, 0},
        {0, 6, Kinds0To13, Kinds0To13, 16417, 2187, 35, 3, false, 4, 0},
        {0, 7, KindSet({1, 2, 4, 5, 6, 7, 8, 9, 12, 13}), Kinds0To13, 16417, 2187, 35, 3, false, 4, 0},
        {0, 9, Kinds0To13, Kinds0To13, 16417, 2187, 35, 3, false, 4, 0},
        {0, 12, Kinds0To7, Kinds0To7, 0, 2187, 35, 3, true, 4, 0},
        {0, 13, KindSet({8, 9}), KindSet({8, 9}), 65583, 2187, 35, 3, false, 12, 0},
        {0, 16, Kinds0To7, Kinds0To7, 0, 2187, 35, 3, false, 4, 0},
        {0, 17, KindSet({10, 11}), KindSet({10, 11}), 0, 2187, 35, 3, false, 4, 0},
        {0, 18, Kinds0To13, Kinds0To13, 0, 2187, 35, 3, false, 4, 0},
        {0, 20, Kinds0To13, Kinds0To13, 0, 2187, 35, 3, false, 4, 0},
        {0, 21, Kinds0To7, Kinds0To7, 262144, 2187, 35, 3, false, 4, 0},
        {0, 22, Kinds1To7, Kinds1To7, 8239, 2187, 35, 3, false, 12, 0},
        {1, 0, Kinds0To7, Kinds0To7, 32775, 2187, 35, 3, true, 4, 0},
        {22, 0, Kinds0To7, Kinds0To7, 32775, 2187, 35, 3, true, 4, 0},
        {23, 0, Kinds0To7, Kinds0To7, 32768, 2187, 35, 3, false, 4, 0},
        {31, 0, Kinds0To7, Kinds0To7, 32775, 2187, 35, 3, true, 4, 0},
        {30, 0, Kinds0To7, Kinds0To7, 32768, 2187, 35, 3, false, 4, 0},
        {3, 0, Kinds0To7, Kinds0To7, 32883, 6283, 35, 3, false, 4, 0},
        {4, 0, Kinds0To13, Kinds0To13, 33651, 2187 | 4, 35, 3, false, 4, 0},
        {50, 0, Kinds1To7, Kinds1To7, 1079, 2187, 35, 3, true, 4, 0},
        {51, 0, Kinds0To7, Kinds0To7, 1079, 2187, 35, 3, true, 4, 0},
        {52, 0, KindSet({1, 2, 8, 9}), KindSet({1, 2, 8, 9}), 7, 2187, 35, 3, true, 4, 0},
        {54, 0, Kinds0To7, Kinds0To7, 0, 2187, 35, 1, false, 4, 0},
        {53, 0, Kinds0To7, Kinds0To7, 0, 2187, 40, 1, false, 4, 0},
        {57, 0, Kinds0To7, Kinds0To7, 32896, 2187, 40, 3, false, 4, 0},
        {58, 0, Kinds0To7, Kinds0To7, 32768, 2187, 40, 1, false, 4, 0},
        {61, 0, Kinds0To7, Kinds0To7, 0, 2187, 35, 3, false, 4, 0},
        {62, 0, Kinds0To7, Kinds0To7, 0, 2187, 40, 1, false, 4, 0},
        {68, 0, Kinds0To7, Kinds0To7, 0, 2187, 40, 1, false, 4, 0},
        {69, 0, Kinds0To7, Kinds0To7, 32769, 2219, 35, 1, false, 12, 'b'},
        {70, 0, Kinds0To7, Kinds0To7, 32769, 2219, 35, 1, false, 12, 'e'},
        {71, 0, Kinds0To7, Kinds0To7, 32769, 2219, 35, 1, false, 12, 'T'},
        {72, 0, Kinds0To7, Kinds0To7, 32769, 4015, 30, 1, false, 12, 'p'},
        {73, 0, Kinds0To7, Kinds0To7, 32769, 4015 & ~32u, 30, 1, false, 12, 'i'},
        {75, 0, Kinds0To7, Kinds0To7, 32769, 4015 & ~32u, 30, 1, false, 12, 'i'},
        {76, 0, Kinds0To7, Kinds0To7, 1, 2219, 35, 1, false, 12, 'b'},
        {77, 0, Kinds0To7, Kinds0To7, 131072, 2219, 35, 1, false, 12, 'b'},
        {79, 0, Kinds0To7, Kinds0To7, 32768, 2219, 35, 1, false, 12, 'b'},
    };
    // clang-format on
    for (const TDefaultsCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "report " << c.ReportType << " process " << c.ProcessKind);
        const auto run = Run(c.ReportType, c.ProcessKind);
        EXPECT_EQ(run->PageKinds, c.PageKinds);
        EXPECT_EQ(run->StartPageKinds, c.StartPageKinds);
        EXPECT_EQ(run->ParamMask, c.ParamMask);
        EXPECT_EQ(run->SecondMask, c.SecondMask);
        EXPECT_EQ(run->ReportWidth, c.Width);
        EXPECT_EQ(run->SecondOutput, c.SecondOutput);
        EXPECT_EQ(run->MovementsOnly, c.MovementsOnly);
        EXPECT_EQ(run->PeriodsPerYear, c.PeriodsPerYear);
        EXPECT_EQ(run->FormCode, c.FormCode ? QChar(c.FormCode) : QChar());
        EXPECT_EQ(run->ColumnSet, c.ProcessKind == 7 ? 0x30055535u : 0x35555535u);
        EXPECT_EQ(run->Destination, 0);
        EXPECT_EQ(run->BankRecIndex, -1);
        EXPECT_FALSE(run->CurrencyConversion);
    }
}

TEST_F(RunParamsTest, TaxesAndQuantitiesJoinTheSecondMaskAsBits) {
    struct TCase {
        int ReportType;
        bool Tax;
        bool Quantity;
        quint32 SecondMask;
    };
    // 2219 and 4015 already hold 32: taxes leave them as they are.
    const TCase cases[] = {
        {1, true, false, 2187 | 32},    {3, false, true, 6283 | 16},    {3, true, true, 6283 | 16 | 32},
        {4, true, false, 2187 | 36},    {69, true, false, 2219},        {72, true, false, 4015},
        {73, true, false, 4015 & ~32u}, {75, true, false, 4015 & ~32u},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "report " << c.ReportType << " tax " << c.Tax);
        Detail->Tax = c.Tax;
        Detail->Quantity = c.Quantity;
        EXPECT_EQ(Run(c.ReportType, 0)->SecondMask, c.SecondMask);
    }
}

TEST_F(RunParamsTest, TitleAndOutputText) {
    EXPECT_EQ(Run(0, 16)->Title, "Data integrity Check");
    EXPECT_EQ(Run(0, 1)->OutputText, Temp.path() + "\\ABC12306");
    TReportSetup::ProgramPathText = "P:\\WORKBOOKS";
    EXPECT_EQ(Run(0, 21)->OutputText, "P:\\WORKBOOKS");
    EXPECT_EQ(Run(77, 0)->OutputText, "P:\\WORKBOOKS");
    TReportSetup::ProgramPathText.clear();
    EXPECT_EQ(Run(0, 2)->OutputText, "");

    const auto run = Run(0, 16);
    run->SetReportType(53);
    EXPECT_EQ(run->ReportType, 53);
    run->SetSpecialReport(12);
    EXPECT_EQ(run->Title, "Bring Forward");
    run->SetSpecialReport(0);
    EXPECT_EQ(run->Title, "Bring Forward");
}

TEST_F(RunParamsTest, RefusesUnknownReportsAndProcesses) {
    const std::pair<int, int> bad[] = {{80, 0}, {-1, 0}, {0, 23}, {0, -1}};
    for (const auto& [type, kind] : bad) {
        SCOPED_TRACE(testing::Message() << type << "/" << kind);
        EXPECT_THROW(Run(type, kind), EQuilvaneError);
    }
    EXPECT_NO_THROW(Run(79, 0));
    EXPECT_NO_THROW(Run(0, 22));
    File.Detail = nullptr;
    EXPECT_THROW(Run(1, 0), EQuilvaneError);
}

TEST_F(RunParamsTest, IsCommaDelimitedNeedsDestinationAndFormatOne) {
    const auto run = Run(1, 0);
    const std::tuple<int, int, bool> cases[] = {{1, 1, true}, {1, 0, false}, {0, 1, false}, {2, 1, false}};
    for (const auto& [destination, format, expected] : cases) {
        run->Destination = static_cast<quint8>(destination);
        run->FileFormat = static_cast<quint8>(format);
        EXPECT_EQ(run->IsCommaDelimited(), expected) << destination << "/" << format;
    }
}

// ---- Dates and periods ----------------------------------------------------------------------

TEST_F(RunParamsTest, CoversTheWholeFinancialYear) {
    struct TCase {
        int EndMonth;
        QDate From;
        QDate To;
    };
    const TCase cases[] = {{6, {2005, 7, 1}, {2006, 6, 30}},
                           {12, {2006, 1, 1}, {2006, 12, 31}},
                           {3, {2005, 4, 1}, {2006, 3, 31}}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.EndMonth);
        Detail->EndMonth = c.EndMonth;
        const auto run = Run(1, 0);
        EXPECT_EQ(run->Year, 2006);
        EXPECT_EQ(run->FromDate, EncodeDateNum(c.From.year(), c.From.month(), c.From.day()));
        EXPECT_EQ(run->ToDate, EncodeDateNum(c.To.year(), c.To.month(), c.To.day()));
        EXPECT_EQ(run->FromPeriod, 1);
        EXPECT_EQ(run->ToPeriod, 12);
        EXPECT_EQ(run->CreatedAt, EncodeDateNum(2006, 3, 15) + 0.5);
    }
}

TEST_F(RunParamsTest, SetPeriodStoresTheMonthlyPeriod) {
    const auto run = Run(1, 0);
    const std::tuple<QDate, int> cases[] = {
        {{2005, 7, 1}, 1}, {{2005, 7, 31}, 1}, {{2005, 8, 1}, 2}, {{2005, 12, 31}, 6}, {{2006, 6, 30}, 12}};
    for (const auto& [date, period] : cases) {
        SCOPED_TRACE(date.toString().toStdString());
        const double dateNum = EncodeDateNum(date.year(), date.month(), date.day());
        run->SetPeriodFrom(dateNum);
        run->SetPeriodTo(dateNum);
        EXPECT_EQ(run->FromPeriod, period);
        EXPECT_EQ(run->ToPeriod, period);
        EXPECT_EQ(run->FromDate, dateNum);
        EXPECT_EQ(run->ToDate, dateNum);
    }
}

TEST_F(RunParamsTest, PeriodLabelNamesAWholeQuarterOnly) {
    const auto run = Run(69, 0);
    run->SetPeriodTo(EncodeDateNum(2005, 12, 31)); // quarter 2: October to December
    const std::tuple<QDate, QDate, QString> cases[] = {
        {{2005, 10, 1}, {2005, 12, 31}, "QUARTER"}, {{2005, 12, 1}, {2005, 12, 31}, "MONTH"},
        {{2005, 10, 2}, {2005, 12, 31}, "MONTH"},   {{2005, 10, 1}, {2005, 12, 30}, "MONTH"},
        {{2005, 7, 1}, {2005, 9, 30}, "MONTH"},
    };
    for (const auto& [from, to, label] : cases) {
        SCOPED_TRACE(from.toString().toStdString());
        QString text = "unchanged";
        run->PeriodLabel(text, EncodeDateNum(from.year(), from.month(), from.day()),
                         EncodeDateNum(to.year(), to.month(), to.day()));
        EXPECT_EQ(text, label);
    }
}

TEST_F(RunParamsTest, SecondaryRangeIsTheQuarterWhenTheToPeriodClosesOne) {
    struct TCase {
        int ToPeriod;
        int PeriodType;
        int FromPeriod; // of the secondary range; 0: the main range
        QDate From;
        QDate To;
    };
    const TCase cases[] = {
        {5, 0, 0, {}, {}},
        {6, 0, 4, {2005, 10, 1}, {2005, 12, 31}},
        {3, 1, 1, {2005, 7, 1}, {2005, 9, 30}},
        {12, 0, 10, {2006, 4, 1}, {2006, 6, 30}},
        {11, 0, 0, {}, {}},
        {6, 2, 0, {}, {}},
        {0, 0, 1, {2005, 7, 1}, {2005, 9, 30}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "to period " << c.ToPeriod << " type " << c.PeriodType);
        const auto run = Run(69, 0);
        run->SetPeriodFrom(EncodeDateNum(2005, 8, 1));
        run->ToPeriod = c.ToPeriod;
        run->ToDate = EncodeDateNum(2006, 2, 14);
        run->PeriodType = c.PeriodType;
        run->CalcSecondaryRange();
        if (c.FromPeriod == 0) {
            EXPECT_EQ(run->SecondaryFromPeriod, 2);
            EXPECT_EQ(run->SecondaryToPeriod, c.ToPeriod);
            EXPECT_EQ(run->SecondaryFromDate, EncodeDateNum(2005, 8, 1));
            EXPECT_EQ(run->SecondaryToDate, EncodeDateNum(2006, 2, 14));
            continue;
        }
        EXPECT_EQ(run->Quarter, (c.FromPeriod + 2) / 3);
        EXPECT_EQ(run->SecondaryFromPeriod, c.FromPeriod);
        EXPECT_EQ(run->SecondaryToPeriod, c.FromPeriod + 2);
        EXPECT_EQ(run->SecondaryFromDate, EncodeDateNum(c.From.year(), c.From.month(), c.From.day()));
        EXPECT_EQ(run->SecondaryToDate, EncodeDateNum(c.To.year(), c.To.month(), c.To.day()));
    }
}

// ---- Groups ---------------------------------------------------------------------------------

TEST_F(RunParamsTest, BankGroupsTakeSuspenseAccountsExceptForStatementRuns) {
    const QString banks = FileAccounts->GetCode(1) + "," + FileAccounts->GetCode(2);
    const QString withSuspense = banks + "," + FileAccounts->GetCode(4);
    const std::tuple<int, int, QString> cases[] = {{52, 0, banks},        {0, 2, banks},
                                                   {0, 13, banks},        {1, 0, withSuspense},
                                                   {0, 16, withSuspense}, {51, 0, withSuspense}};
    for (const auto& [type, kind, text] : cases) {
        SCOPED_TRACE(testing::Message() << type << "/" << kind);
        const auto run = Run(type, kind);
        EXPECT_EQ(run->SuspenseAccounts, text == withSuspense);
        EXPECT_EQ(run->BankGroupsText, text);
        ASSERT_NE(run->BankGroups, nullptr);
        EXPECT_TRUE(run->BankGroups->Contains(Code("2100")));
        EXPECT_FALSE(run->BankGroups->Contains(Code("1000")));
        EXPECT_EQ(run->BankGroups->Contains(Code("9100")), text == withSuspense);
    }
}

TEST_F(RunParamsTest, AccountGroupsStartAsTheWholeRange) {
    const auto run = Run(1, 0);
    EXPECT_EQ(run->AccountGroupsText, "00-0000-00 to 99-9999-99");
    ASSERT_NE(run->AccountGroups, nullptr);
    EXPECT_EQ(run->AccountGroups->Count(), 1);
    EXPECT_TRUE(run->AccountGroups->Contains(Code("1000")));
    EXPECT_TRUE(run->AccountGroups->Contains(Code("9100")));
    EXPECT_EQ(run->CodeMapping, 0);
    EXPECT_EQ(run->PercentText, "%");
    // A file without its accounts chart still gets the whole range and no bank accounts.
    File.Accounts = nullptr;
    const auto bare = Run(1, 0);
    EXPECT_EQ(bare->BankGroupsText, "");
    ASSERT_NE(bare->BankGroups, nullptr);
    EXPECT_EQ(bare->BankGroups->Count(), 0);
    EXPECT_EQ(bare->AccountGroups->Count(), 1);
}

// ---- Charts ---------------------------------------------------------------------------------

TEST_F(RunParamsTest, SharedChartsAreTheFilesOwn) {
    TStdDescChart descs(Entity, {}, 2006);
    File.StdDescs = &descs;
    const auto run = Run(1, 0);
    EXPECT_FALSE(run->PrivateCharts);
    EXPECT_EQ(run->Accounts, FileAccounts.get());
    EXPECT_EQ(run->StdDescs, &descs);
    EXPECT_EQ(run->TaxRates, nullptr);
    EXPECT_EQ(run->CurrencyRates, nullptr);
}

TEST_F(RunParamsTest, PrivateChartsAreCopiesThatAreNeverWritten) {
    TStdDescChart descs(Entity, {}, 2006);
    ASSERT_GE(descs.AddDescription("RNT", "Rent received"), 0);
    descs.Saved = false;
    File.StdDescs = &descs;
    FileAccounts->GetAccount(0)->Description = "Sales";
    FileAccounts->AddToAccountBalance(0, 12.5);
    const QString accountsFile = NativePath(FileAccounts->GetFileName({}));
    const QString descsFile = NativePath(descs.GetFileName({}));
    {
        const auto run = Run(1, 0, true);
        EXPECT_TRUE(run->PrivateCharts);
        ASSERT_NE(run->Accounts, nullptr);
        ASSERT_NE(run->StdDescs, nullptr);
        ASSERT_NE(run->TaxRates, nullptr);
        ASSERT_NE(run->CurrencyRates, nullptr);
        EXPECT_NE(run->Accounts, FileAccounts.get());
        EXPECT_NE(run->StdDescs, &descs);
        // The unsaved descriptions were written so that the copy reads them back.
        EXPECT_TRUE(descs.Saved);
        EXPECT_TRUE(QFileInfo::exists(descsFile));
        EXPECT_EQ(Keys(*run->StdDescs), "RNT");
        EXPECT_EQ(Keys(*run->Accounts), Keys(*FileAccounts));
        EXPECT_EQ(run->Accounts->GetAccount(0)->Description, "Sales");
        EXPECT_EQ(run->Accounts->StdDescriptions(), run->StdDescs);
        EXPECT_EQ(run->TaxRates->AccountsChart(), run->Accounts);
        EXPECT_NE(run->Accounts->GetAccount(1)->BankDetails, nullptr);
        // Working amounts of the run stay in the run.
        run->Accounts->ClearAccountBalances();
        run->Accounts->AddToAccountBalance(1, 99);
        run->Accounts->DeleteItem(4);
        run->Accounts->Saved = false;
        EXPECT_EQ(FileAccounts->GetAccountBalance(0), 12.5);
        EXPECT_EQ(FileAccounts->GetAccountBalance(1), 0);
        EXPECT_EQ(FileAccounts->Count(), 5);
        TOptionSet options;
        EXPECT_EQ(run->Accounts->SaveIfModified(options), ChartResult::Refused);
    }
    EXPECT_FALSE(QFileInfo::exists(accountsFile));
    EXPECT_TRUE(Hooked->Shown.isEmpty());
}

TEST_F(RunParamsTest, PrivateAccountsComeFromTheFileWhenTheFileHoldsNone) {
    TOptionSet options;
    ASSERT_EQ(FileAccounts->SaveToFile(options), ResultCode::Success);
    const QByteArray stored = ReadFileBytes(NativePath(FileAccounts->GetFileName({})));
    File.Accounts = nullptr;
    {
        const auto run = Run(1, 0, true);
        ASSERT_NE(run->Accounts, nullptr);
        EXPECT_EQ(Keys(*run->Accounts), Keys(*FileAccounts));
        run->Accounts->DeleteItem(0);
    }
    EXPECT_EQ(ReadFileBytes(NativePath(FileAccounts->GetFileName({}))), stored);
}

TEST_F(RunParamsTest, BankRecOpeningChartBelongsToTheRunThatMadeIt) {
    struct TCase {
        int ReportType;
        int ProcessKind;
        bool Creates;
    };
    const TCase cases[] = {{53, 0, true},  {56, 0, true},  {0, 4, true}, {0, 5, true},
                           {52, 0, false}, {57, 0, false}, {0, 6, false}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ReportType << "/" << c.ProcessKind);
        {
            const auto run = Run(c.ReportType, c.ProcessKind);
            ASSERT_EQ(FileBankRec != nullptr, c.Creates);
            if (c.Creates) {
                EXPECT_EQ(FileBankRec->Year, 2006);
                EXPECT_EQ(FileBankRec->AccountsChart(), FileAccounts.get());
            }
        }
        EXPECT_EQ(FileBankRec, nullptr);
    }
}

TEST_F(RunParamsTest, NestedRunsShareTheOpeningChart) {
    auto reset = Run(0, 5);
    TBankRecOpeningDetailChart* chart = FileBankRec.get();
    ASSERT_NE(chart, nullptr);
    Run(53, 0).reset();
    EXPECT_EQ(FileBankRec.get(), chart);
    reset.reset();
    EXPECT_EQ(FileBankRec, nullptr);

    // A chart the file already held outlives every run.
    FileBankRec = std::make_unique<TBankRecOpeningDetailChart>(Entity, FileAccounts.get(), Format(),
                                                               TOptionSet{}, 2006);
    chart = FileBankRec.get();
    Run(0, 4).reset();
    EXPECT_EQ(FileBankRec.get(), chart);

    // A run whose file has no slot makes nothing.
    FileBankRec.reset();
    File.BankRecOpening = nullptr;
    Run(0, 4).reset();
    EXPECT_EQ(FileBankRec, nullptr);
}
