#include "core/accounts/AccountGroup.h"

#include "core/io/StreamError.h"
#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"
#include "tests/core/AccountTestFormats.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

class AccountGroupTest : public ::testing::Test {
protected:
    std::unique_ptr<TAccountFormat> Format = BranchAccountSubFormat();

    // Branch 1, accounts 100 to 300.
    TAccountGroup Range() const {
        TAccountGroup group(QStringLiteral("Range"), MakeCode(1, -1, 100, -1), Format.get());
        group.SetToCode(MakeCode(1, -1, 300, 99));
        return group;
    }

    static QByteArray Written(const TAccountGroup& group) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        TValueWriter writer(buffer);
        group.WriteToStream(writer);
        writer.Finish();
        return bytes;
    }

    void ReadInto(TAccountGroup& group, QByteArray bytes) const {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        TValueReader reader(buffer);
        group.ReadFromStream(reader);
    }
};

} // namespace

TEST_F(AccountGroupTest, NewGroupIsOneCodeWithKeys) {
    TAccountGroup group(QStringLiteral("One"), MakeCode(1, -1, 234, -1), Format.get());
    EXPECT_EQ(group.FromCode(), group.ToCode());
    EXPECT_EQ(group.FromKey(), QStringLiteral("B01A0234S.."));
    EXPECT_EQ(group.ToKey(), group.FromKey());
    EXPECT_TRUE(group.SubRangeMin.IsEmpty());
    EXPECT_TRUE(group.SubRangeMax.IsEmpty());
    EXPECT_EQ(group.Mode, 0);
    EXPECT_EQ(group.FirstDifferingPart(), 0);
}

TEST_F(AccountGroupTest, ChangingABoundRecomputesItsKey) {
    TAccountGroup group(QStringLiteral("One"), MakeCode(1, -1, 234, -1), Format.get());
    group.SetToPart(AccountPart, 500);
    EXPECT_EQ(group.ToKey(), QStringLiteral("B01A0500S.."));
    EXPECT_EQ(group.GetToPart(AccountPart), 500);
    EXPECT_EQ(group.FirstDifferingPart(), AccountPart);
    group.SetFromPart(SubAccountPart, 3);
    EXPECT_EQ(group.FromKey(), QStringLiteral("B01A0234S03"));
    group.SetToPart(BranchPart, 2);
    EXPECT_EQ(group.FirstDifferingPart(), BranchPart);
    group.SetFromCode(MakeCode(2, -1, 500, -1));
    EXPECT_EQ(group.FromKey(), group.ToKey());
}

TEST_F(AccountGroupTest, ContainsComparesKeysWithBothEndsIncluded) {
    const TAccountGroup group = Range();
    EXPECT_TRUE(group.Contains(MakeCode(1, -1, 100, -1)));
    EXPECT_TRUE(group.Contains(MakeCode(1, -1, 300, 99)));
    EXPECT_TRUE(group.Contains(MakeCode(1, -1, 200, 5)));
    EXPECT_FALSE(group.Contains(MakeCode(1, -1, 99, 99)));
    EXPECT_FALSE(group.Contains(MakeCode(1, -1, 301, -1)));
    EXPECT_FALSE(group.Contains(MakeCode(2, -1, 200, -1)));
    EXPECT_FALSE(group.Contains(MakeCode(-1, -1, 200, -1)));
}

TEST_F(AccountGroupTest, SubRangeLimitsInsideAndOutside) {
    TAccountGroup group = Range();
    group.SetSubRangeMinPart(SubAccountPart, 10);
    group.SetSubRangeMaxPart(SubAccountPart, 19);
    const TAccountCode inside = MakeCode(1, -1, 200, 15);
    const TAccountCode above = MakeCode(1, -1, 200, 25);
    const TAccountCode below = MakeCode(1, -1, 200, 5);

    group.Mode = 1;
    EXPECT_TRUE(group.Contains(inside));
    EXPECT_FALSE(group.Contains(above));
    EXPECT_FALSE(group.Contains(below));

    group.Mode = 0;
    EXPECT_FALSE(group.Contains(inside));
    EXPECT_TRUE(group.Contains(above));
    EXPECT_TRUE(group.Contains(below));
    // Beyond the bounds nothing is contained, whatever the limits say.
    EXPECT_FALSE(group.Contains(MakeCode(1, -1, 400, 25)));
}

