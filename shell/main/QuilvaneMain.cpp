#include "shell/main/QuilvaneMain.h"

#include "controls/calculator/fmCalculator.h"
#include "controls/progress/ProgressHost.h"
#include "controls/util/SlotGuard.h"
#include "core/charts/AccountsChart.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/files/Paths.h"
#include "core/services/Progress.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "core/transactions/TransactionClipboard.h"
#include "core/util/TextHelpers.h"
#include "core/vocab/PageKinds.h"
#include "core/vocab/ProcessKinds.h"
#include "core/vocab/ProgramIdentity.h"
#include "core/vocab/WindowKinds.h"
#include "platform/printing/ProgramPrinter.h"
#include "reports/fmReportsAndLayouts.h"
#include "shell/desktop/DesktopOpener.h"
#include "shell/desktop/DesktopWidgets.h"
#include "shell/editmenu/BasMenuState.h"
#include "shell/editmenu/EditCommands.h"
#include "shell/editmenu/ToolsMenuState.h"
#include "shell/filedelete/FileDelete.h"
#include "shell/main/BankingStandIn.h"
#include "shell/main/EditMenuState.h"
#include "shell/main/ProgramIcon.h"
#include "shell/openfile/OpenFileDialog.h"
#include "shell/shutdown/BackupTimer.h"
#include "shell/shutdown/ShutdownSequence.h"
#include "shell/shutdown/frmConfirmBackup.h"
#include "shell/transfer/TransferWatcher.h"
#include "shell/windowmenu/AboutBox.h"
#include "shell/windowmenu/WindowCommands.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>

#include <algorithm>

namespace {

// The window class that shows a kind; empty for an unknown kind or one without a class.
QStringView ClassOfKind(int kind) {
    return IsWindowKind(kind) ? WindowKindEntry(kind).WindowClass : QStringView();
}

int IntProperty(const QObject* object, const char* name, int missing) {
    bool ok = false;
    const int value = object->property(name).toInt(&ok);
    return ok ? value : missing;
}

} // namespace

TfmQuilvaneMain::TfmQuilvaneMain(TProgramParams& settings, const QString& userName,
                                 const TMainWindowParts& parts, QWidget* parent)
    : QMainWindow(parent), Parts(parts) {
    setObjectName(QStringLiteral("fmQuilvaneMain"));
    setWindowTitle(MainWindowTitle.toString());
    QApplication::setWindowIcon(ProgramIcon());
    setWindowIcon(QApplication::windowIcon());
    resize(1024, 700);

    Mdi = new QMdiArea(this);
    Mdi->setObjectName(QStringLiteral("MdiArea"));
    setCentralWidget(Mdi);

    if (!Parts.Opener) {
        OwnOpener = std::make_unique<TDesktopOpener>(this);
        Parts.Opener = OwnOpener.get();
    }
    if (!Parts.BackupQuestion) {
        OwnQuestion = std::make_unique<TConfirmBackupQuestion>(this);
        Parts.BackupQuestion = OwnQuestion.get();
    }
    FileDesktop = std::make_unique<TDesktop>(*Parts.Opener, static_cast<IDesktopView&>(*this));
    ShutdownDesktop = std::make_unique<TDesktopShutdownAdapter>(
        *FileDesktop, static_cast<IDesktopView&>(*this), static_cast<IShutdownFrame&>(*this));
    Timer = std::make_unique<TBackupTimer>(*ShutdownDesktop, settings);
    Shutdown = std::make_unique<TShutdownSequence>(*ShutdownDesktop, *Parts.BackupQuestion, settings, *Timer);
    TFileCommandHost commandHost;
    commandHost.Parent = this;
    commandHost.Desktop = FileDesktop.get();
    commandHost.Registry = [this]() -> IChildWindowRegistry& { return *Registry; };
    commandHost.RunDialog = [this](QDialog& dialog) { return RunDialog(dialog); };
    commandHost.BackupTimer = [this] { return Timer.get(); };
    commandHost.PreferencesSaved = [this] {
        Timer->EnableFromSettings();
        NotifyActiveFile(false);
    };
    Commands = std::make_unique<TFileCommands>(std::move(commandHost));

    Watcher = new TTransferWatcher(this);
    Watcher->SetBusyCheck([this] {
        return ModalDialogOpen() || Registry->ProcessRunning() || TProgressHost::ShownCount() > 0;
    });
    Watcher->SetFileActiveCheck([this] { return FileDesktop->ActiveIndex() >= 0; });
    connect(Watcher, &TTransferWatcher::TransferOffered, this, [this](const TTransferOffer& offer) {
        GuardSlot([this, &offer] { Commands->TransferArrived(offer); });
    });

    CreateMenus();

    HintPanel = new QLabel(this);
    UserPanel = new QLabel(TDesktop::UserText(userName), this);
    statusBar()->addWidget(HintPanel, 1);
    statusBar()->addPermanentWidget(UserPanel);
    UserPanel->setMinimumWidth(150);
    ShowHint(QString());
    // While a progress window shows (application-modal, so the window is out of reach anyway)
    // the hint line says so; it is cleared when the last one hides.
    TProgressHost::SetCallback([this](bool busy) {
        ShowHint(busy ? BusyHint : QString());
        HintPanel->repaint();
    });

    DisableFileMenus();
    RecentFilesChanged();
    Timer->EnableFromSettings();
}

