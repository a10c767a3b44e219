#include "controls/util/ControlHelpers.h"
#include "controls/util/PageSetup.h"
#include "tests/controls/ControlsFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QTableWidget>
#include <cmath>
#include <tuple>

namespace {

QColor Base(const QWidget* widget, QPalette::ColorGroup group = QPalette::Active) {
    return widget->palette().color(group, QPalette::Base);
}

} // namespace

TEST_F(ControlsTest, EditsAndCombosTakeTheColourOfTheirState) {
    QWidget container;
    auto* edit = new QLineEdit(&container);
    auto* masked = new QLineEdit(&container);
    masked->setInputMask(QStringLiteral("99/99/99"));
    auto* combo = new QComboBox(&container);
    auto* label = new QLabel(&container);
    auto* nested = new QLineEdit(new QWidget(&container)); // not placed on the container itself
    const QColor labelBase = Base(label);
    const QColor window = QApplication::palette().color(QPalette::Active, QPalette::Base);
    const QColor grey = QApplication::palette().color(QPalette::Inactive, QPalette::Window);
    ASSERT_NE(window, grey);

    SetControlsColour(&container, false);
    for (const QWidget* control : std::initializer_list<const QWidget*>{edit, masked, combo}) {
        EXPECT_EQ(Base(control), grey);
        EXPECT_EQ(Base(control, QPalette::Disabled), grey);
    }
    EXPECT_EQ(Base(label), labelBase);
    EXPECT_EQ(Base(nested), window);

    SetControlsColour(&container, true);
    EXPECT_EQ(Base(edit), window);
    EXPECT_EQ(Base(combo), window);
}

TEST_F(ControlsTest, BlankFieldIsReportedAndFocused) {
    QWidget window;
    auto* other = new QLineEdit(&window);
    auto* code = new QLineEdit(&window);
    window.show();
    window.activateWindow();
    other->setFocus();
    EXPECT_TRUE(ValidateNotBlank(QStringLiteral(" ABC "), QStringLiteral("File Code"), code));
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    Prompt->Answer(TMessageButton::OK);
    EXPECT_FALSE(ValidateNotBlank(QStringLiteral("   "), QStringLiteral("File Code"), code));
    EXPECT_EQ(Prompt->Texts(), QStringList{"File Code cannot be blank"});
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), code);
}

TEST_F(ControlsTest, GridKeysMoveByARowOrAPageWithinTheRows) {
    QTableWidget grid(50, 3);
    grid.resize(300, 200);
    grid.show();
    QApplication::processEvents();
    const int page = grid.viewport()->height() / grid.verticalHeader()->defaultSectionSize();
    ASSERT_GT(page, 1);
    // From the row, the key, to the row.
    const std::tuple<int, int, int> moves[] = {
        {0, Qt::Key_PageDown, page},   {page, Qt::Key_Up, page - 1}, {page + 1, Qt::Key_PageUp, 1},
        {page - 1, Qt::Key_PageUp, 0}, {0, Qt::Key_Up, 0},           {48, Qt::Key_Down, 49},
        {49, Qt::Key_Down, 49},        {45, Qt::Key_PageDown, 49}};
    for (const auto& [from, pressed, to] : moves) {
        SCOPED_TRACE(testing::Message() << "key " << pressed << " from " << from);
        grid.setCurrentCell(from, 2);
        int key = pressed;
        EXPECT_TRUE(GridNavigationKey(&grid, key));
        EXPECT_EQ(key, 0);
        EXPECT_EQ(grid.currentRow(), to);
        EXPECT_EQ(grid.currentColumn(), 2);
    }
    int key = Qt::Key_Left;
    EXPECT_FALSE(GridNavigationKey(&grid, key));
    EXPECT_EQ(key, Qt::Key_Left);
}

TEST_F(ControlsTest, PageSetupMeasuresLinesAndMarginsOnTheDeviceAndSetsUpAPrinter) {
    // 96 dots per inch: 25.4 mm is 96 dots, 10 mm is 37.8.
    QImage page(960, 1200, QImage::Format_RGB32);
    page.setDotsPerMeterX(3780);
    page.setDotsPerMeterY(3780);
    TPageSetup setup;
    SetupReportPrinter(setup);
    setup.LeftMargin = 25.4;
    setup.RightMargin = 10;
    setup.TopMargin = -5;
    setup.BottomMargin = 12.7;
    ApplyPageSetup(page, setup);
    EXPECT_EQ(setup.Font.pointSize(), 10);
    EXPECT_EQ(QList<int>({setup.LeftMarginDevice, setup.RightMarginDevice, setup.TopMarginDevice,
                          setup.BottomMarginDevice}),
              QList<int>({96, 38, 0, 48}));
    const QFontMetrics metrics(setup.Font, &page);
    EXPECT_EQ(setup.LineHeight, static_cast<int>(std::nearbyint(metrics.height() * 1.2)));
    const int w = metrics.horizontalAdvance(QLatin1Char('W'));
    EXPECT_EQ(setup.CharsPerLine, (960 - 96 - 38) / w);
    EXPECT_EQ(w, metrics.horizontalAdvance(QLatin1Char('i'))); // a fixed-pitch font

    // A printer takes at least one copy and the orientation; a landscape line holds more.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(TempPath(QStringLiteral("report.pdf")));
    setup = TPageSetup();
    setup.Copies = 0;
    setup.Orientation = QPageLayout::Landscape;
    ApplyPageSetup(printer, setup);
    EXPECT_EQ(printer.copyCount(), 1);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    const int landscapeChars = setup.CharsPerLine;
    setup.Copies = 3;
    setup.Orientation = QPageLayout::Portrait;
    ApplyPageSetup(printer, setup);
    EXPECT_EQ(printer.copyCount(), 3);
    EXPECT_GT(landscapeChars, setup.CharsPerLine);
    EXPECT_GT(setup.CharsPerLine, 0);
}
