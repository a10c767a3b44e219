#include "platform/help/HelpService.h"

#include "tests/support/ServicesFixture.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

class HelpServiceTest : public TServicesFixture {
protected:
    THelpService MakeService() {
        return THelpService(Temp.path(), [this](const QString& path) {
            Opened.append(path);
            return OpenSucceeds;
        });
    }
    void WritePage(int context) {
        QFile page(TempPath(QString::number(context) + QStringLiteral(".html")));
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
        page.write("<html><body>Help</body></html>");
    }
    QStringList Opened;
    bool OpenSucceeds = true;
};

} // namespace

TEST_F(HelpServiceTest, ShippedPageOfTheContextOpens) {
    WritePage(6010);
    THelpService help = MakeService();
    help.ShowContext(6010);
    EXPECT_EQ(Opened, QStringList{TempPath(QStringLiteral("6010.html"))});
    EXPECT_TRUE(Prompt->Shown.isEmpty());
}

TEST_F(HelpServiceTest, MissingPageSaysHelpIsNotInstalled) {
    WritePage(6010);
    THelpService help = MakeService();
    Prompt->Answer(TMessageButton::OK);
    help.ShowContext(100000);
    EXPECT_TRUE(Opened.isEmpty());
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Information);
    EXPECT_EQ(Prompt->Shown[0].Text,
              QStringLiteral("Help for this topic (context 100000) is not installed."));
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Information});
}

TEST_F(HelpServiceTest, PageThatCannotBeShownFallsBackToTheMessage) {
    WritePage(6000);
    OpenSucceeds = false;
    THelpService help = MakeService();
    Prompt->Answer(TMessageButton::OK);
    help.ShowContext(6000);
    EXPECT_EQ(Opened.size(), 1);
    EXPECT_EQ(Prompt->Shown.size(), 1);
}

TEST_F(HelpServiceTest, ContextsThatNameNoPage) {
    THelpService help = MakeService();
    EXPECT_TRUE(help.PageForContext(0).isEmpty());
    EXPECT_TRUE(help.PageForContext(-5).isEmpty());
    EXPECT_TRUE(THelpService(QString()).PageForContext(6010).isEmpty());
}
