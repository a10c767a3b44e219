#include "core/vocab/ProgressMessages.h"

#include <gtest/gtest.h>
#include <limits>

TEST(ProgressMessages, DetailJoinsWithOneBlankOrNone) {
    EXPECT_EQ(TProgressMessages::Text(3, QString()), QStringLiteral("Saving ..."));
    EXPECT_EQ(TProgressMessages::Text(3, QStringLiteral("X")), QStringLiteral("Saving X ..."));
    EXPECT_EQ(TProgressMessages::Text(2, QString()), QStringLiteral("Loading ..."));
    EXPECT_EQ(TProgressMessages::Text(1, QStringLiteral("Trial Balance")),
              QStringLiteral("Compiling Trial Balance Report ..."));
    // Kind 0 is the detail alone, with no blank in front of it.
    EXPECT_EQ(TProgressMessages::Text(0, QStringLiteral("Please wait ...")),
              QStringLiteral("Please wait ..."));
    EXPECT_EQ(TProgressMessages::Text(0, QString()), QString());
}

TEST(ProgressMessages, KindsWithoutDetailAndWithoutBlankBeforeDots) {
    EXPECT_EQ(TProgressMessages::Text(28, QStringLiteral("ABC")),
              QStringLiteral("Creating File Code ABC..."));
    EXPECT_EQ(TProgressMessages::Text(28, QString()), QStringLiteral("Creating File Code..."));
    EXPECT_EQ(TProgressMessages::Text(29, QStringLiteral("1-200")),
              QStringLiteral("Processing Account 1-200..."));
    EXPECT_EQ(TProgressMessages::Text(12, QStringLiteral("ignored")),
              QStringLiteral("Compiling Reconciliation Matches Report..."));
    EXPECT_EQ(TProgressMessages::Text(25, QStringLiteral("ignored")),
              QStringLiteral("Performing Integrity Check ..."));
    EXPECT_EQ(TProgressMessages::Text(32, QString()), QStringLiteral("Writing DOS version ID ..."));
    EXPECT_EQ(TProgressMessages::Text(17, QStringLiteral("2006")), QStringLiteral("Bring Forward 2006 ..."));
}

TEST(ProgressMessages, EveryKindEndsInDotsAndTakesTheDetailAtMostOnce) {
    for (int kind = 1; kind < TProgressMessages::Count; ++kind) {
        const QString text = TProgressMessages::Text(kind, QStringLiteral("DET"));
        EXPECT_TRUE(text.endsWith(QStringLiteral("..."))) << kind;
        EXPECT_LE(text.count(QStringLiteral("DET")), 1) << kind;
        EXPECT_FALSE(text.contains(QLatin1Char('%'))) << kind;
    }
}

TEST(ProgressMessages, UnknownKindActsAsKindZero) {
    EXPECT_EQ(TProgressMessages::Text(33, QStringLiteral("Detail")), QStringLiteral("Detail"));
    EXPECT_EQ(TProgressMessages::Text(255, QStringLiteral("Detail")), QStringLiteral("Detail"));
    EXPECT_EQ(TProgressMessages::Text(-1, QStringLiteral("Detail")), QStringLiteral("Detail"));
    EXPECT_EQ(TProgressMessages::Format(400), TProgressMessages::Format(0));
}

TEST(ProgressMessages, DetailIsTakenLiterally) {
    // Folder and file names may hold what looks like a placeholder.
    EXPECT_EQ(TProgressMessages::Text(2, QStringLiteral("C:\\%1\\%s%2")),
              QStringLiteral("Loading C:\\%1\\%s%2 ..."));
    EXPECT_EQ(TProgressMessages::Text(0, QStringLiteral("%s%s")), QStringLiteral("%s%s"));
}

TEST(ProgressMessages, PercentRoundsHalfToEven) {
    EXPECT_EQ(TProgressMessages::RoundPercent(49.5), 50);
    EXPECT_EQ(TProgressMessages::RoundPercent(50.5), 50);
    EXPECT_EQ(TProgressMessages::RoundPercent(0.5), 0);
    EXPECT_EQ(TProgressMessages::RoundPercent(1.5), 2);
    EXPECT_EQ(TProgressMessages::RoundPercent(99.4999), 99);
    EXPECT_EQ(TProgressMessages::RoundPercent(99.5), 100);
    EXPECT_EQ(TProgressMessages::RoundPercent(33.3333), 33);
    EXPECT_EQ(TProgressMessages::RoundPercent(-0.5), 0);
    EXPECT_EQ(TProgressMessages::RoundPercent(-1.5), -2);
    EXPECT_EQ(TProgressMessages::RoundPercent(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(TProgressMessages::RoundPercent(1e300), std::numeric_limits<int>::max());
    EXPECT_EQ(TProgressMessages::RoundPercent(-std::numeric_limits<double>::infinity()),
              std::numeric_limits<int>::min());
}
