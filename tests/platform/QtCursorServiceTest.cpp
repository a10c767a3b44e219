#include "platform/cursor/QtCursorService.h"

#include <QApplication>
#include <gtest/gtest.h>

TEST(QtCursorServiceTest, ShapesNestAndUnbalancedPopsAreIgnored) {
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    {
        TQtCursorService cursor;
        cursor.Push(TCursorKind::Busy);
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        cursor.Push(TCursorKind::Normal);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
        cursor.Pop();
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        cursor.Pop();
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        cursor.Pop();
        EXPECT_EQ(cursor.Depth(), 0);

        // A shape still laid when the service goes is taken off with it.
        cursor.Push(TCursorKind::Busy);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
