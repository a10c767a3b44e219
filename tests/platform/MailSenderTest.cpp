#include "platform/mail/DesktopMailSender.h"
#include "platform/mail/MailAddress.h"
#include "tests/support/FileBytes.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// The sender with its program start recorded instead of run.
class TRecordingMailSender : public TDesktopMailSender {
public:
    struct TRun {
        QString Program;
        QStringList Arguments;
    };
    TRecordingMailSender() {
        Start = [this](const QString& program, const QStringList& arguments) {
            Runs.append({program, arguments});
            return Result;
        };
    }
    QList<TRun> Runs;
    bool Result = true;
};

TEST(MailAddressTest, OnlyAPlainAddressIsPlain) {
    const std::pair<const char*, bool> cases[] = {
        {"jo@example.com", true},
        {"Jo.Bloggs+backup@mail.example.com.au", true},
        {"a-b_c@c.d", true},
        {"JO@EXAMPLE.COM", true},
        {"jo@office", true},
        {"jo@xn--bcher-kva.example", true},
        // Schemes and link syntax.
        {"mailto:jo@example.com", false},
        {"x:jo@example.com", false},
        {"jo@example.com?cc=boss@example.com", false},
        {"jo@example.com&body=hello", false},
        {"jo%40x@example.com", false},
        {"jo@example.com#x", false},
        // More than one recipient, display names, quotes.
        {"jo@example.com,ann@example.com", false},
        {"jo@example.com;ann@example.com", false},
        {"Jo Bloggs <jo@example.com>", false},
        {"<jo@example.com>", false},
        {"\"jo\"@example.com", false},
        {"'jo'@example.com", false},
        // Blanks and control characters.
        {"jo @example.com", false},
        {" jo@example.com", false},
        {"jo@example.com\n", false},
        {"jo@example.com\r\nBcc: x@y.z", false},
        {"jo\t@example.com", false},
        {"jo\x1b@example.com", false},
        // Not an address at all.
        {"", false},
        {"jo", false},
        {"@example.com", false},
        {"jo@", false},
        {"jo@@example.com", false},
        {"jo@ann@example.com", false},
        {"-oProxyCommand=x@example.com", false},
        {"-jo@example.com", false},
        {".jo@example.com", false},
        {"jo.@example.com", false},
        {"jo..bloggs@example.com", false},
        {"jo@example..com", false},
        {"jo@.example.com", false},
        {"jo@example.com.", false},
        {"jo@-example.com", false},
        {"jo@example-.com", false},
        {"jo@exa_mple.com", false},
        {"jo@[127.0.0.1]", false},
        {"j\xc3\xb6@example.com", false},
        {"jo@example.com\xe2\x80\xa8", false},
    };
    for (const auto& [address, plain] : cases)
        EXPECT_EQ(MailAddress::IsPlain(QString::fromUtf8(address)), plain) << address;

    // The lengths: 64 characters before the '@', 63 in a label, 254 in all.
    const QString label(63, u'd');
    EXPECT_TRUE(MailAddress::IsPlain(QString(64, u'l') + "@example.com"));
    EXPECT_FALSE(MailAddress::IsPlain(QString(65, u'l') + "@example.com"));
    EXPECT_TRUE(MailAddress::IsPlain("jo@" + label + ".com"));
    EXPECT_FALSE(MailAddress::IsPlain("jo@" + label + "d.com"));
    const QString longest = "jo@" + QStringList(4, label).join('.').left(251);
    ASSERT_EQ(longest.size(), 254);
    EXPECT_TRUE(MailAddress::IsPlain(longest));
    EXPECT_FALSE(MailAddress::IsPlain(longest + "d"));
}

TEST(MailSenderTest, EveryPartTravelsAsOneArgumentWithTheAddressLast) {
    TRecordingMailSender sender;
    const QString subject = "QUILVANE Backup File for ACME01 - Acme & Sons $(rm -rf ~)";
    const QString body = "\n\nAttached is a Quilvane backup file; `quoted` \"text\" 'too'";
    ASSERT_TRUE(sender.Send("jo@example.com", subject, body, "/tmp/backups dir/ACME0106.007"));
    ASSERT_EQ(sender.Runs.size(), 1);
    EXPECT_EQ(sender.Runs[0].Program, "xdg-email");
    EXPECT_EQ(sender.Runs[0].Arguments,
              (QStringList{"--utf8", "--subject", subject, "--body", body, "--attach",
                           "/tmp/backups dir/ACME0106.007", "jo@example.com"}));
}

