#include "core/charts/StandardChart.h"

#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountsChart.h"
#include "core/dates/DateNumbers.h"
#include "core/entity/EntityDetail.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "tests/core/ShippedDataFixture.h"

#include <QDir>
#include <QFileInfo>
#include <iterator>

// The standard chart of accounts shipped in share/QUILVANE.ADF is made from the table below by
// the program's own chart writer. To change it, edit the table and run this test binary once
// with QUILVANE_WRITE_STANDARD_CHART=1: the first test then writes the file into the source
// tree's share/ folder instead of failing whenever the shipped file and the table differ.

namespace {

struct TStandardAccount {
    const char* Code; // as the QUILVANE format (BB-AAAA-SS) writes it
    const char* Description;
    const char* Type;
    char Sign;            // 'C' credit, 'D' debit, 'B' balance
    bool Default = false; // the default bank / suspense account
};

// A small business. Branch and sub-account are written as 00, as the reference data writes the
// retained-profit accounts (00-4100-00), so those are found by the reference data's own text.
// Profit and loss 0100-1999, bank 2000-2099, balance sheet 2000-4999, suspense 9000-9999; the
// retained-profit or capital account of each entity type: COY and NSP 4100, PTN 4200, IND 4300,
// TRU 4400, SUP 4500.
const TStandardAccount StandardAccounts[] = {
    {"00-0100-00", "Sales", "ACC", 'C'},
    {"00-0200-00", "Interest Received", "ACC", 'C'},
    {"00-0300-00", "Other Income", "ACC", 'C'},
    {"00-0500-00", "Purchases", "ACC", 'D'},
    {"00-0600-00", "Freight and Cartage", "ACC", 'D'},
    {"00-1000-00", "Accounting Fees", "ACC", 'D'},
    {"00-1020-00", "Advertising", "ACC", 'D'},
    {"00-1040-00", "Bank Charges", "ACC", 'D'},
    {"00-1060-00", "Depreciation", "ACC", 'D'},
    {"00-1080-00", "Electricity", "ACC", 'D'},
    {"00-1100-00", "Insurance", "ACC", 'D'},
    {"00-1120-00", "Interest Paid", "ACC", 'D'},
    {"00-1140-00", "Motor Vehicle Expenses", "ACC", 'D'},
    {"00-1160-00", "Printing and Stationery", "ACC", 'D'},
    {"00-1180-00", "Rent", "ACC", 'D'},
    {"00-1200-00", "Repairs and Maintenance", "ACC", 'D'},
    {"00-1220-00", "Superannuation", "ACC", 'D'},
    {"00-1240-00", "Telephone", "ACC", 'D'},
    {"00-1260-00", "Wages and Salaries", "ACC", 'D'},
    {"00-2000-00", "Cheque Account", "BNK", 'D', true},
    {"00-2010-00", "Savings Account", "BNK", 'D'},
    {"00-2200-00", "Trade Debtors", "ACC", 'D'},
    {"00-2400-00", "Plant and Equipment", "ACC", 'D'},
    {"00-2410-00", "Accumulated Depreciation", "ACC", 'C'},
    {"00-3000-00", "Trade Creditors", "ACC", 'C'},
    {"00-3100-00", "GST Collected", "ACC", 'C'},
    {"00-3110-00", "GST Paid", "ACC", 'D'},
    {"00-3200-00", "PAYG Withholding Payable", "ACC", 'C'},
    {"00-3500-00", "Loan", "ACC", 'C'},
    {"00-4100-00", "Retained Profits", "ACC", 'C'},
    {"00-4200-00", "Partners' Capital", "ACC", 'C'},
    {"00-4300-00", "Proprietor's Capital", "ACC", 'C'},
    {"00-4400-00", "Undistributed Income", "ACC", 'C'},
    {"00-4500-00", "Members' Benefits", "ACC", 'C'},
    {"00-9999-00", "Suspense", "SUS", 'B', true},
};
constexpr int StandardCount = static_cast<int>(std::size(StandardAccounts));

// The shipped chart in the source tree, which the first test compares or writes.
const QString ShippedInSource = QStringLiteral(QUILVANE_SHARE_DIR "/QUILVANE.ADF");

class StandardChartTest : public TShippedDataFixture {
protected:
    // The table as an accounts chart that saves to fileName. Every account is added on the same
    // fixed day, so the file never depends on the clock.
    std::unique_ptr<TAccountsChart> BuildStandardChart(const QString& fileName) const {
        const TChartEntity entity{QString(), QString(), DataDir, {}, {}, TStandardChart::FormatID, {}, {}};
        auto chart = std::make_unique<TAccountsChart>(entity, Format(), TOptionSet{}, -1, fileName);
        for (const TStandardAccount& row : StandardAccounts) {
            SCOPED_TRACE(row.Code);
            TAccountCode code;
            EXPECT_TRUE(Format()->TextToCode(row.Code, code, false, false));
            EXPECT_EQ(Format()->FormatCode(code), row.Code); // typed as the format writes it
            auto account = std::make_unique<TAccountDetail>(Format(), EncodeDateNum(2006, 7, 1));
            account->SetCode(code);
            account->Code2 = code;
            account->Description = row.Description;
            account->DeriveAccountType(row.Type);
            EXPECT_EQ(account->AccountType, row.Type); // the ranges allow the type there
            account->Sign = QLatin1Char(row.Sign);
            if (account->BankDetails)
                account->BankDetails->AccountName = row.Description;
            account->SetDefault(row.Default);
            EXPECT_GE(chart->AddAccount(std::move(account)), 0);
        }
        return chart;
    }

