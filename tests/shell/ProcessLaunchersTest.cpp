#include "tests/shell/DesktopTestSupport.h"

#include "core/charts/AccountDetail.h"
#include "core/charts/AccountsChart.h"
#include "core/entity/RunParams.h"
#include "core/vocab/PageKinds.h"
#include "core/vocab/ProcessKinds.h"
#include "shell/children/ChildWindows.h"
#include "shell/children/ProcessLaunchers.h"
#include "shell/main/BankingStandIn.h"

namespace {

// A frame without a data-entry window (the guard then records and frees the pages itself) that
// logs the kind of each child it is given.
class TLauncherHost : public IMdiHost {
public:
    explicit TLauncherHost(QStringList& log) : Log(log) {}
    QList<QObject*> Children() const override { return {}; }
    QObject* ActiveChild() const override { return nullptr; }
    void AddChild(QObject* child) override {
        Log << "child:" + child->property("WindowKind").toString(), delete child;
    }
    Qt::WindowStates State(QObject*) const override { return {}; }
    void SetState(QObject*, Qt::WindowStates) override {}
    void Raise(QObject*) override {}
    void ShowModal(QObject*) override {}
    void ArrangeIcons() override {}
    QStringList& Log;
};

// A window that logs "name:process:pages open while it ran" and answers as told.
class TFakeWindow : public IProcessWindow {
public:
    TFakeWindow(QString name, QStringList& log, bool& answer)
        : Name(std::move(name)), Log(log), Answer(answer) {}
    bool Run(TEntityInfo& file, TReportSetup& setup) override {
        Log << QString("%1:%2:%3").arg(Name).arg(setup.ProcessKind).arg(file.DataEntryPageCount());
        Dates = {setup.FromDate, setup.ToDate};
        if (!Output.isEmpty())
            setup.OutputText = Output;
        return Answer;
    }
    QString Name;
    QString Output; // left in the block's output text when set
    QStringList& Log;
    bool& Answer;
    std::pair<double, double> Dates;
};

} // namespace

// One open client file with its 2006 chart and one data-entry page; the process windows are fakes.
class ProcessLaunchersTest : public DesktopTest, public IBankingServices {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        Windows.SetFactory(wkReports, [](int) { return new QObject; });
        OpenFiles();
        AddPage(File(), pkPayments, 3);
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
    TFakeWindow Parameters{"parameters", Log, Ok};
    TLauncherHost Host{Log};
    TChildWindows Windows{Host, Desktop.Files()};
    TLauncherHooks Hooks{[this] { ++Notices; }, [this] { ++Refreshes; },
                         [this](const QString& path) { Remembered << path; }};
    QStringList Remembered;
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
// (A restore runs through the main window's tests.)
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
        {"forward", [](auto& l) { l.BringForward(); }, prBringForward, true, false, {}, {"forward:12:0"}, {}, 1},
        {"forward, Cancel", [](auto& l) { l.BringForward(); }, prBringForward, false, false, {}, {"forward:12:0"}},
        {"bank entries, Cancel", [](auto& l) { l.TransferBankEntries(); }, prTransferBankStatementEntries, false,
         false, {}, {"parameters:13:0"}},
        {"integrity check (for real)", [](auto& l) { l.DataIntegrityCheck(); }, prDataIntegrityCheck, true, false,
         {B::OK}, {}, {"Data integrity check completed"}},
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
        {"statement transferred", ImportStatements, prImportBankStatements, true, true, {B::OK, B::OK, B::OK},
         {"parameters:2:0", "child:7", "statement:2:0", "parameters:13:0"}, {warning, transfer, "Bank statement entries successfully transferred to cashbook"}},
        // clang-format on
    };
    bool bank = false; // the cases with a bank account come last
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        if (c.Bank && !std::exchange(bank, true))
            AddBankAccount();
        ASSERT_EQ(bank, c.Bank);
        Log.clear(), Prompt->Shown.clear(), Prompt->Beeps.clear();
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
        EXPECT_EQ(boxes.join(" | ").toStdString(), c.Boxes.join(" | ").toStdString());
        if (c.Guard < 0 && !boxes.isEmpty()) { // the bank checks: a warning beep, whatever the box
            EXPECT_EQ(Prompt->Beeps, QList<TBeep>({TBeep::Warning}));
        }
        EXPECT_EQ(Log, c.Log);
        EXPECT_EQ(std::pair(Notices, Refreshes), std::pair(c.Notices, c.Refreshes));
        EXPECT_EQ(File().DataEntryPageCount(), 1);
        EXPECT_FALSE(Windows.ProcessRunning());
    }
    // The transfer after an import starts from the import's dates.
    EXPECT_EQ(Parameters.Dates, std::pair(732000.0, 732030.0));
}

