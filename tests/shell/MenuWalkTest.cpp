// Every item of the main window's menus, walked as a user would: which items can be chosen with
// no file, one file and two files open, and what each one does when chosen.
#include "tests/core/ChartTestSupport.h"
#include "tests/shell/DesktopTestSupport.h"

#include "core/io/IniFile.h"
#include "core/services/Help.h"
#include "shell/main/ChildWindowRegistry.h"
#include "shell/main/QuilvaneMain.h"
#include "shell/main/ReportMenuAdapter.h"
#include "shell/shutdown/BackupAnswer.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTimer>
#include <QtWidgets>

namespace {

// Answers every box with its mildest button (Cancel, No, OK), every input box with Cancel, and
// writes down what it was asked.
class TWalkPrompt : public IUserPrompt {
public:
    void Beep(TBeep) override {}
    TMessageButton ShowMessage(TMessageKind, const QString& text, TMessageButtons buttons, int) override {
        Effects << "box:" + text.left(60).replace('\r', ' ').replace('\n', ' ');
        for (const TMessageButton mild : {TMessageButton::Cancel, TMessageButton::No, TMessageButton::OK})
            if (buttons.testFlag(mild))
                return mild;
        return TMessageButton::OK;
    }
    bool InputText(const QString&, const QString& prompt, QString&) override {
        Effects << "input:" + prompt;
        return false;
    }
    QStringList& Effects;
    explicit TWalkPrompt(QStringList& effects) : Effects(effects) {}
};

class TWalkHelp : public IHelp {
public:
    explicit TWalkHelp(QStringList& effects) : Effects(effects) {}
    void ShowContext(int context) override { Effects << "help:" + QString::number(context); }
    QStringList& Effects;
};

class MenuWalkTest : public DesktopTest, public IBackupQuestion {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        TServices::SetPrompt(std::make_shared<TWalkPrompt>(Effects));
        TServices::SetHelp(std::make_shared<TWalkHelp>(Effects));
        for (const QString code : {"AAA111", "BBB222"})
            WriteRecord(code), WriteChart(code);
    }
    void TearDown() override {
        Reports.reset(), Window.reset(), Registry.reset();
        DesktopTest::TearDown();
    }
    TBackupAnswer Ask(const QString&) override { return TBackupAnswer::No; }

    // A fresh main window with the files open (the first active) and the Reports menu built.
    void MakeWindow(const QStringList& codes) {
        Reports.reset(), Window.reset(), Registry.reset();
        TMainWindowParts parts;
        parts.Opener = this;
        parts.BackupQuestion = this;
        parts.RunDialog = [this](QDialog& dialog) {
            Effects << QString("dialog:") + dialog.metaObject()->className();
            return int(QDialog::Rejected);
        };
        Window = std::make_unique<TfmQuilvaneMain>(*Params, "WORKSTATION1", parts);
        Registry = std::make_unique<TChildWindowRegistry>(*Window);
        Window->SetChildWindows(Registry.get());
        Reports = TReportMenuAdapter::ForMainWindow(*Window, *Registry);
        Window->SetReportMenu(Reports.get());
        Window->show();
        if (!codes.isEmpty())
            Window->Desktop().OpenFiles(codes.join(",") + ",", QString("1,").repeated(codes.size()));
        Effects.clear();
    }

    // Every item as "menu > submenu > item" with its action and whether the menus above it are
    // enabled, the menus opened as a user opens them.
    struct TItem {
        QString Path;
        QAction* Action;
        bool MenusEnabled;
    };
    QList<TItem> Items(QAction* menuAction, const QString& path, bool enabled) {
        QMenu* menu = menuAction->menu();
        emit menu->aboutToShow();
        enabled = enabled && menuAction->isEnabled();
        QList<TItem> items;
        for (QAction* action : menu->actions()) {
            if (action->isSeparator())
                continue;
            const QString name = path + " > " + action->text();
            if (action->menu())
                items << Items(action, name, enabled);
            else
                items << TItem{name, action, enabled};
        }
        return items;
    }
    QList<TItem> AllItems() {
        QList<TItem> items;
        for (QAction* top : Window->menuBar()->actions())
            items << Items(top, top->text(), true);
        return items;
    }
    // Whether a user can choose the item: it and every menu above it enabled, and it visible.
    static bool Choosable(const TItem& item) {
        return item.MenusEnabled && item.Action->isEnabled() && item.Action->isVisible();
    }
    // "path +" / "path -" / "path ~" (hidden) for every item.
    QString States() {
        QStringList lines;
        for (const TItem& item : AllItems())
            lines << item.Path + (item.Action->isVisible() ? (Choosable(item) ? " +" : " -") : " ~");
        // the tool bar's buttons, as shown
        for (QAction* action : Window->tbrMain->actions())
            if (auto* button = qobject_cast<QToolButton*>(Window->tbrMain->widgetForAction(action)))
                lines << "Tool bar > " + button->text() + (action->isEnabled() ? " +" : " -");
        return lines.join('\n') + '\n';
    }

