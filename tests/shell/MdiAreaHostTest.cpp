#include "shell/children/MdiAreaHost.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

namespace {

// A child whose contents ask for more than a third of the area's width.
class TWideChild : public QLabel {
public:
    QSize sizeHint() const override { return {700, 400}; }
};

} // namespace

// The area puts each new window beside the ones already open; grown to its designed size there,
// the third window used to reach past the right edge with its close box out of reach.
TEST(MdiAreaHostTest, NewWindowsOpenWhollyInsideTheArea) {
    QMdiArea area;
    area.resize(1600, 950);
    area.show();
    TMdiAreaHost host(area);
    const QRect inside(QPoint(0, 0), area.viewport()->size());
    for (int i = 0; i < 4; ++i) {
        auto* child = new TWideChild;
        host.AddChild(child);
        const QMdiSubWindow* window = host.SubWindowOf(child);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(inside.contains(window->geometry())) << "window " << i << " at "
            << window->geometry().x() << "," << window->geometry().y() << " "
            << window->geometry().width() << "x" << window->geometry().height();
        EXPECT_EQ(window->size(), TMdiAreaHost::DesignedSize(*window, area.size()));
    }
}