TfmQuilvaneMain::~TfmQuilvaneMain() {
    TProgressHost::SetCallback({});
    // The children go after this part of the window: their focus moves are no news to it.
    disconnect(qApp, nullptr, this, nullptr);
    disconnect(QGuiApplication::clipboard(), nullptr, this, nullptr);
    disconnect(Mdi, nullptr, this, nullptr);
}

void TfmQuilvaneMain::CreateMenus() {
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    actNew = mnuFile->addAction(QStringLiteral("&New..."));
    actNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    actNew->setStatusTip(QStringLiteral("Create a new client file"));
    connect(actNew, &QAction::triggered, this, [this] { GuardSlot([this] { Commands->NewFile(); }); });
    actOpen = mnuFile->addAction(QStringLiteral("&Open..."));
    actOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    actOpen->setStatusTip(QStringLiteral("Open one or more client files"));
    connect(actOpen, &QAction::triggered, this, [this] { GuardSlot([this] { actOpenExecute(); }); });
    actClose = mnuFile->addAction(QStringLiteral("&Close"));
    actClose->setStatusTip(QStringLiteral("Close one or more open client files"));
    connect(actClose, &QAction::triggered, this, [this] { GuardSlot([this] { actCloseExecute(); }); });
    actFileDelete = mnuFile->addAction(QStringLiteral("&Delete"));
    actFileDelete->setStatusTip(QStringLiteral("Delete the active file with all its years and backups"));
    connect(actFileDelete, &QAction::triggered, this, [this] {
        GuardSlot([this] {
            const bool deleted =
                TFileDelete().Execute(*FileDesktop, FileDesktop->ActiveIndex(), [this](int index) {
                    return Registry->CloseAllPages(index, false, false);
                });
            if (deleted)
                RecentFilesChanged();
        });
    });
    actFileProperties = mnuFile->addAction(QStringLiteral("&Properties..."));
    actFileProperties->setStatusTip(QStringLiteral("Edit the details of the active client file"));
    connect(actFileProperties, &QAction::triggered, this, [this] {
        GuardSlot([this] { Commands->FileProperties(); });
        WatchTransferFolders(); // the transfer folder may have moved
    });
    actFileChangeYear = mnuFile->addAction(QStringLiteral("Change &Year..."));
    actFileChangeYear->setStatusTip(QStringLiteral("Move the active file to another financial year"));
    connect(actFileChangeYear, &QAction::triggered, this,
            [this] { GuardSlot([this] { Commands->ChangeYear(); }); });
    const auto processItem = [this](QMenu* menu, const char* caption, const char* tip,
                                    IChildWindowRegistry::TProcessCommand command) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setStatusTip(QString::fromLatin1(tip));
        connect(action, &QAction::triggered, this,
                [this, command] { GuardSlot([this, command] { Registry->RunProcessCommand(command); }); });
        return action;
    };
    actImportTransactions =
        processItem(mnuFile, "Import Transactions...", "Import transactions into the active file",
                    IChildWindowRegistry::pcImportTransactions);
    actImportTransactions->setVisible(false);
    actImportBankStatements = processItem(mnuFile, "&Import Bank Statements - Brismere \u00AE...",
                                          "Import bank statements into the active file",
                                          IChildWindowRegistry::pcImportBankStatements);
    actExport = processItem(mnuFile, "&Export Data - Ordwell \u00AE...", "Export the active file's data",
                            IChildWindowRegistry::pcExport);
    mnuFile->addSeparator();
    const std::pair<int, const char*> archiveItems[] = {
        {prTransferToAccountant, "Transfer &To Accountant..."},
        {prTransferFromAccountant, "Transfer &From Accountant..."},
        {prTransferToClient, "Transfer &To Client..."},
        {prTransferFromClient, "Transfer &From Client..."},
        {prBackup, "&Backup..."},
        {prRestore, "&Restore..."}};
    for (const auto& [process, caption] : archiveItems) {
        QAction* action = mnuFile->addAction(QString::fromLatin1(caption));
        action->setStatusTip(ProcessKindEntry(process).Name.toString() +
                             QStringLiteral(" for the active file"));
        const int run = process;
        connect(action, &QAction::triggered, this,
                [this, run] { GuardSlot([this, run] { Registry->RunBackupRestoreProcess(run); }); });
        (process == prBackup    ? actBackup
         : process == prRestore ? actRestore
                                : actTransfers[process - prTransferToClient]) = action;
    }
    mnuFile->addSeparator();
    mnuQuilvaneSetup = mnuFile->addAction(QStringLiteral("QUILVANE Setup..."));
    mnuQuilvaneSetup->setStatusTip(QStringLiteral("Set the program's preferences"));
    connect(mnuQuilvaneSetup, &QAction::triggered, this,
            [this] { GuardSlot([this] { Commands->Preferences(); }); });
    actPrinterSetup = mnuFile->addAction(QStringLiteral("&Printer Setup..."));
    actPrinterSetup->setStatusTip(QStringLiteral("Choose the printer and page the program prints on"));
    connect(actPrinterSetup, &QAction::triggered, this, [this] {
        GuardSlot([this] {
            QPageSetupDialog dialog(&ProgramPrinter(), this);
            RunDialog(dialog);
        });
    });
    EntityListBreak = mnuFile->addSeparator();
    mnuFileExit = mnuFile->addAction(QStringLiteral("E&xit"));
    mnuFileExit->setStatusTip(QStringLiteral("Leave Quilvane"));
    connect(mnuFileExit, &QAction::triggered, this, [this] { GuardSlot([this] { close(); }); });

    mnuEdit = menuBar()->addMenu(QStringLiteral("&Edit"));
    const std::tuple<int, const char*, QKeySequence> clipItems[] = {
        {TEditCommands::ecUndo, "&Undo", QKeySequence(Qt::CTRL | Qt::Key_Z)},
        {TEditCommands::ecCut, "Cu&t", QKeySequence(Qt::CTRL | Qt::Key_X)},
        {TEditCommands::ecCopy, "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C)},
        {TEditCommands::ecPaste, "&Paste", QKeySequence(Qt::CTRL | Qt::Key_V)},
        {TEditCommands::ecSelectAll, "Select All", QKeySequence()}};
    for (const auto& [command, caption, shortcut] : clipItems) {
        QAction* action = mnuEdit->addAction(QString::fromLatin1(caption));
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        const int run = command;
        connect(action, &QAction::triggered, this, [this, run] {
            GuardSlot([this, run] {
                TEditCommands::Run(run, Mdi->activeSubWindow(), QApplication::focusWidget());
            });
        });
        actClipboard[static_cast<size_t>(command)] = action;
    }
    mnuEdit->addSeparator();
    struct TTransactionItem {
        TDataEntryCommand Command;
        const char* Caption;
        QKeySequence Shortcut;
        const char* Tip;
    };
    const TTransactionItem transactionItems[] = {
        {decCopyTransactions, "C&opy Transaction(s)", {}, "Copy the selected transactions to the clipboard"},
        {decPasteTransactions, "P&aste Transaction(s)", {}, "Paste transactions from the clipboard"},
        {decInsertTransaction, "&Insert Transaction", QKeySequence(Qt::CTRL | Qt::Key_Insert),
         "Insert a transaction above the current one"},
        {decDeleteTransactions, "D&elete Transaction(s)", QKeySequence(Qt::CTRL | Qt::Key_Delete),
         "Delete the selected transactions"},
        {decCreateDissection, "Create &Dissection", QKeySequence(Qt::Key_F7),
         "Make the selected transactions one dissection"},
        {decRemoveDissection, "&Remove Dissection", QKeySequence(Qt::SHIFT | Qt::Key_F7),
         "Split the current dissection into single transactions"},
        {decGenerateContras, "&Generate Contras", QKeySequence(Qt::Key_F6),
         "Balance the page's bank accounts with contra lines"},
    };
    for (const TTransactionItem& item : transactionItems) {
        QAction* action = mnuEdit->addAction(QString::fromLatin1(item.Caption));
        action->setShortcut(item.Shortcut);
        action->setStatusTip(QString::fromLatin1(item.Tip));
        const TDataEntryCommand command = item.Command;
        connect(action, &QAction::triggered, this,
                [this, command] { GuardSlot([this, command] { RunTransactionCommand(command); }); });
        actTransactions[command] = action;
    }
    connect(mnuEdit, &QMenu::aboutToShow, this, [this] { UpdateEditMenu(); });
    // The tool bar's Undo, Cut, Copy and Paste follow the focus, the active window and the
    // clipboard as they change; a command asks its rule afresh when it runs.
    connect(qApp, &QApplication::focusChanged, this, [this] { UpdateEditMenu(); });
    connect(Mdi, &QMdiArea::subWindowActivated, this, [this] { UpdateEditMenu(); });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { UpdateEditMenu(); });
    UpdateEditMenu();

    mnuMasterDetails = menuBar()->addMenu(QStringLiteral("&Master Details"));
    const std::pair<int, const char*> chartItems[] = {{wkAccounts, "&Accounts..."},
                                                      {wkStandardDescriptions, "&Standard Descriptions..."},
                                                      {wkTaxes, "&Taxes..."},
                                                      {wkCurrencies, "&Currencies"}};
    for (size_t item = 0; item < std::size(chartItems); ++item) {
        const auto& [kind, caption] = chartItems[item];
        QAction* action = mnuMasterDetails->addAction(QString::fromLatin1(caption));
        actMasterDetails[item] = action;
        action->setStatusTip(
            QStringLiteral("Show the %1 of the active file").arg(WindowKindEntry(kind).Name));
        const int windowKind = kind;
        connect(action, &QAction::triggered, this, [this, windowKind] {
            GuardSlot([this, windowKind] { Registry->OpenMasterDetails(windowKind); });
        });
    }

    mnuMasterDetails->addSeparator();
    for (const auto& [caption, kind] : {std::pair("Custom &Reports...", TfmReportsAndLayouts::CustomReports),
                                        std::pair("&Layouts...", TfmReportsAndLayouts::Layouts),
                                        std::pair("&Report Jobstream Sets...", TfmReportsAndLayouts::JobstreamSets)}) {
        QAction* action = mnuMasterDetails->addAction(QString::fromLatin1(caption));
        const int definitions = kind;
        connect(action, &QAction::triggered, this, [this, definitions] {
            GuardSlot([this, definitions] {
                TfmReportsAndLayouts window(this);
                window.Runner = [this](QDialog& dialog) { return RunDialog(dialog); };
                window.Execute(FileDesktop->Files(), FileDesktop->ActiveIndex(), definitions);
            });
        });
    }

    mnuDataEntry = menuBar()->addMenu(QStringLiteral("&Data Entry"));
    const auto addPageItem = [this](QMenu* menu, int pageKind, const char* caption) {
        QAction* action = menu->addAction(QString::fromLatin1(caption));
        action->setStatusTip(
            QStringLiteral("Open a %1 page of the active file").arg(PageKindEntry(pageKind).Name));
        connect(action, &QAction::triggered, this,
                [this, pageKind] { GuardSlot([this, pageKind] { Registry->OpenDataEntryPage(pageKind); }); });
    };
    addPageItem(mnuDataEntry, pkPayments, "&Payments");
    addPageItem(mnuDataEntry, pkReceipts, "&Receipts");
    QMenu* journals = mnuDataEntry->addMenu(QStringLiteral("&Journals"));
    addPageItem(journals, pkGeneralJournals, "&General Journals");
    addPageItem(journals, pkSalesJournals, "&Sales Journals");
    addPageItem(journals, pkPurchasesJournals, "&Purchases Journals");
    addPageItem(journals, pkWagesJournals, "&Wages Journals");
    addPageItem(journals, pkPettyCashJournals, "Petty &Cash Journals");
    addPageItem(mnuDataEntry, pkBankStatementDeposits, "Bank Statement &Deposits");
    addPageItem(mnuDataEntry, pkBankStatementWithdrawals, "Bank Statement &Withdrawals");
    addPageItem(mnuDataEntry, pkMemorisedPayments, "&Memorised Payments");
    addPageItem(mnuDataEntry, pkStandardBankTransactions, "&Standard Bank Transactions");
    addPageItem(mnuDataEntry, pkOpeningBalances, "&Opening Balances");
    mnuBankRec = menuBar()->addMenu(QStringLiteral("&Bank Rec"));
    QMenu* openingReconciliation = mnuBankRec->addMenu(QStringLiteral("&Opening Reconciliation"));
    QAction* startingDetails = openingReconciliation->addAction(QStringLiteral("&Starting Details..."));
    connect(startingDetails, &QAction::triggered, this,
            [this] { GuardSlot([this] { Registry->OpenBankRecOpenings(); }); });
    addPageItem(openingReconciliation, pkOpeningUnpresentedCheques, "Opening &Unpresented Cheques");
    addPageItem(openingReconciliation, pkOpeningOutstandingDeposits, "Opening &Outstanding Deposits");
    processItem(mnuBankRec, "&Perform Reconciliation...", "Reconcile a bank account of the active file",
                IChildWindowRegistry::pcPerformReconciliation);
    processItem(mnuBankRec, "R&eset Reconciliation", "Start a bank account's reconciliation over",
                IChildWindowRegistry::pcResetReconciliation);
    QMenu* reconciliationReports = mnuBankRec->addMenu(QStringLiteral("&Reconciliation Reports"));
    // The report items carry their report numbers and run through the report dispatcher.
    const auto reportItem = [this](QMenu* menu, int number, const QString& caption, bool checkTaxes) {
        QAction* action = menu->addAction(caption);
        action->setData(number);
        connect(action, &QAction::triggered, this, [this, number, checkTaxes] {
            GuardSlot([this, number, checkTaxes] {
                const TEntityInfo* file = FileDesktop->Files().ActiveFile();
                if (file && (!checkTaxes || file->CheckBASEnabled()))
                    Reports->DoReport(number);
            });
        });
    };
    for (const auto& [number, caption] :
         {std::pair(53, "&Bank Reconciliation"), std::pair(54, "&Possible Matches"),
          std::pair(55, "Find Duplicated Unmatched Entries")})
        reportItem(reconciliationReports, number, QString::fromLatin1(caption), false);
    mnuBASIAS = menuBar()->addMenu(QStringLiteral("B&AS / IAS"));
    QAction* basSetup = mnuBASIAS->addAction(QStringLiteral("BAS / IAS &Setup..."));
    connect(basSetup, &QAction::triggered, this, [this] {
        GuardSlot([this] {
            const TEntityInfo* file = FileDesktop->Files().ActiveFile();
            if (file && file->CheckBASEnabled())
                TBankingStandIn::SayNotAvailable(QStringLiteral("BAS / IAS Setup"));
        });
    });
    mnuBASIAS->addSeparator();
    for (const TBankingStandIn::TActivityStatementItem& item : TBankingStandIn::ActivityStatementItems)
        reportItem(mnuBASIAS, item.Number, item.Caption.toString(), true);
    mnuBASIAS->addSeparator();
    mnuOpenGroupFiles = mnuBASIAS->addAction(QStringLiteral("&Open Group Files"));
    connect(mnuOpenGroupFiles, &QAction::triggered, this,
            [this] { GuardSlot([this] { OpenGroupFiles(); }); });
    connect(mnuBASIAS, &QMenu::aboutToShow, this, [this] {
        const TEntityInfo* file = FileDesktop->Files().ActiveFile();
        const TBasMenuState state =
            TBasMenuState::Of(file != nullptr, file ? file->EntityDetail().GSTGroupOption : 0);
        mnuOpenGroupFiles->setEnabled(state.OpenGroupFiles);
        for (QAction* action : mnuBASIAS->actions()) {
            if (action->data() == QVariant(78))
                action->setEnabled(state.AnnualGSTReturn);
            else if (action->data() == QVariant(79))
                action->setEnabled(state.AnnualGSTInformationReport);
        }
    });
    mnuReports = menuBar()->addMenu(QStringLiteral("&Reports"));
    mnuTools = menuBar()->addMenu(QStringLiteral("&Tools"));
    mnuBringForward = mnuTools->addAction(QStringLiteral("&Bring Forward from Prior Year..."));
    mnuBringForward->setStatusTip(QStringLiteral("Bring the active file forward from its prior year"));
    connect(mnuBringForward, &QAction::triggered, this,
            [this] { GuardSlot([this] { Registry->BringForward(); }); });
    mnuTransferBankEntries = processItem(mnuTools, "&Transfer Bank Transactions to Cashbook...",
                                         "Transfer bank-statement entries to the cash book",
                                         IChildWindowRegistry::pcTransferBankEntries);
    QMenu* workpapers = mnuTools->addMenu(QStringLiteral("&Tessaly Interactive Workpapers \u00AE"));
    mnuTessaly = workpapers->menuAction();
    for (const char* caption : {"Create &Member and Tax Note Journals...", "Create &NMV Journals..."}) {
        QAction* action = workpapers->addAction(QString::fromLatin1(caption));
        const QString function = QStringLiteral("Creating journals from the workpapers");
        connect(action, &QAction::triggered, this,
                [function] { GuardSlot([function] { TBankingStandIn::SayNotAvailable(function); }); });
    }
    mnuTools->addSeparator();
    mnuRenameFile = mnuTools->addAction(QStringLiteral("&Rename File..."));
    mnuRenameFile->setStatusTip(QStringLiteral("Give the active file a new file code"));
    connect(mnuRenameFile, &QAction::triggered, this,
            [this] { GuardSlot([this] { Commands->RenameOrCopyFile(TFileCommands::RenameMode); }); });
    mnuCopyFile = mnuTools->addAction(QStringLiteral("&Copy File..."));
    mnuCopyFile->setStatusTip(QStringLiteral("Copy the active file to a new file code"));
    connect(mnuCopyFile, &QAction::triggered, this,
            [this] { GuardSlot([this] { Commands->RenameOrCopyFile(TFileCommands::CopyMode); }); });
    mnuDataIntegrityCheck =
        processItem(mnuTools, "Data &Integrity Check", "Check and repair the active file's data",
                    IChildWindowRegistry::pcDataIntegrityCheck);
    mnuTransferDiskInventory = mnuTools->addAction(QStringLiteral("Transfer Disk &Inventory"));
    mnuTransferDiskInventory->setStatusTip(
        QStringLiteral("List the transfer files on a drive and create files from them"));
    connect(mnuTransferDiskInventory, &QAction::triggered, this,
            [this] { GuardSlot([this] { Commands->TransferDiskInventory(); }); });
    QAction* calculator = mnuTools->addAction(QStringLiteral("&Calculator"));
    calculator->setStatusTip(QStringLiteral("Work out an amount"));
    connect(calculator, &QAction::triggered, this, [this] {
        GuardSlot([this] {
            TfrmCalculator window(this);
            RunDialog(window);
        });
    });
    connect(mnuTools, &QMenu::aboutToShow, this, [this] { UpdateToolsMenu(); });
    UpdateToolsMenu();
    mnuWindow = menuBar()->addMenu(QStringLiteral("&Window"));
    WindowCommands = std::make_unique<TWindowCommands>(
        Mdi, [this] { return FileDesktop->Files().Count(); },
        [this](int index) { return Registry->CloseAllPages(index, false, true); });
    const auto windowItem = [this](const char* caption, std::function<void()> run) {
        QAction* action = mnuWindow->addAction(QString::fromLatin1(caption));
        connect(action, &QAction::triggered, this, [run] { GuardSlot(run); });
        return action;
    };
    actCascade = windowItem("&Cascade", [this] { WindowCommands->Cascade(); });
    actTile = windowItem("&Tile", [this] { WindowCommands->Tile(); });
    actArrangeIcons = windowItem("&Arrange Icons", [this] { WindowCommands->ArrangeIcons(); });
    mnuWindow->addSeparator();
    actCloseAllWindows = windowItem("Close All &Windows", [this] { WindowCommands->CloseAllWindows(); });
    actCloseAllAndReset = windowItem("Close All and &Reset Positions", [this] {
        WindowCommands->CloseAllAndResetPositions(TProgramParams::IniPath());
    });
    WindowListBreak = mnuWindow->addSeparator();
    connect(mnuWindow, &QMenu::aboutToShow, this, [this] { UpdateWindowMenu(); });
    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction* contents = mnuHelp->addAction(QStringLiteral("&Contents and Index"));
    connect(contents, &QAction::triggered, this, [] { GuardSlot([] { TServices::Help().ShowContext(0); }); });
    QAction* about = mnuHelp->addAction(QStringLiteral("&About..."));
    // The version line names this build and the release of the practice's reference data.
    connect(about, &QAction::triggered, this, [this] {
        GuardSlot([this] {
            TAboutBox::Show(HasProgramParams() ? ProgramParams().Release : QString(),
                            [this](QDialog& dialog) { return RunDialog(dialog); });
        });
    });

    tbrMain = addToolBar(QStringLiteral("Main"));
    tbrMain->setObjectName(QStringLiteral("tbrMain"));
    tbrMain->addAction(actNew);
    tbrMain->addAction(actOpen);
    tbrMain->addAction(actClose);
    tbrMain->addAction(actFileProperties);
    tbrMain->addAction(actFileChangeYear);
    tbrMain->addSeparator();
    // The three chart windows most used, then Undo, Cut, Copy and Paste, captioned without their
    // accelerators and dots.
    const auto addButton = [this](QAction* action) {
        tbrMain->addAction(action);
        if (auto* button = qobject_cast<QToolButton*>(tbrMain->widgetForAction(action)))
            button->setText(PlainCaption(action->text()));
    };
    for (size_t item = 0; item < 3; ++item)
        addButton(actMasterDetails[item]);
    tbrMain->addSeparator();
    for (size_t command = TEditCommands::ecUndo; command <= TEditCommands::ecPaste; ++command)
        addButton(actClipboard[command]);
    tbrMain->addSeparator();
    cboActiveFile = new TActiveFileCombo(tbrMain);
    cboActiveFile->setObjectName(QStringLiteral("cboActiveFile"));
    cboActiveFile->setMinimumContentsLength(40);
    cboActiveFile->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    tbrMain->addWidget(cboActiveFile);
    connect(cboActiveFile, &QComboBox::activated, this,
            [this](int index) { GuardSlot([this, index] { FileDesktop->SetActiveIndex(index); }); });
}