    // What choosing an item did: boxes, dialogs (modal windows that are not run through the frame
    // are closed as they come), help, new child windows, files closed, the active file, the ini.
    QStringList Choose(QAction* action) {
        const int children = Window->MdiArea()->subWindowList().size();
        const int files = Window->Desktop().Files().Count();
        const QString active = Window->Desktop().Files().Code(Window->Desktop().ActiveIndex());
        const QByteArray ini = ReadFileBytes(TempPath("Quilvane.ini"));
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                Effects << QString("modal:") + modal->metaObject()->className();
                modal->close();
            }
        });
        closer.start(10);
        action->trigger();
        QCoreApplication::processEvents();
        closer.stop();
        QStringList effects = Effects;
        Effects.clear();
        if (!Window->isVisible())
            return effects << "closed";
        for (QMdiSubWindow* sub : Window->MdiArea()->subWindowList().mid(children))
            effects << QString("window:") + sub->widget()->metaObject()->className();
        if (Window->Desktop().Files().Count() != files)
            effects << "files:" + QString::number(Window->Desktop().Files().Count());
        else if (Window->Desktop().Files().Code(Window->Desktop().ActiveIndex()) != active)
            effects << "active:" + Window->Desktop().Files().Code(Window->Desktop().ActiveIndex());
        if (ReadFileBytes(TempPath("Quilvane.ini")) != ini)
            effects << "ini";
        return effects;
    }

    QStringList Effects;
    std::unique_ptr<TChildWindowRegistry> Registry;
    std::unique_ptr<TfmQuilvaneMain> Window;
    std::unique_ptr<TReportMenuAdapter> Reports;
};

std::string MenuGolden(const char* name) {
    return TestData((QByteArray("menus/") + name).constData()).toStdString();
}

// The enabled state of every item and tool-bar button with no file, one file and two files open
// follows the rules of the menus (tests/data/menus/menu-states-*.txt).
TEST_F(MenuWalkTest, EveryItemIsEnabledByTheRulesOfItsMenu) {
    const std::pair<QStringList, const char*> desktops[] = {
        {{}, "menu-states-0.txt"}, {{"AAA111"}, "menu-states-1.txt"}, {{"AAA111", "BBB222"}, "menu-states-2.txt"}};
    for (const auto& [codes, golden] : desktops) {
        SCOPED_TRACE(golden);
        MakeWindow(codes);
        EXPECT_EQ(States().toStdString(), MenuGolden(golden));
    }
}

// With two files open, each item that can be chosen, chosen on a fresh window, does what
// tests/data/menus/menu-effects.txt says: no item does nothing, except choosing the file that is
// already active from the recently-used files.
TEST_F(MenuWalkTest, EveryItemThatCanBeChosenDoesSomething) {
    // a placement section for Close All and Reset Positions to erase
    TIniFile(TempPath("Quilvane.ini")).WriteString("Reports", "NormPos", "1,2,3,4");
    MakeWindow({"AAA111", "BBB222"});
    QStringList paths;
    for (const TItem& item : AllItems())
        if (Choosable(item))
            paths << item.Path;
    QStringList lines;
    for (const QString& path : paths) {
        MakeWindow({"AAA111", "BBB222"});
        for (const TItem& item : AllItems())
            if (item.Path == path) {
                const QStringList effects = Choose(item.Action);
                lines << path + " => " + (effects.isEmpty() ? "nothing" : effects.join(", "));
                break;
            }
    }
    EXPECT_EQ((lines.join('\n') + '\n').toStdString(), MenuGolden("menu-effects.txt"));
    EXPECT_EQ(lines.filter(" => nothing").size(), 1) << lines.filter(" => nothing").join('\n').toStdString();
}

} // namespace
