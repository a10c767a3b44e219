#include "shell/startup/SplashScreen.h"

#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

TEST(SplashScreenTest, StartupWindowIsBorderlessWithLoadingTextAndNoOK) {
    TfrmSplashScreen splash;
    EXPECT_EQ(splash.size(), QSize(540, 366));
    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(splash.lblLoading->text(), QStringLiteral("Loading..."));
    EXPECT_EQ(splash.lblProgramVersion->text(), QStringLiteral("Program Version:"));
    EXPECT_FALSE(splash.imgSplash->pixmap().isNull());
    splash.show();
    EXPECT_FALSE(splash.btnOK->isVisible());
    EXPECT_FALSE(splash.lblAddress->isVisible());
}

TEST(SplashScreenTest, AboutBoxShowsBothVersionsAndOK) {
    EXPECT_EQ(TfrmSplashScreen::AboutText(QStringLiteral("6.0.0"), QStringLiteral("2006.1")),
              QStringLiteral("6.0.0 (DAT Version: 2006.1)"));
    // Texts with % signs in them are taken as they are.
    EXPECT_EQ(TfrmSplashScreen::AboutText(QStringLiteral("%2"), QStringLiteral("%1")),
              QStringLiteral("%2 (DAT Version: %1)"));

    TfrmSplashScreen about;
    about.PrepareAbout(QStringLiteral("6.0.0"), QStringLiteral("2006.1"));
    about.show();
    EXPECT_EQ(about.lblProgramVersionTxt->text(), QStringLiteral("6.0.0 (DAT Version: 2006.1)"));
    EXPECT_TRUE(about.btnOK->isVisible());
    EXPECT_TRUE(about.lblAddress->isVisible());
    about.btnOK->click();
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}
