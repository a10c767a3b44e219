#include "core/accounts/ColumnBals.h"

#include <gtest/gtest.h>

TEST(ColumnBals, CellsComeIntoBeingWhenWritten) {
    TColumnBals bals(53);
    EXPECT_EQ(bals.Count(), 0);
    EXPECT_EQ(bals.GetBalance(5), 0.0);
    EXPECT_EQ(bals.GetQuantity(5), 0);
    bals.AddToBalance(5, 1.5);
    ASSERT_EQ(bals.Count(), 6);
    EXPECT_EQ(bals.Amounts, (QList<double>{0, 0, 0, 0, 0, 1.5}));
    bals.AddToBalance(5, 2.25);
    EXPECT_EQ(bals.GetBalance(5), 3.75);
    bals.SetQuantity(2, 7);
    bals.AddToQuantity(2, -3);
    EXPECT_EQ(bals.Quantities, (QList<qint32>{0, 0, 4}));
    EXPECT_EQ(bals.Count(), 6) << "the count is of amount cells";
}

TEST(ColumnBals, NegativeColumnReadsZeroAndTakesNoWrites) {
    TColumnBals bals;
    bals.SetBalance(-1, 5.0);
    bals.AddToBalance(-3, 5.0);
    bals.SetQuantity(-1, 5);
    bals.AddToQuantity(-1, 5);
    EXPECT_EQ(bals.Count(), 0);
    EXPECT_TRUE(bals.Quantities.isEmpty());
    EXPECT_EQ(bals.GetBalance(-1), 0.0);
    EXPECT_EQ(bals.GetQuantity(-1), 0);
}

TEST(ColumnBals, ZeroAllKeepsTheCellsAndClearEmptiesThem) {
    TColumnBals bals;
    bals.SetBalance(3, 9.5);
    bals.SetQuantity(1, 4);
    bals.ZeroAll();
    EXPECT_EQ(bals.Amounts, (QList<double>{0, 0, 0, 0}));
    EXPECT_EQ(bals.Quantities, (QList<qint32>{0, 0}));
    bals.Clear();
    EXPECT_EQ(bals.Count(), 0);
    EXPECT_TRUE(bals.Quantities.isEmpty());
}

TEST(ColumnBals, AssignCopiesCellByCellOverTheAmounts) {
    TColumnBals source;
    source.SetBalance(2, 3.0);
    source.SetQuantity(0, 8); // fewer quantity cells than amount cells
    TColumnBals copy;
    copy.SetBalance(9, 1.0);
    copy.SetQuantity(9, 1);
    copy.Assign(source);
    EXPECT_EQ(copy.Amounts, (QList<double>{0, 0, 3.0}));
    EXPECT_EQ(copy.Quantities, (QList<qint32>{8, 0, 0}));
}