// A transfer out that succeeded tells the main window which archive it wrote, before the pages
// come back; a transfer in, a failed run or a window that names no archive tells nothing.
TEST_F(ProcessLaunchersTest, ATransferOutRemembersTheArchiveItWrote) {
    using B = TMessageButton;
    const QString archive = "/data/TRANSFER/ABC12306.QTF";
    const struct {
        int Process;
        bool Ok;
        QString Output;
        QList<B> Answers;
        QStringList Remembered;
    } cases[] = {
        {prTransferToClient, true, archive, {B::Yes}, {archive}},
        {prTransferToAccountant, true, archive, {B::Yes}, {archive}},
        {prTransferToClient, false, archive, {B::Yes}, {}},
        {prTransferToAccountant, true, "", {B::Yes}, {}},
        {prTransferFromClient, true, archive, {B::Yes, B::No}, {}},
        {prTransferFromAccountant, true, archive, {B::Yes, B::No}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString("%1 %2").arg(c.Process).arg(c.Ok).toStdString());
        Remembered.clear();
        Ok = c.Ok, BackupRestore.Output = c.Output;
        for (const B answer : c.Answers)
            Prompt->Answer(answer);
        Launchers.RunBackupRestoreProcess(c.Process);
        EXPECT_EQ(Remembered, c.Remembered);
        EXPECT_EQ(File().DataEntryPageCount(), 1);
    }
}

// What banking does not offer says so before anything else: no page closes, no window opens and
// no other question comes first. A reset of the reconciliation, which is there, still runs behind
// the guard.
TEST_F(ProcessLaunchersTest, WhatBankingDoesNotOfferSaysSoFirst) {
    using B = TMessageButton;
    AddBankAccount();
    TBankingStandIn standIn;
    TProcessLaunchers launchers{
        Windows, Desktop.Files(), {&BackupRestore, &Forward, &Parameters, &standIn}, Hooks};
    const auto notAvailable = [](const char* function) {
        return TBankingStandIn::NotAvailableText.arg(function);
    };
    const struct {
        const char* Name;
        TAct Act;
        QList<B> Answers;
        QStringList Boxes;
    } cases[] = {
        // clang-format off
        {"statements", ImportStatements, {B::OK}, {notAvailable("Importing bank statements")}},
        {"transactions", [](auto& l) { l.ImportTransactions(); }, {B::OK}, {notAvailable("Importing transactions")}},
        {"export", [](auto& l) { l.Export(); }, {B::OK}, {notAvailable("Exporting data")}},
        {"reconciliation", Reconcile, {B::OK}, {notAvailable("The bank reconciliation")}},
        {"reset, declined", [](auto& l) { l.RunBankRecProcess(0, prResetBankReconciliation); }, {B::Yes, B::No},
         {TChildWindows::GuardQuestion(prResetBankReconciliation, true),
          TBankingStandIn::ResetQuestionText.arg("ABC123")}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Log.clear(), Prompt->Shown.clear();
        for (const B answer : c.Answers)
            Prompt->Answer(answer);
        c.Act(launchers);
        EXPECT_EQ(Prompt->Texts(), c.Boxes);
        EXPECT_TRUE(Log.isEmpty()) << Log.join(' ').toStdString();
        EXPECT_EQ(File().DataEntryPageCount(), 1);
        EXPECT_FALSE(Windows.ProcessRunning());
    }
}

// Without their windows the guarded commands end once the guard has agreed, pages given back.
TEST_F(ProcessLaunchersTest, MissingWindowsEndCleanly) {
    AddBankAccount();
    // clang-format off
    const TAct cases[] = {ToClient, Reconcile, ImportStatements, [](auto& l) { l.BackupActiveFile(true); },
                          [](auto& l) { l.Restore(); }, [](auto& l) { l.BringForward(); },
                          [](auto& l) { l.TransferBankEntries(); }, [](auto& l) { l.ImportTransactions(); }};
    // clang-format on
    for (const TAct& act : cases) {
        Prompt->Answer(TMessageButton::Yes);
        act(Absent);
        EXPECT_EQ(File().DataEntryPageCount(), 1);
    }
    Absent.Export(), Absent.BackupFile(0);
    EXPECT_EQ(Prompt->Shown.size(), std::size(cases)); // the guard's questions alone
    EXPECT_TRUE(Log.isEmpty());
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
