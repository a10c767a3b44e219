#include "shell/main/QuilvaneMain.h"

#include "core/vocab/WindowKinds.h"

#include <QMdiArea>
#include <QTest>
#include <gtest/gtest.h>

TEST(QuilvaneMainTest, BareWindowHasTitleStatusAndEmptyDesktop) {
    TfmQuilvaneMain window(QStringLiteral("WORKSTATION1"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("QUILVANE 2006"));
    ASSERT_NE(window.MdiArea(), nullptr);
    EXPECT_TRUE(window.MdiArea()->subWindowList().isEmpty());
    EXPECT_EQ(window.StatusHint(), QStringLiteral(" Ready."));
    EXPECT_EQ(window.StatusUser(), QStringLiteral(" User: WORKSTATION1"));
    window.ShowHint(QStringLiteral("Open a file"));
    EXPECT_EQ(window.StatusHint(), QStringLiteral(" Open a file"));
    window.ShowHint(QString());
    EXPECT_EQ(window.StatusHint(), QStringLiteral(" Ready."));
}

TEST(QuilvaneMainTest, ActivationBringsAMinimisedWindowUpMaximised) {
    TfmQuilvaneMain window(QStringLiteral("WORKSTATION1"));
    window.showMinimized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window.isMinimized());
    window.ActivateFromOtherInstance();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(window.windowState().testFlag(Qt::WindowMaximized));
    EXPECT_TRUE(window.isVisible());
}

TEST(QuilvaneMainTest, ActivationLeavesANormalWindowItsSize) {
    TfmQuilvaneMain window(QStringLiteral("WORKSTATION1"));
    window.showNormal();
    QCoreApplication::processEvents();
    window.ActivateFromOtherInstance();
    EXPECT_FALSE(window.windowState().testFlag(Qt::WindowMaximized));
    EXPECT_TRUE(window.isVisible());
}

TEST(QuilvaneMainTest, ChildWindowsAreFoundByTheClassOfTheirKind) {
    TfmQuilvaneMain window(QStringLiteral("WORKSTATION1"));
    for (int kind = 0; kind < WindowKindCount; ++kind)
        EXPECT_EQ(window.FindMDIChildOfKind(kind), -1) << kind;

    window.AddChildWindow(new QWidget, wkReports);
    window.AddChildWindow(new QWidget, wkTaxes);
    window.AddChildWindow(new QWidget, wkDataEntry);

    EXPECT_EQ(window.FindMDIChildOfKind(wkReports), 0);
    EXPECT_EQ(window.FindMDIChildOfKind(wkDataEntry), 2);
    // The master-details kinds share one window class: any of them finds the Taxes window.
    EXPECT_EQ(window.FindMDIChildOfKind(wkTaxes), 1);
    EXPECT_EQ(window.FindMDIChildOfKind(wkAccounts), 1);
    EXPECT_EQ(window.FindMDIChildOfKind(wkGraphs), -1);
    // Kinds without a class of their own are never found, even when a window carries the kind.
    window.AddChildWindow(new QWidget, wkBudgets);
    EXPECT_EQ(window.FindMDIChildOfKind(wkBudgets), -1);
    EXPECT_EQ(window.FindMDIChildOfKind(wkJobstreamSets), -1);
    // Numbers outside the table find nothing.
    EXPECT_EQ(window.FindMDIChildOfKind(-1), -1);
    EXPECT_EQ(window.FindMDIChildOfKind(13), -1);
    // Report Layouts and Custom Reports share a class as well.
    window.AddChildWindow(new QWidget, wkCustomReports);
    EXPECT_EQ(window.FindMDIChildOfKind(wkReportLayouts), 4);
}
