#include "platform/instance/SingleInstance.h"

#include <QFile>
#include <QLocalServer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Temp.isValid()); }
    // A socket path of this test alone, so parallel runs and a running program never meet.
    QString Name() const { return Temp.filePath(QStringLiteral("qv.sock")); }
    QTemporaryDir Temp;
};

// Leaves a socket file as a copy that crashed would: bound, then abandoned without listening.
bool LeaveStaleSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = path.toLocal8Bit();
    if (bytes.size() >= static_cast<qsizetype>(sizeof(address.sun_path))) {
        ::close(fd);
        return false;
    }
    std::memcpy(address.sun_path, bytes.constData(), static_cast<size_t>(bytes.size()));
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound;
}

} // namespace

TEST_F(SingleInstanceTest, SecondCopyIsRefusedAndTheFirstIsAskedToActivate) {
    TSingleInstance first(Name());
    ASSERT_TRUE(first.Claim());
    EXPECT_TRUE(first.Listening());
    QSignalSpy activations(&first, &TSingleInstance::ActivateRequested);

    TSingleInstance second(Name());
    EXPECT_FALSE(second.Claim());
    EXPECT_FALSE(second.Listening());
    EXPECT_TRUE(activations.wait(5000));
    EXPECT_EQ(activations.count(), 1);

    // A third start is refused the same way and asks again.
    TSingleInstance third(Name());
    EXPECT_FALSE(third.Claim());
    EXPECT_TRUE(activations.count() == 2 || activations.wait(5000));
    EXPECT_EQ(activations.count(), 2);
}

TEST_F(SingleInstanceTest, StaleSocketOfACrashedCopyDoesNotBlock) {
    ASSERT_TRUE(LeaveStaleSocket(Name()));
    ASSERT_TRUE(QFile::exists(Name()));

    TSingleInstance next(Name());
    EXPECT_TRUE(next.Claim());
    EXPECT_TRUE(next.Listening());

    TSingleInstance later(Name());
    EXPECT_FALSE(later.Claim());
}

TEST_F(SingleInstanceTest, NameIsFreeAgainAfterTheFirstCopyEnds) {
    {
        TSingleInstance first(Name());
        ASSERT_TRUE(first.Claim());
    }
    TSingleInstance next(Name());
    EXPECT_TRUE(next.Claim());
}

TEST(SingleInstanceName, IsPerUser) {
    EXPECT_EQ(TSingleInstance::DefaultName(), QStringLiteral("Quilvane-%1").arg(::getuid()));
}