// Description "Bank"; from branch 1, account 234; to branch 1, account 300; no lower limits;
// sub-accounts up to 19; mode 1.
static const char kGroupStream[] = "06 04 42 61 6E 6B"
                                   "02 01 02 FF 03 EA 00 02 FF"
                                   "02 01 02 FF 03 2C 01 02 FF"
                                   "02 FF 02 FF 02 FF 02 FF"
                                   "02 FF 02 FF 02 FF 02 13"
                                   "02 01";

TEST_F(AccountGroupTest, StreamFormMatchesTheLayout) {
    TAccountGroup group(QStringLiteral("Bank"), MakeCode(1, -1, 234, -1), Format.get());
    group.SetToCode(MakeCode(1, -1, 300, -1));
    group.SetSubRangeMaxPart(SubAccountPart, 19);
    group.Mode = 1;
    const QByteArray expected = QByteArray::fromHex(kGroupStream);
    EXPECT_EQ(Written(group).toHex(' '), expected.toHex(' '));
    EXPECT_EQ(group.StreamSize(), expected.size());

    TAccountGroup read(QString(), TAccountCode::Empty(), Format.get());
    ReadInto(read, expected);
    EXPECT_EQ(read.Description, QStringLiteral("Bank"));
    EXPECT_EQ(read.FromCode(), MakeCode(1, -1, 234, -1));
    EXPECT_EQ(read.ToCode(), MakeCode(1, -1, 300, -1));
    EXPECT_EQ(read.ToKey(), QStringLiteral("B01A0300S.."));
    EXPECT_TRUE(read.SubRangeMin.IsEmpty());
    EXPECT_EQ(read.SubRangeMax, MakeCode(-1, -1, -1, 19));
    EXPECT_EQ(read.Mode, 1);
}

TEST_F(AccountGroupTest, StreamSizeFollowsTheLengthOfTheDescriptionAndTheParts) {
    TAccountGroup group(QString(255, u'x'), MakeCode(1000, -1, 32767, -1), Format.get());
    group.Mode = 100000;
    // 255 + 2 for the description, 3 + 2 + 3 + 2 for each bound, 8 for each empty limit, 5 for the mode.
    EXPECT_EQ(group.StreamSize(), 257 + 10 + 10 + 8 + 8 + 5);
    EXPECT_EQ(Written(group).size(), group.StreamSize());

    group.Description = QString(256, u'x');
    EXPECT_EQ(group.StreamSize(), 261 + 10 + 10 + 8 + 8 + 5);
    EXPECT_EQ(Written(group).size(), group.StreamSize());

    TAccountGroup read(QString(), TAccountCode::Empty(), Format.get());
    ReadInto(read, Written(group));
    EXPECT_EQ(read.Description, group.Description);
    EXPECT_EQ(read.FromCode(), group.FromCode());
    EXPECT_EQ(read.Mode, 100000);
}

TEST_F(AccountGroupTest, StoredPartOf65535IsAbsent) {
    QByteArray bytes = QByteArray::fromHex(kGroupStream);
    // The first part (from-branch) as a 32-bit 65535.
    bytes.replace(6, 2, QByteArray::fromHex("04 FF FF 00 00"));
    TAccountGroup read(QString(), TAccountCode::Empty(), Format.get());
    ReadInto(read, bytes);
    EXPECT_EQ(read.FromCode(), MakeCode(-1, -1, 234, -1));
}

TEST_F(AccountGroupTest, DamagedStreamRaisesAndLeavesTheGroupAlone) {
    TAccountGroup read(QStringLiteral("Keep"), MakeCode(1, -1, 5, -1), Format.get());
    const QByteArray full = QByteArray::fromHex(kGroupStream);
    EXPECT_THROW(ReadInto(read, full.left(full.size() - 1)), EStreamError);
    EXPECT_EQ(read.Description, QStringLiteral("Keep"));
    EXPECT_EQ(read.FromCode(), MakeCode(1, -1, 5, -1));

    QByteArray badPart = full;
    badPart.replace(6, 2, QByteArray::fromHex("04 40 9C 00 00")); // 40000 fits no part
    EXPECT_THROW(ReadInto(read, badPart), EStreamError);
    QByteArray negative = full;
    negative.replace(6, 2, QByteArray::fromHex("02 FB")); // -5
    EXPECT_THROW(ReadInto(read, negative), EStreamError);
    EXPECT_EQ(read.Description, QStringLiteral("Keep"));
}