    // The client ABC123 of an entity type, format QUILVANE, whose default chart is the standard
    // one of its type.
    TChartEntity Client(const QString& entityType) const {
        const QString chart = TStandardChart::DefaultChartName(Format()->BaseName, entityType);
        return {"ABC123", entityType, DataDir, {}, {}, TStandardChart::FormatID, chart, "AUD"};
    }
    std::unique_ptr<TAccountsChart> YearChart(const TChartEntity& entity,
                                              const TOptionSet& options = {}) const {
        return std::make_unique<TAccountsChart>(entity, nullptr, options, 2024);
    }
    QString DetailPath(const QString& name) const { return DataDir + "/M_DETAIL/" + name; }
    void WriteDetail(const QString& name, const QByteArray& bytes) const {
        ASSERT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL"));
        ASSERT_TRUE(WriteFileBytes(DetailPath(name), bytes));
    }
};

} // namespace

TEST_F(StandardChartTest, TheShippedChartIsTheTableAsTheChartWriterWritesIt) {
    ExpectTheShippedFileIsTheTable(ShippedInSource, [&](const QString& path) {
        TOptionSet options;
        ASSERT_EQ(BuildStandardChart(path)->SaveToFile(options), 0);
    });
}

// A new file starts from the shipped chart as its default chart: the table's accounts, a default
// bank and suspense account, and the retained-profit account of every entity type.
TEST_F(StandardChartTest, TheShippedChartIsTheDefaultChartOfANewFile) {
    WriteDetail("QUILVANE.PTN", ReadFileBytes(TProgramParams::ShippedStandardChartPath()));
    auto chart = YearChart(Client("PTN"), {Option::Load});
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    ASSERT_EQ(chart->Count(), StandardCount);
    const int bank = chart->DefaultBankAccount();
    EXPECT_EQ(chart->GetCode(bank), "00-2000-00");
    EXPECT_EQ(chart->GetAccount(bank)->BankDetails->AccountName, "Cheque Account");
    EXPECT_EQ(chart->GetCode(chart->DefaultSuspenseAccount()), "00-9999-00");
    for (const QString& type : Params->EntityTypes.Codes()) {
        const int retained = chart->IndexOfCodeText(Format()->GetRetainedProfitAccount(type));
        ASSERT_GE(retained, 0) << type.toStdString();
        EXPECT_TRUE(chart->GetAccount(retained)->InBalanceSheetRange()) << type.toStdString();
        EXPECT_EQ(chart->GetAccount(retained)->GetSignText(), "CR");
    }
}

