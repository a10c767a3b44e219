#include "tests/shell/DesktopTestSupport.h"

#include "core/io/IniFile.h"
#include "core/vocab/WindowKinds.h"
#include "reports/fmReports.h"
#include "shell/main/ChildWindowRegistry.h"
#include "shell/main/QuilvaneMain.h"
#include "shell/main/ReportMenuAdapter.h"
#include "shell/shutdown/BackupTimer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

// The main window, shown, with its child windows and the Reports menu installed; the program ini
// is in the test's temporary folder.
class ReportsPlacementTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        TMainWindowParts parts;
        parts.Opener = this;
        Window = std::make_unique<TfmQuilvaneMain>(*Params, "WORKSTATION1", parts);
        Registry = std::make_unique<TChildWindowRegistry>(*Window);
        Window->SetChildWindows(Registry.get());
        Reports = TReportMenuAdapter::ForMainWindow(*Window, *Registry);
        Window->SetReportMenu(Reports.get());
        Window->show();
    }
    void TearDown() override {
        Reports.reset();
        Window.reset();
        Registry.reset();
        DesktopTest::TearDown();
    }
    // The frame of the Reports window, opened first; nullptr when it is not open.
    QMdiSubWindow* ReportsFrame(bool open) {
        if (open)
            Registry->OpenChildWindow(wkReports);
        auto* reports = qobject_cast<TfmReports*>(Registry->Windows().ReportsWindow());
        return reports ? qobject_cast<QMdiSubWindow*>(reports->parentWidget()) : nullptr;
    }
    QString SavedPosition() const {
        TIniFile ini(IniPath);
        ini.SetStripQuotes(true);
        return ini.ReadString(TfmReports::PlacementSection, QStringLiteral("NormPos"),
                              QStringLiteral("(none)"));
    }

    const QString IniPath = TempPath(QStringLiteral("Quilvane.ini"));
    std::unique_ptr<TChildWindowRegistry> Registry;
    std::unique_ptr<TfmQuilvaneMain> Window;
    std::unique_ptr<TReportMenuAdapter> Reports;
};

} // namespace

// The Reports window comes up where its section of the program ini puts it, and closing it writes
// where it was then, which is where it comes up next time.
TEST_F(ReportsPlacementTest, TheReportsWindowComesBackWhereItWasClosed) {
    ASSERT_TRUE(
        WriteFileBytes(IniPath, "[DESKTOP]\r\nRestoreDesktop=1\r\n[Reports]\r\nNormPos=40,30,440,330\r\n"));
    QMdiSubWindow* frame = ReportsFrame(true);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->geometry(), QRect(40, 30, 400, 300));

    frame->setGeometry(60, 50, 320, 240);
    frame->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ReportsFrame(false), nullptr);
    EXPECT_EQ(SavedPosition(), QStringLiteral("60,50,380,290"));
    EXPECT_TRUE(ReadFileBytes(IniPath).startsWith("[DESKTOP]\r\nRestoreDesktop=1\r\n"));

    frame = ReportsFrame(true);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->geometry(), QRect(60, 50, 320, 240));
}

// A timed save writes the place of the open Reports window and leaves it open; the exit writes
// the place it has then.
TEST_F(ReportsPlacementTest, TimedSavingAndTheExitWriteWhereTheReportsWindowIs) {
    QMdiSubWindow* frame = ReportsFrame(true);
    ASSERT_NE(frame, nullptr);
    frame->setGeometry(10, 20, 300, 200);
    Params->TimedBackups = true;
    Params->BackupInterval = 1;
    Window->BackupTimer().EnableFromSettings();
    EXPECT_TRUE(Window->BackupTimer().OnTick());
    EXPECT_EQ(SavedPosition(), QStringLiteral("10,20,310,220"));
    EXPECT_EQ(ReportsFrame(false), frame);
    EXPECT_TRUE(frame->isVisible());

    frame->setGeometry(70, 80, 300, 200);
    Prompt->Answer(TMessageButton::Yes);
    EXPECT_TRUE(Window->close());
    EXPECT_EQ(SavedPosition(), QStringLiteral("70,80,370,280"));
}
