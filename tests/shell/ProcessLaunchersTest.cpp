#include "tests/shell/DesktopTestSupport.h"

#include "core/charts/AccountDetail.h"
#include "core/charts/AccountsChart.h"
#include "core/entity/RunParams.h"
#include "core/transactions/DataEntryPage.h"
#include "core/transactions/TransactionList.h"
#include "core/vocab/PageKinds.h"
#include "core/vocab/ProcessKinds.h"
#include "shell/children/ChildWindows.h"
#include "shell/children/ProcessLaunchers.h"

namespace {

// A frame without a data-entry window (the guard then records and frees the pages itself) that
// logs the kind of each child it is given.
class TLauncherHost : public IMdiHost {
public:
    explicit TLauncherHost(QStringList& log) : Log(log) {}
    QList<QObject*> Children() const override { return {}; }
    QObject* ActiveChild() const override { return nullptr; }
    void AddChild(QObject* child) override {
        Log << "child:" + child->property(TChildWindows::KindProperty).toString();
        delete child;
    }
    Qt::WindowStates State(QObject*) const override { return {}; }
    void SetState(QObject*, Qt::WindowStates) override {}
    void Raise(QObject*) override {}
    void ShowModal(QObject*) override {}
    void ArrangeIcons() override {}
    QStringList& Log;
};

// A window that logs "name:process:pages open while it ran" and answers as told.
class TFakeWindow : public IBackupRestoreWindow, public IBringForwardWindow {
public:
    TFakeWindow(QString name, QStringList& log, bool& answer)
        : Name(std::move(name)), Log(log), Answer(answer) {}
    bool Run(TEntityInfo& file, TReportSetup& setup) override {
        Log << QString("%1:%2:%3").arg(Name).arg(setup.ProcessKind).arg(file.DataEntryPageCount());
        Dates = {setup.FromDate, setup.ToDate};
        return Answer;
    }
    QString Name;
    QStringList& Log;
    bool& Answer;
    std::pair<double, double> Dates;
};
class TFakeParameters : public TFakeWindow, public IReportParameters {
public:
    using TFakeWindow::TFakeWindow;
    bool Run(TEntityInfo& file, TReportSetup& setup) override { return TFakeWindow::Run(file, setup); }
};

} // namespace

// One open client file with its 2006 chart and one data-entry page; the process windows are fakes.
class ProcessLaunchersTest : public DesktopTest, public IBankingServices {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        Windows.SetFactory(wkReports, [](int) { return new QObject; });
        WriteRecord("ABC123"), WriteChart("ABC123");
        Desktop.OpenFiles("ABC123,", "1,");
        auto page = TDataEntryPage::Create(File().ListSources(2006), pkPayments, 2006, 3, 12,
                                           {Standard, Load}, false);
        const QString title = page->List().GetPeriodTitle(false);
        File().InsertDataEntryPage(-1, title, std::move(page));
        Log.clear();
    }
    TEntityInfo& File() { return *Desktop.Files().File(0); }
    void AddBankAccount() {
        TAccountsChart& chart = *File().AccountsChart(2006);
        auto account = std::make_unique<TAccountDetail>(chart.Format());
        TAccountCode code;
        ASSERT_TRUE(chart.Format()->TextToCode("2000", code, false, false));
        account->SetCode(code);
        account->DeriveAccountType(AccountTypeCode::Bank);
        ASSERT_GE(chart.AddAccount(std::move(account)), 0);
    }
    void Step(const QString& name, const TReportSetup& setup) {
        Log << QString("%1:%2:%3").arg(name).arg(setup.ProcessKind).arg(File().DataEntryPageCount());
    }
    int ImportBankStatement(TEntityInfo&, TReportSetup& setup) override {
        Step("statement", setup);
        setup.FromDate = 732000, setup.ToDate = 732030;
        return Imported;
    }
    void ImportTransactions(TEntityInfo&, TReportSetup& setup) override { Step("import", setup); }
    void ExportData(TEntityInfo&, TReportSetup& setup) override { Step("export", setup); }
    void PerformBankReconciliation(TEntityInfo&, TReportSetup& setup) override {
        Step("reconcile", setup), Log << "report:" + QString::number(setup.ReportType);
    }

    bool Ok = true;
    int Imported = 0, Notices = 0, Refreshes = 0;
    TFakeWindow BackupRestore{"backup", Log, Ok}, Forward{"forward", Log, Ok};
    TFakeParameters Parameters{"parameters", Log, Ok};
    TLauncherHost Host{Log};
    TChildWindows Windows{Host, Desktop.Files()};
    TLauncherHooks Hooks{[this] { ++Notices; }, [this] { ++Refreshes; }};
    TProcessLaunchers Launchers{
        Windows, Desktop.Files(), {&BackupRestore, &Forward, &Parameters, this}, Hooks};
    TProcessLaunchers Absent{Windows, Desktop.Files(), TProcessWindows{}, Hooks};
};

