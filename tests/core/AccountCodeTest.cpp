#include "core/accounts/AccountCode.h"

#include "tests/core/AccountTestFormats.h"

#include <gtest/gtest.h>

TEST(AccountCode, PartNumbersMapToTheirFields) {
    TAccountCode code;
    EXPECT_TRUE(code.IsEmpty());
    SetAccountCodePart(code, AccountPart, 234);
    SetAccountCodePart(code, SubAccountPart, 5);
    SetAccountCodePart(code, BranchPart, 1);
    SetAccountCodePart(code, DivisionPart, 7);
    EXPECT_EQ(code, MakeCode(1, 7, 234, 5));
    EXPECT_EQ(GetAccountCodePart(code, 1), 234);
    EXPECT_EQ(GetAccountCodePart(code, 2), 5);
    EXPECT_EQ(GetAccountCodePart(code, 3), 1);
    EXPECT_EQ(GetAccountCodePart(code, 4), 7);
}

TEST(AccountCode, PartNumbersOutsideOneToFourReadAbsentAndChangeNothing) {
    TAccountCode code = MakeCode(1, 2, 3, 4);
    for (int part : {0, 5, -1, 100}) {
        EXPECT_EQ(GetAccountCodePart(code, part), -1) << part;
        SetAccountCodePart(code, part, 99);
    }
    EXPECT_EQ(code, MakeCode(1, 2, 3, 4));
}

TEST(AccountCode, StoredFormIsFourLittleEndianPartsBranchFirst) {
    // branch 1, division absent, account 234, sub-account absent
    const std::array<std::uint8_t, 8> expected = {0x01, 0x00, 0xFF, 0xFF, 0xEA, 0x00, 0xFF, 0xFF};
    EXPECT_EQ(AccountCodeToBytes(MakeCode(1, -1, 234, -1)), expected);
    EXPECT_EQ(AccountCodeFromBytes(expected.data()), MakeCode(1, -1, 234, -1));

    const std::uint8_t large[8] = {0xFF, 0x7F, 0x00, 0x00, 0x10, 0x27, 0x63, 0x00};
    EXPECT_EQ(AccountCodeFromBytes(large), MakeCode(32767, 0, 10000, 99));
}
