#include "core/accounts/ReferenceRange.h"

#include <gtest/gtest.h>

TEST(ReferenceRange, SmallerReferenceComesFirst) {
    const TReferenceRange range(500, 20);
    EXPECT_EQ(range.FromRef, 20);
    EXPECT_EQ(range.ToRef, 500);
}