TEST(MailSenderTest, AttachmentGoesWithItsFullPathAndNoAddressLeavesTheProgramToAsk) {
    const QStringList arguments = TDesktopMailSender::Arguments("", "S", "B", "ACME0106.QTF");
    EXPECT_EQ(arguments, (QStringList{"--utf8", "--subject", "S", "--body", "B", "--attach",
                                      QDir::current().absoluteFilePath("ACME0106.QTF")}));
    TRecordingMailSender sender;
    EXPECT_TRUE(sender.Send("", "S", "B", "/tmp/x.zip"));
    ASSERT_EQ(sender.Runs.size(), 1);
    EXPECT_EQ(sender.Runs[0].Arguments.last(), "/tmp/x.zip");
}

TEST(MailSenderTest, AnAddressThatIsNotPlainIsRefusedUnrun) {
    for (const QString to :
         {"-oProxyCommand=x", "--attach=/etc/passwd", "a@b.c\nBcc: x@y.z", "a@b.c\r", "mailto:a@b.c",
          "a@b.c?attach=/etc/passwd", "a@b.c&cc=x@y.z", "Jo Bloggs <jo@example.com>",
          "ann@example.com; bob@example.com", "a@b.c\u2028x"}) {
        TRecordingMailSender sender;
        EXPECT_FALSE(TDesktopMailSender::IsAcceptableAddress(to)) << to.toStdString();
        EXPECT_FALSE(sender.Send(to, "S", "B", "/tmp/x.zip")) << to.toStdString();
        EXPECT_TRUE(sender.Runs.isEmpty()) << to.toStdString();
    }
}

TEST(MailSenderTest, AProgramThatDidNotStartIsReported) {
    TRecordingMailSender sender;
    sender.Result = false;
    EXPECT_FALSE(sender.Send("a@b.c", "S", "B", "/tmp/x.zip"));
    EXPECT_EQ(sender.Runs.size(), 1);

    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    TDesktopMailSender real;
    real.Program = temp.filePath("no-such-mail-program");
    EXPECT_FALSE(real.Send("a@b.c", "S", "B", temp.filePath("x.zip")));
}

// The real start, with a stand-in for the mail program that keeps running until the test lets it
// go, as a mail program keeps the message open until the user sends it.
TEST(MailSenderTest, TheMailProgramIsStartedDetachedAndNotWaitedFor) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString program = temp.filePath("mail-program");
    const QString started = temp.filePath("started");
    const QString release = temp.filePath("release");
    const QString ended = temp.filePath("ended");
    // It writes its parent's process number and its arguments, waits (20 s at most) for the
    // release file, and says when it ends.
    ASSERT_TRUE(WriteFileBytes(program, QStringLiteral("#!/bin/sh\n"
                                                       "printf '%s\\n' \"$PPID\" \"$@\" > '%1.part'\n"
                                                       "mv '%1.part' '%1'\n"
                                                       "i=0\n"
                                                       "while [ ! -e '%2' ] && [ $i -lt 400 ]; do\n"
                                                       "  sleep 0.05; i=$((i + 1))\n"
                                                       "done\n"
                                                       "touch '%3'\n")
                                            .arg(started, release, ended)
                                            .toUtf8()));
    ASSERT_TRUE(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    TDesktopMailSender sender;
    sender.Program = program;
    ASSERT_TRUE(sender.Send("jo@example.com", "S", "B", temp.filePath("ACME0106.007")));
    // Back before the program could end: it waits for the release that comes only now.
    EXPECT_FALSE(QFileInfo::exists(ended));

    QDeadlineTimer deadline(10000);
    while (!QFileInfo::exists(started) && !deadline.hasExpired())
        QThread::msleep(20);
    const QStringList lines = QString::fromUtf8(ReadFileBytes(started)).split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty()) << "the stand-in did not start";
    // Detached: the program is not a child of this one, so nothing here waits for it or ends it.
    EXPECT_NE(lines[0].toLongLong(), qint64(::getpid()));
    EXPECT_EQ(lines.mid(1),
              TDesktopMailSender::Arguments("jo@example.com", "S", "B", temp.filePath("ACME0106.007")));

    ASSERT_TRUE(WriteFileBytes(release, ""));
    deadline.setRemainingTime(10000);
    while (!QFileInfo::exists(ended) && !deadline.hasExpired())
        QThread::msleep(20);
    EXPECT_TRUE(QFileInfo::exists(ended));
}

} // namespace
