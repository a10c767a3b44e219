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
        "&Master Reports=7|&File Specific Reports=8|&Practice Reports=9|&Superannuation Reports=10|]|[Gr&aphs|"
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

// The accelerator of an item or submenu title: the character after a single ampersand.
QChar Accelerator(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] != u'&')
            return caption[i + 1].toUpper();
        ++i; // a doubled ampersand is a plain one
    }
    return {};
}

TEST_F(ReportsTest, TheGeneralLedgerAndTheGraphsHaveAcceleratorsOfTheirOwn) {
    QMenu menu;
    BuildReportMenu(&menu, nullptr, "NSP", {}, &menu);
    QString ledger, graphs;
    QStringList others;
    for (QAction* action : menu.actions()) {
        const QString caption = action->menu() ? action->menu()->title() : action->text();
        if (action->data().toInt() == 3)
            ledger = caption;
        else if (action->menu() && action->menu()->actions().value(0) &&
                 action->menu()->actions().value(0)->data().toInt() == 50)
            graphs = caption;
        else
            others << caption;
    }
    ASSERT_FALSE(ledger.isEmpty());
    ASSERT_FALSE(graphs.isEmpty());
    EXPECT_EQ(Accelerator(ledger), u'G');
    ASSERT_FALSE(Accelerator(graphs).isNull()) << graphs.toStdString();
    EXPECT_NE(Accelerator(graphs), Accelerator(ledger));
    for (const QString& other : others)
        EXPECT_NE(Accelerator(other), Accelerator(graphs)) << other.toStdString();
    EXPECT_EQ(Accelerator("Save &&Print"), QChar());
    EXPECT_EQ(Accelerator("A&&B &c"), u'C');
}

} // namespace
