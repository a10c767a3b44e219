#include "controls/util/ControlHelpers.h"

#include "tests/support/ServicesFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

class ControlHelpersTest : public TServicesFixture {};

} // namespace

TEST_F(ControlHelpersTest, ColoursFollowTheStateOfEditsAndCombos) {
    QWidget container;
    auto* edit = new QLineEdit(&container);
    auto* masked = new QLineEdit(&container);
    masked->setInputMask(QStringLiteral("99/99/99"));
    auto* combo = new QComboBox(&container);
    auto* label = new QLabel(&container);
    const QColor labelBase = label->palette().color(QPalette::Base);

    const QColor window = QApplication::palette().color(QPalette::Active, QPalette::Base);
    const QColor grey = QApplication::palette().color(QPalette::Inactive, QPalette::Window);
    ASSERT_NE(window, grey);

    SetControlsColour(&container, false);
    for (QWidget* w :
         {static_cast<QWidget*>(edit), static_cast<QWidget*>(masked), static_cast<QWidget*>(combo)}) {
        EXPECT_EQ(w->palette().color(QPalette::Active, QPalette::Base), grey);
        EXPECT_EQ(w->palette().color(QPalette::Disabled, QPalette::Base), grey);
    }
    EXPECT_EQ(label->palette().color(QPalette::Base), labelBase);

    SetControlsColour(&container, true);
    EXPECT_EQ(edit->palette().color(QPalette::Active, QPalette::Base), window);
    EXPECT_EQ(combo->palette().color(QPalette::Active, QPalette::Base), window);
}

TEST_F(ControlHelpersTest, BlankFieldIsReportedAndFocused) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* other = new QLineEdit(&window);
    auto* code = new QLineEdit(&window);
    layout->addWidget(other);
    layout->addWidget(code);
    window.show();
    window.activateWindow();
    other->setFocus();
    QApplication::processEvents();

    EXPECT_TRUE(ValidateNotBlank(QStringLiteral(" ABC "), QStringLiteral("File Code"), code));
    EXPECT_TRUE(Prompt->Shown.isEmpty());

    Prompt->Answer(TMessageButton::OK);
    EXPECT_FALSE(ValidateNotBlank(QStringLiteral("   "), QStringLiteral("File Code"), code));
    EXPECT_EQ(Prompt->Texts(), QStringList{"File Code cannot be blank"});
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), code);
}

TEST_F(ControlHelpersTest, GridKeysMoveWithinTheRows) {
    QTableWidget grid(50, 3);
    grid.resize(300, 200);
    grid.show();
    QApplication::processEvents();
    const int page = grid.viewport()->height() / grid.verticalHeader()->defaultSectionSize();
    ASSERT_GT(page, 1);
    grid.setCurrentCell(0, 2);

    int key = Qt::Key_PageDown;
    EXPECT_TRUE(GridNavigationKey(&grid, key));
    EXPECT_EQ(key, 0);
    EXPECT_EQ(grid.currentRow(), page);
    EXPECT_EQ(grid.currentColumn(), 2);

    key = Qt::Key_Up;
    GridNavigationKey(&grid, key);
    EXPECT_EQ(grid.currentRow(), page - 1);
    key = Qt::Key_PageUp;
    GridNavigationKey(&grid, key);
    EXPECT_EQ(grid.currentRow(), 0);
    key = Qt::Key_Up;
    GridNavigationKey(&grid, key);
    EXPECT_EQ(grid.currentRow(), 0);

    grid.setCurrentCell(49, 0);
    key = Qt::Key_Down;
    GridNavigationKey(&grid, key);
    EXPECT_EQ(grid.currentRow(), 49);
    key = Qt::Key_PageDown;
    GridNavigationKey(&grid, key);
    EXPECT_EQ(grid.currentRow(), 49);

    key = Qt::Key_Left;
    EXPECT_FALSE(GridNavigationKey(&grid, key));
    EXPECT_EQ(key, Qt::Key_Left);
}

TEST_F(ControlHelpersTest, TruncatesToAPixelWidth) {
    const QFontMetrics metrics(QApplication::font());
    const QString full = QStringLiteral("Profit and Loss Statement for the year");
    QString text = full;
    const int limit = metrics.horizontalAdvance(QStringLiteral("Profit and Loss"));
    TruncateTextToWidth(metrics, text, limit);
    EXPECT_TRUE(text.endsWith(QStringLiteral("...")));
    EXPECT_LE(metrics.horizontalAdvance(text), limit);
    EXPECT_TRUE(full.startsWith(text.chopped(3)));

    text = full;
    TruncateTextToWidth(metrics, text, -limit);
    EXPECT_FALSE(text.endsWith(QStringLiteral("...")));
    EXPECT_LE(metrics.horizontalAdvance(text), limit);
    EXPECT_GT(metrics.horizontalAdvance(text + full[text.size()]), limit);
}
