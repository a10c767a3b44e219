#include "core/vocab/WindowKinds.h"
#include "shell/main/QuilvaneMain.h"
#include "shell/startup/SplashScreen.h"
#include "tests/shell/ShellFixture.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

TEST_F(ShellTest, StatusBarShowsTheHintOrReadyAndTheUser) {
    TfmQuilvaneMain window(QStringLiteral("WORKSTATION1"));
    EXPECT_EQ(window.StatusHint(), QStringLiteral(" Ready."));
    EXPECT_EQ(window.StatusUser(), QStringLiteral(" User: WORKSTATION1"));
    window.ShowHint(QStringLiteral("Open a file"));
    EXPECT_EQ(window.StatusHint(), QStringLiteral(" Open a file"));
    window.ShowHint(QString());
    EXPECT_EQ(window.StatusHint(), QStringLiteral(" Ready."));
}

TEST_F(ShellTest, ActivationBringsAMinimisedWindowUpMaximisedAndLeavesANormalOneItsSize) {
    for (const bool minimised : {true, false}) {
        SCOPED_TRACE(minimised);
        TfmQuilvaneMain window(QStringLiteral("WORKSTATION1"));
        minimised ? window.showMinimized() : window.showNormal();
        QCoreApplication::processEvents();
        ASSERT_EQ(window.isMinimized(), minimised);
        window.ActivateFromOtherInstance();
        QCoreApplication::processEvents();
        EXPECT_FALSE(window.isMinimized());
        EXPECT_EQ(window.windowState().testFlag(Qt::WindowMaximized), minimised);
        EXPECT_TRUE(window.isVisible());
    }
}

TEST_F(ShellTest, ChildWindowsAreFoundByTheClassOfTheirKind) {
    TfmQuilvaneMain window(QStringLiteral("WORKSTATION1"));
    EXPECT_EQ(window.FindMDIChildOfKind(wkReports), -1);
    for (const int kind : {wkReports, wkTaxes, wkDataEntry, wkBudgets, wkCustomReports})
        window.AddChildWindow(new QWidget, kind);
    // The first window in the order they were opened, whichever is in front.
    window.MdiArea()->setActiveSubWindow(window.MdiArea()->subWindowList().at(3));
    // Kinds that share a class find each other's windows; kinds without a class, or outside the
    // table, find none.
    const std::pair<int, int> found[] = {
        {wkReports, 0}, {wkDataEntry, 2}, {wkTaxes, 1},          {wkAccounts, 1}, {wkReportLayouts, 4},
        {wkGraphs, -1}, {wkBudgets, -1},  {wkJobstreamSets, -1}, {-1, -1},        {WindowKindCount, -1}};
    for (const auto& [kind, index] : found)
        EXPECT_EQ(window.FindMDIChildOfKind(kind), index) << kind;
}

TEST_F(ShellTest, SplashHidesOKWhichTheAboutBoxShows) {
    TfrmSplashScreen splash;
    splash.show();
    EXPECT_FALSE(splash.btnOK->isVisible());
    EXPECT_FALSE(splash.lblAddress->isVisible());
    EXPECT_FALSE(splash.imgSplash->pixmap().isNull());

    TfrmSplashScreen about;
    // Texts with % signs in them are taken as they are.
    about.PrepareAbout(QStringLiteral("6.0.0"), QStringLiteral("%1"));
    about.show();
    EXPECT_EQ(about.lblProgramVersionTxt->text(), QStringLiteral("6.0.0 (DAT Version: %1)"));
    EXPECT_TRUE(about.btnOK->isVisible());
    EXPECT_TRUE(about.lblAddress->isVisible());
    about.btnOK->click();
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}