using TAct = std::function<void(TProcessLaunchers&)>;
const TAct ToClient = [](auto&l) { l.RunBackupRestoreProcess(prTransferToClient); },
           FromClient = [](auto&l) { l.RunBackupRestoreProcess(prTransferFromClient); },
           FromAccountant = [](auto&l) { l.RunBackupRestoreProcess(prTransferFromAccountant); },
           Reconcile = [](auto&l) { l.RunBankRecProcess(0, prBankReconciliation); },
           ImportStatements = [](auto&l) { l.ImportBankStatements(); };

// Each command: the guard's question for its process (none: -1) answered Yes, then the further
// answers; the windows run while the pages are closed and the pages come back on every path, also
// after a Cancel at the backup offer. The boxes after the guard's question are compared whole.
TEST_F(ProcessLaunchersTest, EachCommandRunsBehindTheGuard) {
    using B = TMessageButton;
    const QString offer = TChildWindows::SuggestBackupQuestion(prTransferFromClient),
                  warning = TProcessLaunchers::ImportWarningText,
                  transfer = TProcessLaunchers::TransferNowText;
    const struct {
        const char* Name;
        TAct Act;
        int Guard;
        bool Ok, Bank;
        QList<B> Answers;
        QStringList Log, Boxes = {};
        int Notices = 0, Refreshes = 0;
    } cases[] = {
        // clang-format off
        {"to client", ToClient, prTransferToClient, true, false, {}, {"backup:6:0"}, {}, 0, 1},
        {"from client", FromClient, prTransferFromClient, true, false, {B::No}, {"backup:7:0"}, {offer}, 1, 1},
        {"from accountant, Cancel", FromAccountant, prTransferFromAccountant, false, false, {B::Yes},
         {"backup:8:0"}, {offer}, 0, 1},
        {"Cancel at the offer", FromClient, prTransferFromClient, true, false, {B::Cancel}, {}, {offer}},
        {"backup", [](auto& l) { l.BackupActiveFile(true); }, prBackup, true, false, {}, {"backup:10:0"}},
        {"restore", [](auto& l) { l.Restore(); }, prRestore, true, false, {}, {"backup:11:0"}, {}, 1},
        {"restore, Cancel", [](auto& l) { l.Restore(); }, prRestore, false, false, {}, {"backup:11:0"}},
        {"forward", [](auto& l) { l.BringForward(); }, prBringForward, true, false, {}, {"forward:12:0"}, {}, 1},
        {"forward, Cancel", [](auto& l) { l.BringForward(); }, prBringForward, false, false, {}, {"forward:12:0"}},
        {"bank entries, Cancel", [](auto& l) { l.TransferBankEntries(); }, prTransferBankStatementEntries, false,
         false, {}, {"parameters:13:0"}},
        {"import", [](auto& l) { l.ImportTransactions(); }, prImportTransactions, true, false, {},
         {"parameters:22:0", "child:7", "import:22:0"}},
        {"export", [](auto& l) { l.Export(); }, -1, true, false, {}, {"parameters:1:1", "child:7", "export:1:1"}},
        {"export, Cancel", [](auto& l) { l.Export(); }, -1, false, false, {}, {"parameters:1:1"}},
        {"reset", [](auto& l) { l.RunBankRecProcess(0, prResetBankReconciliation); }, prResetBankReconciliation,
         true, false, {}, {"reconcile:5:0", "report:0"}},
        {"no account to reconcile", Reconcile, -1, true, false, {B::OK}, {},
         {"No bank accounts are available for reconciliation in the\r2006 chart of accounts."}},
        {"no account to import into", ImportStatements, -1, true, false, {B::OK}, {},
         {"There are no bank accounts available for the import of bank statement data."}},
        {"reconcile", Reconcile, prBankReconciliation, true, true, {}, {"reconcile:4:0", "report:0"}},
        {"bank report", [](auto& l) { l.RunBankRecProcess(54, prNone); }, -1, true, true, {},
         {"reconcile:0:1", "report:54"}},
        {"statement parameters, Cancel", ImportStatements, prImportBankStatements, false, true, {},
         {"parameters:2:0"}},
        {"statement warning, Cancel", ImportStatements, prImportBankStatements, true, true, {B::Cancel},
         {"parameters:2:0"}, {warning}},
        {"statement, transfer declined", ImportStatements, prImportBankStatements, true, true, {B::OK, B::Cancel},
         {"parameters:2:0", "child:7", "statement:2:0"}, {warning, transfer}},
        // clang-format on
    };
    bool bank = false; // the cases with a bank account come last
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        if (c.Bank && !std::exchange(bank, true))
            AddBankAccount();
        ASSERT_EQ(bank, c.Bank);
        Log.clear(), Prompt->Shown.clear();
        Ok = c.Ok, Imported = 3, Notices = Refreshes = 0;
        if (c.Guard >= 0)
            Prompt->Answer(B::Yes);
        for (const B answer : c.Answers)
            Prompt->Answer(answer);
        c.Act(Launchers);
        QStringList boxes;
        for (const auto& shown : Prompt->Shown)
            boxes << shown.Text;
        if (c.Guard >= 0) {
            EXPECT_EQ(boxes.isEmpty() ? QString() : boxes.takeFirst(),
                      TChildWindows::GuardQuestion(c.Guard, true));
        }
        EXPECT_EQ(boxes, c.Boxes);
        EXPECT_EQ(Log, c.Log);
        EXPECT_EQ(std::pair(Notices, Refreshes), std::pair(c.Notices, c.Refreshes));
        EXPECT_EQ(File().DataEntryPageCount(), 1);
        EXPECT_FALSE(Windows.ProcessRunning());
    }
}

