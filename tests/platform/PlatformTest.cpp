#include "core/services/Services.h"
#include "platform/cursor/QtCursorService.h"
#include "platform/help/HelpService.h"
#include "platform/instance/SingleInstance.h"
#include "platform/printing/PrinterList.h"
#include "platform/prompt/QtUserPrompt.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ServicesFixture.h"

#include <QLocalServer>
#include <QtTest>
#include <QtWidgets>
#include <sys/socket.h>
#include <sys/un.h>
#include <tuple>
#include <unistd.h>

namespace {

using B = TMessageButton;

// The services with a help that records its contexts; checks that no cursor shape is left laid.
class PlatformTest : public TServicesFixture {
protected:
    struct TRecordingHelp : IHelp {
        void ShowContext(int context) override { Contexts.append(context); }
        QList<int> Contexts;
    };
    void SetUp() override {
        TServicesFixture::SetUp();
        TServices::SetHelp(Help);
    }
    void TearDown() override {
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        TServicesFixture::TearDown();
    }
    // A socket path of this test alone, so parallel runs and a running program never meet.
    QString SocketName() const { return TempPath(QStringLiteral("qv.sock")); }

    std::shared_ptr<TRecordingHelp> Help = std::make_shared<TRecordingHelp>();
};

// Leaves a socket file as a copy that crashed would: bound, then abandoned without listening.
bool LeaveStaleSocket(const QString& path) {
    sockaddr_un address{AF_UNIX, {}};
    qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof(address.sun_path));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound;
}

// Sets an environment variable for a test and puts the earlier value back afterwards.
class TEnvironmentSetting {
public:
    explicit TEnvironmentSetting(const char* name)
        : Name(name), WasSet(qEnvironmentVariableIsSet(name)), Earlier(qgetenv(name)) {}
    ~TEnvironmentSetting() {
        if (WasSet)
            qputenv(Name, Earlier);
        else
            qunsetenv(Name);
    }
    // An empty value unsets the variable.
    void Set(const QString& value) const {
        if (value.isEmpty())
            qunsetenv(Name);
        else
            qputenv(Name, QFile::encodeName(value));
    }

private:
    const char* Name;
    bool WasSet;
    QByteArray Earlier;
};

} // namespace

TEST_F(PlatformTest, AnswerIsTheButtonPressedElseCancelElseTheFirstOffered) {
    const std::tuple<QMessageBox::StandardButton, TMessageButtons, TMessageButton> cases[] = {
        {QMessageBox::YesToAll, B::Yes | B::No | B::All | B::Cancel, B::All},
        {QMessageBox::Abort, B::Abort | B::Retry | B::Ignore, B::Abort},
        // Help never ends a box; were it to, the answer is that of a box closed another way.
        {QMessageBox::Help, B::OK | B::Cancel | B::Help, B::Cancel},
        {QMessageBox::Help, B::Retry | B::Help, B::Retry},
        {QMessageBox::NoButton, B::Retry | B::Cancel | B::Help, B::Cancel},
        // A button the box did not offer cannot be the answer.
        {QMessageBox::Yes, B::OK, B::OK},
    };
    for (const auto& [clicked, offered, answer] : cases)
        EXPECT_EQ(TQtUserPrompt::AnswerFor(clicked, offered), answer) << clicked << " of " << offered.toInt();
}

TEST_F(PlatformTest, HelpButtonOpensTheContextAndLeavesTheBoxOpen) {
    // A box with no answer button of its own offers OK.
    auto box = TQtUserPrompt::BuildBox(TMessageKind::Error, QStringLiteral("Unable to read."), B::Help, 6010);
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    box->show();
    QAbstractButton* help = box->button(QMessageBox::Help);
    ASSERT_NE(help, nullptr);
    help->click();
    help->click();
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(Help->Contexts, (QList<int>{6010, 6010}));
    ASSERT_NE(box->button(QMessageBox::Ok), nullptr);
    box->button(QMessageBox::Ok)->click();
    EXPECT_FALSE(box->isVisible());
    auto question = TQtUserPrompt::BuildBox(TMessageKind::Question, QStringLiteral("Replace?"),
                                            B::Yes | B::No | B::All | B::Cancel, 0);
    EXPECT_EQ(question->escapeButton(), question->button(QMessageBox::Cancel));
    EXPECT_EQ(question->button(QMessageBox::Help), nullptr);
}