void TfmQuilvaneMain::SetChildWindows(IChildWindowRegistry* registry) {
    Registry = registry ? registry : &NoChildWindows;
}

void TfmQuilvaneMain::SetReportMenu(IReportMenu* reportMenu) {
    Reports = reportMenu ? reportMenu : &NoReportMenu;
}

void TfmQuilvaneMain::RememberOwnArchive(const QString& nativePath) {
    Watcher->RememberOwnArchive(nativePath);
}

int TfmQuilvaneMain::RunDialog(QDialog& dialog) {
    return Parts.RunDialog ? Parts.RunDialog(dialog) : dialog.exec();
}

void TfmQuilvaneMain::actOpenExecute() {
    TfmOpenFile dialog(this);
    if (dialog.Setup(FileDesktop->Files(), 0) < 0)
        return;
    if (RunDialog(dialog) != QDialog::Accepted)
        return;
    const TOpenFileSelection chosen = dialog.Selection();
    FileDesktop->OpenFiles(chosen.CodesText(), chosen.FlagsText());
}

void TfmQuilvaneMain::actCloseExecute() {
    const QList<int> chosen = Reports->ChooseFilesToClose(*FileDesktop);
    if (!chosen.isEmpty())
        Shutdown->CloseChosenFiles(chosen);
}

