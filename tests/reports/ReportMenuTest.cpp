#include "ReportsTestSupport.h"

#include "core/common/Exceptions.h"
#include "reports/ReportMenu.h"

#include <QAction>
#include <QMenu>

namespace {

// The menu in order: "caption=number" for an item, "[group" where a submenu starts, "]" where it ends.
QStringList Outline(const QMenu& menu) {
    QStringList outline;
    for (QAction* action : menu.actions())
        if (QMenu* sub = action->menu())
            outline << "[" + sub->title() << Outline(*sub) << "]";
        else
            outline << action->text() + "=" + action->data().toString();
    return outline;
}

TEST_F(ReportsTest, BuildReportMenuReplacesTheItemsAndTagsThemWithNumbers) {
    QMenu menu;
    menu.addAction("stale");
    QList<int> clicked;
    for (int build = 0; build < 2; ++build)
        BuildReportMenu(
            &menu, nullptr, "NSP", [&](int number) { clicked << number; }, &menu);
    EXPECT_EQ(
        Outline(menu).join('|').toStdString(),
        "&Profit and Loss=1|&Trial Balance=2|&General Ledger=3|&Transaction List=4|[C&ustom Reports|"
        "&Master Reports=7|&File Specific Reports=8|&Practice Reports=9|&Superannuation Reports=10|]|[&Graphs|"
        "&Income and Expenses=50|Income and Expenses &Year to Date=51|&Cash Book and Bank Statement=52|]|"
        "[&Reconciliation|&Bank Reconciliation=53|]|"
        "[&Listings|&Chart of Accounts=57|&Standard Descriptions=58|&Tax Codes=59|C&urrency Rates=60|"
        "Transaction &Files=61|]|[&Log Files|Ti&me Log=62|&Backup Log=63|&Restore Log=64|&Export Log=65|"
        "&Import Log=66|Transfer &To Log=67|Transfer &From Log=68|]");

    menu.actions()[1]->trigger();
    menu.actions().last()->menu()->actions().last()->trigger();
    EXPECT_EQ(clicked, (QList<int>{2, 68}));

    // a report that fails is shown and does not escape the click
    BuildReportMenu(
        &menu, nullptr, "NSP", [](int) { throw EQuilvaneError("Log damaged"); }, nullptr);
    Prompt->Answer(TMessageButton::OK);
    EXPECT_NO_THROW(menu.actions().first()->trigger());
    EXPECT_EQ(Prompt->Texts(), QStringList{"Log damaged"});
}

} // namespace