// A new file whose default chart does not exist (a practice without one for its type) starts
// silently with the format's first suspense account; its own file is written at the next save.
TEST_F(StandardChartTest, ANewFileWithoutItsDefaultChartStartsWithItsSuspenseAccountAlone) {
    auto chart = YearChart(Client("NSP"), {Option::Load});
    ASSERT_EQ(chart->Count(), 1);
    EXPECT_EQ(chart->GetCode(0), "9000");
    // A reload replaces what the chart holds, as any load does.
    chart->GetAccount(0)->Description = "changed";
    EXPECT_EQ(chart->LoadFromFile({}), 0);
    EXPECT_EQ(chart->GetAccount(0)->Description,
              Format()->GetRangeGroup(Format()->IndexOfRangeType("SUS"))->Description);
    TOptionSet options;
    ASSERT_EQ(chart->SaveIfModified(options), 0);
    EXPECT_TRUE(QFileInfo::exists(DetailPath("ABC12324.ADF")));
    EXPECT_TRUE(Prompt->Shown.isEmpty());
}

// Everything but a missing default chart is still reported: no default named, a default chart
// that is empty (a damaged chart, not a missing one), or on a drive that is not ready.
TEST_F(StandardChartTest, OtherMissingOrBadChartsAreStillReported) {
    const struct {
        const char* Name;
        QString AccDefault;
        bool EmptyFile; // an empty M_DETAIL/QUILVANE.NSP is there
    } cases[] = {
        {"no default named", QString(), false},
        {"empty default chart", "QUILVANE.NSP", true},
        {"drive not ready", "Q:\\CHARTS\\QUILVANE.NSP", false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.Name);
        QFile::remove(DetailPath("QUILVANE.NSP"));
        if (test.EmptyFile)
            WriteDetail("QUILVANE.NSP", "");
        TChartEntity entity = Client("NSP");
        entity.AccDefault = test.AccDefault;
        Prompt->Shown.clear();
        Prompt->Answer(TMessageButton::Ignore);
        auto chart = YearChart(entity);
        EXPECT_EQ(chart->LoadFromFile({}), -1);
        ASSERT_EQ(Prompt->Shown.size(), 1);
        EXPECT_EQ(Prompt->Shown[0].Text, "Unable to load 2024 Accounts file for ABC123. \r(File not found)");
        EXPECT_EQ(chart->Count(), 1); // the default suspense account all the same
    }
}

// A new file takes the practice's destination system as its account format when the reference
// data lists it (as listed there, whatever the letter case of the setting), else the standard
// format; its default chart is the one of that format's base name and the ordinary entity type.
TEST_F(StandardChartTest, ANewFileTakesTheDefaultChartOfTheDestinationSystemsFormat) {
    ASSERT_TRUE(
        Params->AccountFormats.Add("LEDGER", std::make_unique<TAccountFormat>("LEDGBASE", "AAAA", "", "")));
    const struct {
        const char* DestSystem;
        const char* AccFormatID;
        const char* AccDefault;
    } cases[] = {
        {"SIMPLE", "SIMPLE", "SIMPLE.NSP"},
        {"ledger", "LEDGER", "LEDGBASE.NSP"}, // a base name other than the code
        {"", "QUILVANE", "QUILVANE.NSP"},
        {"NOSUCH", "QUILVANE", "QUILVANE.NSP"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.DestSystem);
        Params->DestSystem = c.DestSystem;
        const auto detail = TEntityDetail::Create("ABC123", {Option::Standard, Option::NoLock});
        EXPECT_EQ(detail->AccFormatID + " " + detail->AccDefault,
                  QString(c.AccFormatID) + " " + c.AccDefault);
        ASSERT_NE(detail->AccountFormat, nullptr);
        EXPECT_EQ(detail->AccountFormat->BaseName + ".NSP", c.AccDefault);
    }
}

// ---- Installation --------------------------------------------------------------------------