void TfmQuilvaneMain::closeEvent(QCloseEvent* event) {
    bool mayClose = false;
    GuardSlot([&] { mayClose = Shutdown->CloseQuery(); });
    event->setAccepted(mayClose);
}

bool TfmQuilvaneMain::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        ShowHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TfmQuilvaneMain::RestoreDesktop() {
    GuardSlot([this] { FileDesktop->RestoreDesktop(); });
}

void TfmQuilvaneMain::EnableMainMenus() {
    for (QAction* menu : menuBar()->actions())
        menu->setEnabled(true);
    UpdateFileActions();
}

void TfmQuilvaneMain::DisableFileMenus() {
    for (QMenu* menu : {mnuMasterDetails, mnuDataEntry, mnuBankRec, mnuBASIAS, mnuReports})
        menu->menuAction()->setEnabled(false);
    UpdateFileActions();
}

void TfmQuilvaneMain::UpdateFileActions() {
    const TFileMenuState state = TFileMenuState::Of(FileDesktop->Files().Count(), FileDesktop->ActiveIndex());
    actClose->setEnabled(state.Close);
    actFileProperties->setEnabled(state.Properties);
    actFileChangeYear->setEnabled(state.ChangeYear);
    actFileDelete->setEnabled(state.Close);
    for (QAction* transfer : actTransfers)
        transfer->setEnabled(state.Transfers);
    actBackup->setEnabled(state.Backup);
    for (QAction* action : {actImportTransactions, actImportBankStatements, actExport})
        action->setEnabled(state.Transfers);
    actRestore->setEnabled(state.Restore);
    // The chart windows follow the open files whether the menu or the tool bar offers them.
    for (QAction* chart : actMasterDetails)
        chart->setEnabled(state.Close);
    UpdateToolsMenu();
}

