#include "core/accounts/AccountCode.h"
#include "core/accounts/AccountCodeStream.h"
#include "core/accounts/ColumnBals.h"
#include "core/io/StreamError.h"

#include "tests/core/AccountTestFormats.h"

#include <gtest/gtest.h>

class AccountCodeTest : public TAccountsFixture {};

TEST_F(AccountCodeTest, PartNumbersMapToTheirFieldsAndBytes) {
    TAccountCode code;
    const int values[] = {0, 234, 5, 1, 65534}; // by part number; other numbers change nothing
    for (int part = -1; part <= 5; ++part)
        SetAccountCodePart(code, part, part >= 1 && part <= 4 ? values[part] : 99);
    EXPECT_EQ(code, MakeCode(1, 65534, 234, 5));
    for (int part = -1; part <= 5; ++part)
        EXPECT_EQ(GetAccountCodePart(code, part), part >= 1 && part <= 4 ? values[part] : -1) << part;
    SetAccountCodePart(code, AccountPart, -1);
    EXPECT_EQ(code, MakeCode(1, 65534, -1, 5));
    // The fixed stored form: four little-endian parts, branch first.
    const std::array<std::uint8_t, 8> bytes = {0x01, 0x00, 0xFF, 0xFF, 0xEA, 0x00, 0xFE, 0xFF};
    EXPECT_EQ(AccountCodeToBytes(MakeCode(1, -1, 234, 65534)), bytes);
    EXPECT_EQ(AccountCodeFromBytes(bytes.data()), MakeCode(1, -1, 234, 65534));
}

TEST_F(AccountCodeTest, StoredPartsReadIntoSixteenUnsignedBits) {
    // The integer as stored, the part it gives (-1 absent), and its bytes when written back: the
    // signed 16-bit number of the same bits in its smallest form.
    const std::tuple<const char*, int, const char*> cases[] = {{"02 00", 0, "02 00"},
                                                               {"03 FF 7F", 32767, "03 FF 7F"},
                                                               {"04 00 80 00 00", 32768, "03 00 80"},
                                                               {"03 00 80", 32768, "03 00 80"},
                                                               {"04 FE FF 00 00", 65534, "02 FE"},
                                                               {"02 FE", 65534, "02 FE"},
                                                               {"04 FF FF 00 00", -1, "02 FF"},
                                                               {"02 FF", -1, "02 FF"}};
    for (const auto& [stored, part, rewritten] : cases) {
        TAccountCode code = Acc(5);
        ReadFrom(QByteArray::fromHex(stored),
                 [&](TValueReader& r) { code.Account = ReadAccountCodePart(r); });
        EXPECT_EQ(GetAccountCodePart(code, AccountPart), part) << stored;
        const QByteArray written = Written([&](TValueWriter& w) { WriteAccountCode(w, code); });
        EXPECT_EQ(written, QByteArray::fromHex(QByteArray("02 FF 02 FF ") + rewritten + " 02 FF")) << stored;
        EXPECT_EQ(AccountCodeStreamSize(code), written.size());
    }
    // Integers that no 16-bit part can have written.
    for (const char* stored : {"04 00 00 01 00", "04 FF 7F FF FF"})
        EXPECT_THROW(ReadFrom(QByteArray::fromHex(stored), [](TValueReader& r) { ReadAccountCodePart(r); }),
                     EStreamError);
    TAccountCode whole;
    ReadFrom(QByteArray::fromHex("02 01 04 00 80 00 00 04 FF FF 00 00 02 FE"),
             [&](TValueReader& r) { whole = ReadAccountCode(r); });
    EXPECT_EQ(whole, MakeCode(1, 32768, -1, 65534));
}

TEST_F(AccountCodeTest, ColumnBalancesGrowOnWritesAndIgnoreNegativeColumns) {
    TColumnBals bals(53);
    bals.AddToBalance(5, 1.5);
    bals.AddToBalance(5, 2.25);
    bals.SetQuantity(2, 7);
    bals.AddToQuantity(2, -3);
    bals.SetBalance(-1, 5.0); // a negative column is no column
    bals.AddToQuantity(-1, 5);
    EXPECT_EQ(bals.Amounts, (QList<double>{0, 0, 0, 0, 0, 3.75}));
    EXPECT_EQ(bals.Quantities, (QList<qint32>{0, 0, 4}));
    TColumnBals copied;
    copied.SetQuantity(9, 1);
    copied.Assign(bals); // more amount cells than quantity cells
    EXPECT_EQ(copied.Amounts, bals.Amounts);
    EXPECT_EQ(copied.Quantities, (QList<qint32>{0, 0, 4, 0, 0, 0}));
    bals.ZeroAll();
    EXPECT_EQ(bals.Amounts, (QList<double>(6, 0.0)));
    EXPECT_EQ(bals.Quantities, (QList<qint32>{0, 0, 0}));
    bals.Clear();
    EXPECT_EQ(bals.Count() + bals.Quantities.size(), 0);
}