TEST_F(PlatformTest, HelpOpensTheContextsPageElseSaysItIsNotInstalled) {
    for (const char* page : {"0.html", "6010.html"})
        ASSERT_TRUE(WriteFileBytes(TempPath(QString::fromLatin1(page)), "<html></html>"));
    // The context, whether the page can be shown, whether it was, whether the box comes.
    const std::tuple<int, bool, bool, bool> cases[] = {
        {6010, true, true, false},
        {100000, true, false, true},
        {6010, false, true, true}, // the page is there but cannot be shown
        {0, true, false, true},    // no context names a page, whatever the folder holds
    };
    for (const auto& [context, openWorks, opened, box] : cases) {
        QStringList pages;
        THelpService help(Temp.path(), [&, works = openWorks](const QString& path) {
            pages.append(path);
            return works;
        });
        if (box)
            Prompt->Answer(B::OK);
        help.ShowContext(context);
        EXPECT_TRUE(Prompt->ScriptDone()) << context;
        EXPECT_EQ(pages, opened ? QStringList{TempPath(QStringLiteral("6010.html"))} : QStringList())
            << context;
    }
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>(3, TBeep::Information));
    EXPECT_TRUE(Prompt->Shown.value(0).Text.contains(QStringLiteral("100000")));
}

TEST_F(PlatformTest, CursorShapesNestAndUnbalancedPopsAreIgnored) {
    TQtCursorService cursor;
    cursor.Push(TCursorKind::Busy);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    cursor.Push(TCursorKind::Normal);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
    cursor.Pop();
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    cursor.Pop();
    cursor.Pop();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // Shapes still laid when the service goes are taken off with it (checked on tear-down).
    cursor.Push(TCursorKind::Busy);
    cursor.Push(TCursorKind::Busy);
}

TEST_F(PlatformTest, PdfPrinterIsAlwaysThereOnceSoADefaultExists) {
    TPrinterList printers;
    const QStringList names = printers.Printers();
    ASSERT_FALSE(names.isEmpty());
    EXPECT_EQ(names.last(), TPrinterList::PdfPrinterName());
    EXPECT_EQ(names.count(TPrinterList::PdfPrinterName()), 1);
    EXPECT_GE(printers.DefaultPrinterIndex(), 0);
    EXPECT_LT(printers.DefaultPrinterIndex(), names.size());
}

TEST_F(PlatformTest, OneCopyRunsAndLaterOnesAskItToComeForward) {
    // A copy that crashed left its socket behind: it does not block the next start.
    ASSERT_TRUE(LeaveStaleSocket(SocketName()));
    {
        TSingleInstance first(SocketName());
        ASSERT_EQ(first.Claim(), TInstanceClaim::Runs);
        EXPECT_TRUE(first.Listening());
        QSignalSpy activations(&first, &TSingleInstance::ActivateRequested);
        for (int copy = 1; copy <= 2; ++copy) {
            TSingleInstance later(SocketName());
            EXPECT_EQ(later.Claim(), TInstanceClaim::OtherCameForward);
            EXPECT_FALSE(later.Listening());
            EXPECT_TRUE(activations.count() == copy || activations.wait(5000));
            EXPECT_EQ(activations.count(), copy);
        }
    }
    // The name is free again once the running copy ends.
    TSingleInstance next(SocketName());
    EXPECT_EQ(next.Claim(), TInstanceClaim::Runs);
}