void TfmQuilvaneMain::UpdateEditMenu() {
    const TClipEditState clip = TEditCommands::StateFor(Mdi->activeSubWindow(), QApplication::focusWidget());
    const bool clipStates[] = {clip.Undo, clip.Cut, clip.Copy, clip.Paste, clip.SelectAll};
    for (size_t i = 0; i < actClipboard.size(); ++i)
        actClipboard[i]->setEnabled(clipStates[i]);
    IDataEntryWindow* entry = Registry->ActiveDataEntryWindow();
    const int pageKind = entry ? entry->CurrentPageKind() : -1;
    std::array<bool, DataEntryCommandCount> buttons{};
    for (int command = 0; command < DataEntryCommandCount; ++command)
        buttons[static_cast<size_t>(command)] = entry && entry->CommandEnabled(TDataEntryCommand(command));
    const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
    const bool transactions = clipboard && TransactionClipboard::HasTransactions(*clipboard);
    const TEditMenuState state = TEditMenuState::Of(pageKind, transactions, buttons);
    for (int command = 0; command < DataEntryCommandCount; ++command)
        actTransactions[static_cast<size_t>(command)]->setEnabled(
            state.Enabled[static_cast<size_t>(command)]);
}

void TfmQuilvaneMain::RunTransactionCommand(TDataEntryCommand command) {
    // A shortcut reaches here without the menu opening: the rules are asked afresh.
    UpdateEditMenu();
    if (!actTransactions[command]->isEnabled())
        return;
    if (IDataEntryWindow* entry = Registry->ActiveDataEntryWindow())
        entry->RunCommand(command);
}

