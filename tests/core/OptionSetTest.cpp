#include "core/common/OptionSet.h"

#include <gtest/gtest.h>

TEST(OptionSet, MembersAndStoredBytes) {
    TOptionSet set{0, 7, 39};
    EXPECT_TRUE(set.Has(0));
    EXPECT_TRUE(set.Has(7));
    EXPECT_TRUE(set.Has(39));
    EXPECT_FALSE(set.Has(1));
    EXPECT_FALSE(set.Has(40));
    EXPECT_FALSE(set.Has(-1));
    EXPECT_EQ(set.Byte(0), 0x81);
    EXPECT_EQ(set.Byte(4), 0x80);
    EXPECT_EQ(set.Byte(5), 0);

    const std::uint8_t bytes[5] = {0x81, 0, 0x02, 0, 0x80};
    const TOptionSet read = TOptionSet::FromBytes(bytes);
    EXPECT_EQ(read, set.With(17));
    EXPECT_FALSE(read.Without(17).Has(17));
    EXPECT_EQ(TOptionSet{}.With(40), TOptionSet{});
}