// The first start installs the chart for every entity type beside the reference data; a chart
// already there (in any letter case) stays the practice's own; later starts install nothing.
TEST_F(StandardChartTest, TheFirstRunInstallsTheChartForEveryEntityTypeButNeverOverAnother) {
    const QString data = TempPath("home/QUILVANE/DATA");
    ASSERT_TRUE(QDir().mkpath(data + "/M_DETAIL"));
    ASSERT_TRUE(WriteFileBytes(data + "/M_DETAIL/quilvane.ind", "the practice's own"));
    const QByteArray shipped = ReadFileBytes(TProgramParams::ShippedStandardChartPath());
    TProgramParams params;
    ASSERT_EQ(params.Load(), 0);
    QStringList installed = QDir(data + "/M_DETAIL").entryList(QDir::Files | QDir::Hidden);
    installed.sort(Qt::CaseSensitive);
    // The format's default tax codes come with the charts.
    EXPECT_EQ(installed, QStringList({"QUILVANE.COY", "QUILVANE.NSP", "QUILVANE.PTN", "QUILVANE.SUP",
                                      "QUILVANE.TRU", "QUILVANE.TXR", "quilvane.ind"}));
    for (const QString& type : QStringList{"COY", "NSP", "PTN", "SUP", "TRU"})
        EXPECT_TRUE(ReadFileBytes(data + "/M_DETAIL/QUILVANE." + type) == shipped) << type.toStdString();
    EXPECT_EQ(ReadFileBytes(data + "/M_DETAIL/quilvane.ind"), "the practice's own");

    ASSERT_TRUE(QFile::remove(data + "/M_DETAIL/QUILVANE.COY"));
    ASSERT_EQ(params.Load(), 0); // not the first run any more
    EXPECT_FALSE(QFileInfo::exists(data + "/M_DETAIL/QUILVANE.COY"));
}

// A chart that cannot be installed is reported on the warning output only, and the start goes on.
TEST_F(StandardChartTest, AChartThatCannotBeInstalledDoesNotStopTheStart) {
    const QString data = TempPath("home/QUILVANE/DATA");
    ASSERT_TRUE(QDir().mkpath(data));
    ASSERT_TRUE(WriteFileBytes(data + "/M_DETAIL", "a file where the folder should be"));
    static QStringList warnings;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtWarningMsg)
                warnings.append(text);
        });
    TProgramParams params;
    const int loaded = params.Load();
    qInstallMessageHandler(previous);
    ASSERT_EQ(loaded, 0);
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    ASSERT_EQ(warnings.size(), 7); // one a chart, then the tax codes
    EXPECT_TRUE(warnings[0].contains(data + "/M_DETAIL/QUILVANE.COY")) << warnings[0].toStdString();
    EXPECT_TRUE(warnings[6].contains(data + "/M_DETAIL/QUILVANE.TXR")) << warnings[6].toStdString();
}

// Each chart is complete or absent and one that cannot be copied does not keep the others out;
// anything already under a chart's name is left alone, and no chart is written through a link.
TEST_F(StandardChartTest, InstallReportsEachChartItCouldNotInstall) {
    const QString shipped = TProgramParams::ShippedStandardChartPath();
    EXPECT_EQ(TStandardChart::Install(TempPath("missing.ADF"), DataDir, "QUILVANE", {"COY", "NSP"}).size(),
              2);
    EXPECT_TRUE(QDir(DataDir + "/M_DETAIL").entryList(QDir::Files | QDir::Hidden).isEmpty());
    ASSERT_TRUE(QDir().mkpath(DetailPath("QUILVANE.NSP"))); // a folder under the chart's name
    EXPECT_TRUE(TStandardChart::Install(shipped, DataDir, "QUILVANE", {"NSP", "TRU"}).isEmpty());
    EXPECT_TRUE(QFileInfo::exists(DetailPath("QUILVANE.TRU")));
    ASSERT_TRUE(QFile::link(TempPath("elsewhere.ADF"), DetailPath("QUILVANE.SUP")));
    const QStringList refused = TStandardChart::Install(shipped, DataDir, "QUILVANE", {"SUP"});
    ASSERT_EQ(refused.size(), 1);
    EXPECT_TRUE(refused[0].startsWith("Unable to install the standard chart of accounts as " +
                                      DetailPath("QUILVANE.SUP") + ": "));
    EXPECT_FALSE(QFileInfo::exists(TempPath("elsewhere.ADF")));
}