void TfmQuilvaneMain::OpenGroupFiles() {
    const int representative = FileDesktop->ActiveIndex();
    const TEntityInfo* file = FileDesktop->Files().File(representative);
    if (!file)
        return;
    if (MessageBeepAndShow(TServices::Prompt(), TMessageKind::Question,
                           QStringLiteral("Open all GST group files associated with the current file ?"),
                           TMessageButton::OK | TMessageButton::Cancel) != TMessageButton::OK)
        return;
    const QString representativeCode = FileDesktop->Files().Code(representative);
    QStringList codes;
    QStringList flags;
    for (int member = 1; member < static_cast<int>(file->EntityDetail().GSTGroupFile.size()); ++member) {
        const QString code = file->EntityDetail().GSTGroupFile[static_cast<size_t>(member)].trimmed();
        if (code.isEmpty())
            continue;
        codes << code;
        flags << TOpenFileSelection::AvailableFlag;
    }
    if (!codes.isEmpty())
        FileDesktop->OpenFiles(codes.join(u','), flags.join(u','));
    // The representative is the active file again.
    FileDesktop->SetActiveIndex(FileDesktop->Files().IndexOf(representativeCode));
    NotifyActiveFile(false);
}

void TfmQuilvaneMain::UpdateWindowMenu() {
    const TWindowMenuState state = TWindowMenuState::Of(WindowCommands->ChildCount());
    actCascade->setEnabled(state.Cascade);
    actTile->setEnabled(state.Tile);
    actArrangeIcons->setEnabled(state.ArrangeIcons);
    actCloseAllWindows->setEnabled(state.CloseAllWindows);
    actCloseAllAndReset->setEnabled(state.CloseAllAndReset);
    // The list of the child windows after the break, the active one checked.
    const QList<QAction*> actions = mnuWindow->actions();
    for (qsizetype i = actions.indexOf(WindowListBreak) + 1; i < actions.size(); ++i) {
        mnuWindow->removeAction(actions[i]);
        actions[i]->deleteLater();
    }
    const QStringList captions = WindowCommands->WindowList();
    for (int i = 0; i < captions.size(); ++i) {
        QAction* item = mnuWindow->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(captions[i]));
        connect(item, &QAction::triggered, this,
                [this, i] { GuardSlot([this, i] { WindowCommands->ActivateWindow(i); }); });
    }
}

