#include "platform/mail/DesktopMailSender.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The sender with its program start recorded instead of run.
class TRecordingMailSender : public TDesktopMailSender {
public:
    struct TRun {
        QString Program;
        QStringList Arguments;
    };
    QList<TRun> Runs;
    bool Result = true;

protected:
    bool Run(const QString& program, const QStringList& arguments) override {
        Runs.append({program, arguments});
        return Result;
    }
};

TEST(MailSenderTest, EveryPartTravelsAsOneArgumentWithTheAddressLast) {
    TRecordingMailSender sender;
    const QString to = "Jo Bloggs <jo@example.com>; ann@example.com";
    const QString subject = "QUILVANE Backup File for ACME01 - Acme & Sons $(rm -rf ~)";
    const QString body = "\n\nAttached is a Quilvane backup file; `quoted` \"text\" 'too'";
    ASSERT_TRUE(sender.Send(to, subject, body, "/tmp/backups dir/ACME0106.007"));
    ASSERT_EQ(sender.Runs.size(), 1);
    EXPECT_EQ(sender.Runs[0].Program, "xdg-email");
    EXPECT_EQ(sender.Runs[0].Arguments, (QStringList{"--utf8", "--subject", subject, "--body", body,
                                                     "--attach", "/tmp/backups dir/ACME0106.007", to}));
}

TEST(MailSenderTest, AttachmentGoesWithItsFullPathAndNoAddressLeavesTheProgramToAsk) {
    const QStringList arguments = TDesktopMailSender::Arguments("", "S", "B", "ACME0106.QTF");
    EXPECT_EQ(arguments, (QStringList{"--utf8", "--subject", "S", "--body", "B", "--attach",
                                      QDir::current().absoluteFilePath("ACME0106.QTF")}));
}

TEST(MailSenderTest, AddressThatCouldActAsAnOptionOrHoldsControlsIsRefusedUnrun) {
    for (const QString to : {"-oProxyCommand=x", "--attach=/etc/passwd", "a@b.c\nBcc: x@y.z", "a@b.c\r",
                             "a\tb@c.d", "a\x1b@b.c", "a@b.c\u2028x"}) {
        TRecordingMailSender sender;
        EXPECT_FALSE(sender.Send(to, "S", "B", "/tmp/x.zip")) << to.toStdString();
        EXPECT_TRUE(sender.Runs.isEmpty()) << to.toStdString();
    }
    for (const QString to : {"", "a-b@c.d", "ann@example.com; bob@example.com", "Jo Bloggs <jo@example.com>"})
        EXPECT_TRUE(TDesktopMailSender::IsAcceptableAddress(to)) << to.toStdString();
}

TEST(MailSenderTest, FailureOfTheProgramIsReported) {
    TRecordingMailSender sender;
    sender.Result = false;
    EXPECT_FALSE(sender.Send("a@b.c", "S", "B", "/tmp/x.zip"));
    EXPECT_EQ(sender.Runs.size(), 1);
}

// The real start, with stand-ins for the mail program (none is run here).
TEST(MailSenderTest, ProgramThatCannotStartOrEndsBadlyIsAFailure) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    TDesktopMailSender sender;
    sender.Program = temp.filePath("no-such-mail-program");
    EXPECT_FALSE(sender.Send("a@b.c", "S", "B", temp.filePath("x.zip")));

    const QString failing = QStandardPaths::findExecutable("false");
    const QString succeeding = QStandardPaths::findExecutable("true");
    ASSERT_FALSE(failing.isEmpty() || succeeding.isEmpty());
    sender.Program = failing;
    EXPECT_FALSE(sender.Send("a@b.c", "S", "B", temp.filePath("x.zip")));
    sender.Program = succeeding;
    EXPECT_TRUE(sender.Send("a@b.c", "S", "B", temp.filePath("x.zip")));
}

} // namespace