// Without their windows the guarded commands end once the guard has agreed, pages given back.
TEST_F(ProcessLaunchersTest, MissingWindowsEndCleanly) {
    AddBankAccount();
    const std::pair<int, TAct> cases[] = {
        {prTransferToClient, ToClient},
        {prBackup, [](auto& l) { l.BackupActiveFile(true); }},
        {prRestore, [](auto& l) { l.Restore(); }},
        {prBringForward, [](auto& l) { l.BringForward(); }},
        {prTransferBankStatementEntries, [](auto& l) { l.TransferBankEntries(); }},
        {prBankReconciliation, Reconcile},
        {prImportBankStatements, ImportStatements},
        {prImportTransactions, [](auto& l) { l.ImportTransactions(); }},
    };
    for (const auto& [process, act] : cases) {
        SCOPED_TRACE(process);
        Prompt->Shown.clear();
        Prompt->Answer(TMessageButton::Yes);
        act(Absent);
        ASSERT_EQ(Prompt->Shown.size(), 1);
        EXPECT_EQ(Prompt->Shown[0].Text, TChildWindows::GuardQuestion(process, true));
        EXPECT_EQ(File().DataEntryPageCount(), 1);
    }
    Absent.Export(), Absent.BackupFile(0);
    EXPECT_EQ(Prompt->Shown.size(), 1);
    EXPECT_TRUE(Log.isEmpty());
}

// The reconciliation's check sounds the warning beep before its error box.
TEST_F(ProcessLaunchersTest, TheReconciliationCheckBeepsAWarning) {
    Prompt->Answer(TMessageButton::OK);
    Reconcile(Launchers);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>({TBeep::Warning}));
    EXPECT_EQ(Prompt->Shown.value(0).Kind, TMessageKind::Error);
}

// A backup at shutdown leaves the closed pages closed, and the guard is done with them; the backup
// offered before a process shows its window without the guard.
TEST_F(ProcessLaunchersTest, ABackupWithoutReopenLeavesThePagesClosed) {
    Launchers.BackupFile(0);
    Prompt->Answer(TMessageButton::Yes);
    Launchers.BackupActiveFile(false);
    EXPECT_EQ(Log, QStringList({"backup:10:1", "backup:10:0"}));
    EXPECT_FALSE(Windows.ProcessRunning());
    Windows.AfterProcess(File());
    EXPECT_EQ(File().DataEntryPageCount(), 0);
}

// Imported entries accepted for transfer: the transfer's parameters start from the import's dates
// and the transfer runs (its own box ends it).
TEST_F(ProcessLaunchersTest, TheImportedStatementIsTransferred) {
    AddBankAccount();
    for (const TMessageButton answer :
         {TMessageButton::Yes, TMessageButton::OK, TMessageButton::OK, TMessageButton::OK})
        Prompt->Answer(answer);
    Imported = 2;
    Launchers.ImportBankStatements();
    EXPECT_EQ(Log.mid(3), QStringList({"parameters:13:0"}));
    EXPECT_EQ(Parameters.Dates, std::pair(732000.0, 732030.0));
    EXPECT_EQ(Prompt->Shown.size(), 4);
    EXPECT_EQ(File().DataEntryPageCount(), 1);
}

// The integrity check runs for real on the file's year behind the guard: the year's charts are
// written out, also those never saved before, and the end is reported.
TEST_F(ProcessLaunchersTest, TheIntegrityCheckRunsForReal) {
    ASSERT_FALSE(QFile::exists(DataDir + "/M_DETAIL/ABC12306.STD"));
    Prompt->Answer(TMessageButton::Yes);
    Prompt->Answer(TMessageButton::OK);
    Launchers.DataIntegrityCheck();
    ASSERT_EQ(Prompt->Shown.size(), 2);
    EXPECT_EQ(Prompt->Shown[0].Text, TChildWindows::GuardQuestion(prDataIntegrityCheck, true));
    EXPECT_EQ(Prompt->Shown[1].Text, "Data integrity check completed");
    EXPECT_EQ(File().DataEntryPageCount(), 1);
    for (const char* chart : {"STD", "TXR", "CCR"})
        EXPECT_TRUE(QFile::exists(DataDir + "/M_DETAIL/ABC12306." + chart)) << chart;
}