void TfmQuilvaneMain::UpdateToolsMenu() {
    const TFileMenuState state = TFileMenuState::Of(FileDesktop->Files().Count(), FileDesktop->ActiveIndex());
    mnuRenameFile->setEnabled(state.RenameFile);
    // Bringing forward needs last year's chart of accounts.
    bool lastYearChart = false;
    if (const TEntityInfo* active = FileDesktop->Files().ActiveFile()) {
        const int year = active->EntityDetail().Year;
        if (const TAccountsChart* accounts = active->AccountsChart(year))
            lastYearChart = QFileInfo::exists(TServices::FileSystem().ResolveCaseInsensitive(
                NativePath(accounts->GetFileName(TOptionSet{Option::Standard}, year - 1))));
    }
    const TEntityInfo* activeFile = FileDesktop->Files().ActiveFile();
    const TToolsMenuState tools = TToolsMenuState::Of(
        state.RenameFile, lastYearChart, activeFile ? activeFile->EntityDetail().EntityType : QString());
    mnuBringForward->setEnabled(tools.BringForward);
    mnuTransferBankEntries->setEnabled(tools.TransferBankTransactions);
    mnuDataIntegrityCheck->setEnabled(tools.DataIntegrityCheck);
    mnuTessaly->setEnabled(tools.Tessaly);
    mnuCopyFile->setEnabled(state.CopyFile);
}

QMdiSubWindow* TfmQuilvaneMain::AddChildWindow(QWidget* child, int kind) {
    child->setProperty(WindowKindProperty, kind);
    QMdiSubWindow* window = Mdi->addSubWindow(child);
    window->setProperty(WindowKindProperty, kind);
    return window;
}