TEST_F(PlatformTest, EachDesktopLoginHasItsOwnRunningCopy) {
    const TEnvironmentSetting runtime("XDG_RUNTIME_DIR");
    const QString login1 = TempPath(QStringLiteral("run1"));
    const QString login2 = TempPath(QStringLiteral("run2"));
    ASSERT_TRUE(QDir().mkpath(login1) && QDir().mkpath(login2));

    runtime.Set(login1);
    TSingleInstance first;
    EXPECT_EQ(first.Name(), login1 + QStringLiteral("/Quilvane"));
    ASSERT_EQ(first.Claim(), TInstanceClaim::Runs);
    QSignalSpy firstAsked(&first, &TSingleInstance::ActivateRequested);

    runtime.Set(login2);
    TSingleInstance second;
    EXPECT_EQ(second.Claim(), TInstanceClaim::Runs);
    EXPECT_TRUE(first.Listening() && second.Listening());
    QSignalSpy secondAsked(&second, &TSingleInstance::ActivateRequested);

    // A third start in the second login finds the copy of that login, and only that one.
    TSingleInstance third;
    EXPECT_EQ(third.Claim(), TInstanceClaim::OtherCameForward);
    EXPECT_EQ(secondAsked.count(), 1);
    EXPECT_EQ(firstAsked.count(), 0);
}

TEST_F(PlatformTest, WithoutAUsableRuntimeFolderTheNameIsTheUsersAndTheDisplays) {
    const TEnvironmentSetting runtime("XDG_RUNTIME_DIR");
    const TEnvironmentSetting wayland("WAYLAND_DISPLAY");
    const TEnvironmentSetting display("DISPLAY");
    const QString file = TempPath(QStringLiteral("not-a-folder"));
    ASSERT_TRUE(QFile(file).open(QIODevice::WriteOnly));
    const QString uid = QString::number(::getuid());
    const struct {
        QString Runtime; // empty: not set
        const char* Display;
        QString Name; // after the temporary folder
    } cases[] = {
        {{}, ":0", "Quilvane-" + uid + "-_0"},
        {{}, ":1.0", "Quilvane-" + uid + "-_1.0"},
        {{}, nullptr, "Quilvane-" + uid},
        {QStringLiteral("relative/run"), ":0", "Quilvane-" + uid + "-_0"},
        {TempPath(QStringLiteral("missing")), ":2", "Quilvane-" + uid + "-_2"},
        {file, "host:3", "Quilvane-" + uid + "-host_3"},
    };
    wayland.Set({});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name.toStdString());
        runtime.Set(c.Runtime);
        display.Set(c.Display ? QString::fromLatin1(c.Display) : QString());
        EXPECT_EQ(TSingleInstance::RuntimeFolder(), QString());
        EXPECT_EQ(TSingleInstance::DefaultName(), QDir::tempPath() + u'/' + c.Name);
    }
    // Wayland's display names the login when there is one.
    wayland.Set(QStringLiteral("wayland-1"));
    EXPECT_EQ(TSingleInstance::DefaultName(), QDir::tempPath() + "/Quilvane-" + uid + "-wayland-1");
}

TEST_F(PlatformTest, ACopyThatCannotComeForwardIsReportedNotTakenOver) {
    // A copy that hangs: its socket accepts the connection but nobody ever reads or answers.
    QLocalServer hung;
    ASSERT_TRUE(hung.listen(SocketName()));
    {
        TSingleInstance later(SocketName());
        later.SetAnswerWaitMs(200);
        EXPECT_EQ(later.Claim(), TInstanceClaim::OtherDidNotAnswer);
        EXPECT_FALSE(later.Listening());
    }
    // Its name is left alone.
    EXPECT_TRUE(hung.isListening());
    EXPECT_TRUE(QFileInfo::exists(SocketName()));
    hung.close();

    // A copy still starting has no window to bring forward yet and answers so at once.
    TSingleInstance starting(SocketName());
    ASSERT_EQ(starting.Claim(), TInstanceClaim::Runs);
    TSingleInstance later(SocketName());
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(later.Claim(), TInstanceClaim::OtherDidNotAnswer);
    EXPECT_LT(clock.elapsed(), TSingleInstance::DefaultAnswerWaitMs);
    // Once its window listens, the next start brings it forward.
    QSignalSpy asked(&starting, &TSingleInstance::ActivateRequested);
    TSingleInstance next(SocketName());
    EXPECT_EQ(next.Claim(), TInstanceClaim::OtherCameForward);
    EXPECT_EQ(asked.count(), 1);
}