int TfmQuilvaneMain::FindMDIChildOfKind(int kind) const {
    const QStringView wanted = ClassOfKind(kind);
    if (wanted.isEmpty())
        return -1;
    const QList<QMdiSubWindow*> children = Mdi->subWindowList(QMdiArea::CreationOrder);
    for (int i = 0; i < children.size(); ++i) {
        const int childKind = IntProperty(children[i], WindowKindProperty, -1);
        if (childKind >= 0 && ClassOfKind(childKind) == wanted)
            return i;
    }
    return -1;
}

void TfmQuilvaneMain::ActivateFromOtherInstance() {
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
    if (!isVisible())
        show();
    raise();
    activateWindow();
    // The window manager may refuse to hand over the focus; asking is all a program can do.
    if (QWindow* handle = windowHandle())
        handle->requestActivate();
}

void TfmQuilvaneMain::ShowHint(const QString& hint) {
    HintPanel->setText(TDesktop::HintText(hint));
}

QString TfmQuilvaneMain::StatusHint() const {
    return HintPanel->text();
}

QString TfmQuilvaneMain::StatusUser() const {
    return UserPanel->text();
}

void TfmQuilvaneMain::FilesChanged() {
    cboActiveFile->Refresh(*FileDesktop);
    WatchTransferFolders();
}

void TfmQuilvaneMain::WatchTransferFolders() {
    QList<TWatchedFile> files;
    const TDesktopFiles& open = FileDesktop->Files();
    for (int i = 0; i < open.Count(); ++i) {
        const TEntityDetail& detail = open.File(i)->EntityDetail();
        files.append({open.Code(i), detail.XferDir, detail.Year, detail.Name});
    }
    Watcher->SetFiles(files);
}

void TfmQuilvaneMain::ActiveFileChanged() {
    NotifyActiveFile(false);
}

void TfmQuilvaneMain::NotifyActiveFile(bool skipReportMenu) {
    cboActiveFile->Refresh(*FileDesktop);
    Registry->ActiveFileChanged(FileDesktop->ActiveIndex());
    TEntityInfo* active = FileDesktop->Files().ActiveFile();
    if (!skipReportMenu && !FileDesktop->Restoring() && active)
        Reports->RebuildReportMenu(*mnuReports, active);
}

void TfmQuilvaneMain::RecentFilesChanged() {
    RebuildRecentFilesMenu(*mnuFile, EntityListBreak, mnuFileExit, *FileDesktop,
                           [this](const QString& code) { FileDesktop->OpenRecentFile(code); });
}

void TfmQuilvaneMain::RebuildRecentFiles() {
    RecentFilesChanged();
    cboActiveFile->Refresh(*FileDesktop);
}

void TfmQuilvaneMain::RebuildReportMenu(TEntityInfo& file) {
    Reports->RebuildReportMenu(*mnuReports, &file);
}

void TfmQuilvaneMain::SelectActiveFile(int index) {
    FileDesktop->Files().SetActiveIndex(index);
    cboActiveFile->Refresh(*FileDesktop);
}

void TfmQuilvaneMain::FileMenusEnabled(bool enabled) {
    if (enabled)
        EnableMainMenus();
    else
        DisableFileMenus();
}

bool TfmQuilvaneMain::DataEntryWindowOpen() const {
    return Registry->DataEntryWindowOpen();
}

void TfmQuilvaneMain::OpenDataEntryWindow() {
    Registry->OpenDataEntryWindow();
}

int TfmQuilvaneMain::CloseAllPages(int index) {
    return Registry->CloseAllPages(index, false, true);
}

void TfmQuilvaneMain::DetachEntity(TEntityInfo& file) {
    Reports->DetachEntity(file);
}

void TfmQuilvaneMain::CloseChildWindowsExceptReports() {
    for (QMdiSubWindow* child : Mdi->subWindowList()) {
        if (IntProperty(child, WindowKindProperty, -1) == wkReports)
            continue;
        child->close();
        QCoreApplication::processEvents();
    }
}

void TfmQuilvaneMain::OpenChildWindow(int kind) {
    Registry->OpenChildWindow(kind);
}

void TfmQuilvaneMain::ProcessEvents() {
    QCoreApplication::processEvents();
}

QList<TDesktopChild> TfmQuilvaneMain::Children() const {
    // The frame lists its children from the bottom of the stack; the shutdown wants the top first.
    QList<QMdiSubWindow*> stack = Mdi->subWindowList(QMdiArea::StackingOrder);
    std::reverse(stack.begin(), stack.end());
    ListedChildren.clear();
    QList<TDesktopChild> children;
    for (QMdiSubWindow* child : stack) {
        ListedChildren.append(child);
        children.append(
            {IntProperty(child, WindowKindProperty, -1), IntProperty(child, ChartKindProperty, -1)});
    }
    return children;
}

void TfmQuilvaneMain::CloseChild(int position) {
    if (position < 0 || position >= ListedChildren.size())
        return;
    if (QMdiSubWindow* child = ListedChildren[position])
        child->close();
}

bool TfmQuilvaneMain::ModalDialogOpen() const {
    return QApplication::activeModalWidget() != nullptr;
}

IChildWindowRegistry& TfmQuilvaneMain::ChildWindows() {
    return *Registry;
}
