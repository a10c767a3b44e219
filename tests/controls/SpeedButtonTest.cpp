#include "controls/buttons/ButtonGeometry.h"
#include "controls/buttons/RxButtonGlyph.h"
#include "controls/buttons/RxSpeedButton.h"
#include "controls/buttons/SpeedButtonRules.h"
#include "core/common/Exceptions.h"
#include "tests/support/ServicesFixture.h"

#include <QActionGroup>
#include <QCursor>
#include <QDialog>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QtTest>
#include <gtest/gtest.h>

#include <map>

namespace {

using TGeometry = TButtonGeometry;
using TRules = TSpeedButtonRules;
using enum TButtonState;
using enum TButtonLayout;

// Colours that tell the parts of a painted button apart.
QPalette TestPalette() {
    QPalette colours;
    colours.setColor(QPalette::Button, QColor(200, 200, 200));
    colours.setColor(QPalette::Light, QColor(255, 255, 255));
    colours.setColor(QPalette::Dark, QColor(128, 128, 128));
    colours.setColor(QPalette::Shadow, QColor(0, 0, 0));
    colours.setColor(QPalette::ButtonText, QColor(0, 0, 255));
    colours.setColor(QPalette::Window, QColor(255, 0, 0));
    return colours;
}

// A strip of Count solid images of 8 by 8, the first red, then green, blue, yellow, cyan.
QPixmap SolidStrip(int count) {
    const Qt::GlobalColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan};
    QPixmap strip(8 * count, 8);
    QPainter painter(&strip);
    for (int i = 0; i < count; ++i)
        painter.fillRect(i * 8, 0, 8, 8, colours[i]);
    return strip;
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

class SpeedButtonTest : public TServicesFixture {
protected:
    // A window of its own, shown and active, with buttons placed well inside the screen.
    QWidget* ActiveWindow() {
        Window = std::make_unique<QWidget>();
        Window->setGeometry(100, 100, 300, 200);
        Window->setPalette(TestPalette());
        Window->setAutoFillBackground(true);
        return Window.get();
    }
    void ShowAndActivate() {
        QCursor::setPos(0, 0);
        Window->show();
        Window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
    }
    void TearDown() override {
        Window.reset();
        QCursor::setPos(0, 0);
        TServicesFixture::TearDown();
    }
    std::unique_ptr<QWidget> Window;
};

TEST_F(SpeedButtonTest, GlyphStripGivesEveryStateItsImage) {
    const std::tuple<QSize, int> counts[] = {{{80, 16}, 5}, {{96, 16}, 1}, {{16, 16}, 1}, {{32, 16}, 2},
                                             {{20, 16}, 0}, {{8, 16}, 0},  {{16, 0}, 0}};
    for (const auto& [size, count] : counts)
        EXPECT_EQ(TRxButtonGlyph::NumGlyphsFor(size), count) << size.width() << "x" << size.height();

    // NumGlyphs, then the image shown for up, disabled, down, exclusive, inactive (-1: made).
    const std::tuple<int, std::array<int, 5>> indices[] = {{1, {0, -1, 0, 0, -1}},
                                                           {2, {0, 1, 0, 0, -1}},
                                                           {3, {0, 1, 2, 0, -1}},
                                                           {4, {0, 1, 2, 3, -1}},
                                                           {5, {0, 1, 2, 3, 4}}};
    const TButtonState states[] = {bsUp, bsDisabled, bsDown, bsExclusive, bsInactive};
    for (const auto& [numGlyphs, expected] : indices)
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(TRxButtonGlyph::StripIndex(states[i], numGlyphs), expected[static_cast<std::size_t>(i)])
                << numGlyphs << " " << i;

    TRxButtonGlyph glyph;
    const QPalette colours = TestPalette();
    const auto centre = [&](TButtonState state) {
        return glyph.Image(state, colours).toImage().pixelColor(4, 4);
    };
    glyph.SetGlyph(SolidStrip(5));
    EXPECT_EQ(glyph.NumGlyphs(), 5);
    EXPECT_EQ(glyph.ImageSize(), QSize(8, 8));
    EXPECT_EQ(centre(bsExclusive), QColor(Qt::yellow));
    EXPECT_EQ(centre(bsInactive), QColor(Qt::cyan));
    glyph.SetNumGlyphs(0); // ignored
    EXPECT_EQ(glyph.NumGlyphs(), 5);
    glyph.SetNumGlyphs(4);
    EXPECT_EQ(glyph.ImageSize(), QSize(10, 8));
    glyph.SetNumGlyphs(9);
    EXPECT_EQ(glyph.NumGlyphs(), 5);

    // One red image: exclusive shows it, inactive is its grey (77 * 255 / 256 = 76).
    glyph.SetGlyph(SolidStrip(1));
    EXPECT_EQ(glyph.NumGlyphs(), 1);
    EXPECT_EQ(centre(bsExclusive), QColor(Qt::red));
    EXPECT_EQ(centre(bsInactive), QColor(76, 76, 76));
    // A new glyph replaces the images made from the old one.
    QPixmap blue(8, 8);
    blue.fill(Qt::blue);
    glyph.SetGlyph(blue);
    EXPECT_EQ(centre(bsUp), QColor(Qt::blue));

    // Fuchsia is not drawn, unless another colour is the transparent one.
    QPixmap fuchsia(8, 8);
    fuchsia.fill(QColor(0xFF00FF));
    glyph.SetGlyph(fuchsia);
    EXPECT_EQ(glyph.Image(bsUp, colours).toImage().pixelColor(4, 4).alpha(), 0);
    glyph.SetTransparentColor(Qt::black);
    EXPECT_EQ(centre(bsUp), QColor(0xFF00FF));
    EXPECT_TRUE(TRxButtonGlyph().Image(bsUp, colours).isNull());
}

TEST_F(SpeedButtonTest, GreyAndEmbossedCopies) {
    const QColor face(200, 200, 200), light(255, 255, 255), shadow(128, 128, 128);
    // 3 by 3: black in the middle and at the bottom-right corner, white top-left, the face colour
    // top-right, transparent bottom-left, a colour elsewhere.
    QImage image(3, 3, QImage::Format_ARGB32);
    image.fill(QColor(100, 150, 200));
    image.setPixelColor(1, 1, Qt::black);
    image.setPixelColor(2, 2, Qt::black);
    image.setPixelColor(0, 0, Qt::white);
    image.setPixelColor(2, 0, face);
    image.setPixelColor(0, 2, Qt::transparent);

    const QImage grey = TRxButtonGlyph::GrayedImage(image, face);
    EXPECT_EQ(grey.pixelColor(1, 0), QColor(140, 140, 140)); // (77*100 + 150*150 + 29*200) / 256
    EXPECT_EQ(grey.pixelColor(0, 0), QColor(255, 255, 255));
    EXPECT_EQ(grey.pixelColor(2, 0), face);
    EXPECT_EQ(grey.pixelColor(0, 2).alpha(), 0);

    // The dark pixels (all but white, the face colour and the transparent one) in shadow; their
    // highlights fall on dark pixels or outside, so none shows.
    const QImage embossed = TRxButtonGlyph::EmbossedImage(image, face, light, shadow);
    const char* expected[] = {". S .", "S S S", ". S S"}; // row by row; S shadow, . nothing
    QImage onlyCorner(3, 3, QImage::Format_ARGB32);
    onlyCorner.fill(Qt::white);
    onlyCorner.setPixelColor(0, 0, Qt::black);
    const QImage corner = TRxButtonGlyph::EmbossedImage(onlyCorner, face, light, shadow);
    for (int y = 0; y < 3; ++y) {
        const QStringList row = QString(expected[y]).split(' ');
        for (int x = 0; x < 3; ++x) {
            const QColor colour = embossed.pixelColor(x, y);
            EXPECT_EQ(row[x] == "S" ? colour == shadow : colour.alpha() == 0, true) << x << "," << y;
        }
    }
    EXPECT_EQ(corner.pixelColor(0, 0), shadow);
    EXPECT_EQ(corner.pixelColor(1, 1), light);
    EXPECT_EQ(corner.pixelColor(2, 2).alpha(), 0);
}

TEST_F(SpeedButtonTest, GlyphAndCaptionPlacement) {
    struct TCase {
        const char* Name;
        QRect Client;
        QSize Glyph, Caption;
        TButtonLayout Layout;
        int Margin, Spacing;
        bool Mark;
        QPoint GlyphAt, CaptionAt; // (-99, -99): the part is missing
    };
    const QRect client(0, 0, 40, 30);
    const QSize glyph(10, 10), caption(12, 8), none;
    const QPoint missing(-99, -99);
    // clang-format off
    const TCase cases[] = {
        {"centred pair", client, glyph, caption, blGlyphLeft, -1, 1, false, {8, 10}, {19, 11}},
        {"thirds", client, glyph, caption, blGlyphLeft, -1, -1, false, {6, 10}, {22, 11}},
        {"thirds, nothing over", client, glyph, {30, 8}, blGlyphLeft, -1, -1, false, {0, 10}, {10, 11}},
        {"thirds, two over", client, glyph, {28, 8}, blGlyphLeft, -1, -1, false, {0, 10}, {10, 11}},
        {"thirds, three over", client, glyph, {27, 8}, blGlyphLeft, -1, -1, false, {1, 10}, {12, 11}},
        {"margin and spacing", client, glyph, caption, blGlyphLeft, 0, 4, false, {0, 10}, {14, 11}},
        {"margin, caption centred after", client, glyph, caption, blGlyphLeft, 3, -1, false, {3, 10}, {20, 11}},
        {"exact fit", client, glyph, {30, 8}, blGlyphLeft, 0, 0, false, {0, 10}, {10, 11}},
        {"glyph right, centred", client, glyph, caption, blGlyphRight, -1, 1, false, {22, 10}, {9, 11}},
        {"glyph right, margin", client, glyph, caption, blGlyphRight, 2, 4, false, {28, 10}, {12, 11}},
        {"glyph top, centred", client, glyph, caption, blGlyphTop, -1, 1, false, {15, 5}, {14, 16}},
        {"glyph top, thirds", client, glyph, caption, blGlyphTop, -1, -1, false, {15, 4}, {14, 18}},
        {"glyph bottom, at the edge", client, glyph, caption, blGlyphBottom, 0, 0, false, {15, 20}, {14, 12}},
        {"offset client", QRect(3, 3, 40, 30), glyph, caption, blGlyphTop, -1, 1, false, {18, 8}, {17, 19}},
        {"caption alone ignores spacing", client, none, caption, blGlyphLeft, -1, 5, false, missing, {14, 11}},
        {"caption alone, thirds centre it", client, none, caption, blGlyphLeft, -1, -1, false, missing, {14, 11}},
        {"caption alone after a margin", client, none, caption, blGlyphLeft, 4, -1, false, missing, {16, 11}},
        {"glyph alone", client, glyph, none, blGlyphLeft, -1, -1, false, {15, 10}, missing},
        {"too wide, computed", client, glyph, {40, 8}, blGlyphLeft, -1, -1, false, {-5, 10}, {5, 11}},
        {"too wide, fixed", client, glyph, {40, 8}, blGlyphLeft, -1, 2, false, {-6, 10}, {6, 11}},
        {"too wide after a margin", client, glyph, {40, 8}, blGlyphLeft, 2, -1, false, {2, 10}, {12, 11}},
        {"mark takes nine", client, glyph, caption, blGlyphLeft, -1, 1, true, {4, 10}, {15, 11}},
        {"mark, glyph top", client, glyph, caption, blGlyphTop, -1, 1, true, {10, 5}, {9, 16}}};
    // clang-format on
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TButtonContent placed =
            TGeometry::Place(c.Client, c.Glyph, c.Caption, c.Layout, c.Margin, c.Spacing, c.Mark);
        EXPECT_EQ(placed.Glyph.isEmpty() ? missing : placed.Glyph.topLeft(), c.GlyphAt);
        EXPECT_EQ(placed.Caption.isEmpty() ? missing : placed.Caption.topLeft(), c.CaptionAt);
        EXPECT_EQ(placed.Glyph.size(), c.Glyph.isEmpty() ? QSize(0, 0) : c.Glyph);
        EXPECT_EQ(placed.Mark, c.Mark ? QRect(32 + c.Client.left(), 13 + c.Client.top(), 7, 4) : QRect());
    }
}

TEST_F(SpeedButtonTest, CaptionRoomAndContentSize) {
    const QRect client(0, 0, 40, 30);
    const QSize glyph(10, 10), none;
    // Glyph, layout, margin, spacing, mark, widest caption.
    const std::tuple<QSize, TButtonLayout, int, int, bool, int> limits[] = {
        {glyph, blGlyphTop, -1, 1, false, 40},   {glyph, blGlyphBottom, 5, 5, true, 31},
        {glyph, blGlyphLeft, -1, 1, false, 29},  {glyph, blGlyphRight, 5, 2, false, 23},
        {glyph, blGlyphLeft, -1, -1, false, 30}, {none, blGlyphLeft, 4, 9, false, 36},
        {glyph, blGlyphLeft, 30, 5, true, 0}};
    for (const auto& [glyphSize, layout, margin, spacing, mark, limit] : limits)
        EXPECT_EQ(TGeometry::CaptionWidthLimit(client, glyphSize, layout, margin, spacing, mark), limit)
            << static_cast<int>(layout) << " " << margin << " " << spacing << " " << mark;

    const QSize caption(12, 8);
    EXPECT_EQ(TGeometry::ContentSize(glyph, caption, blGlyphLeft, 2, 3, false), QSize(29, 10));
    EXPECT_EQ(TGeometry::ContentSize(glyph, caption, blGlyphTop, 2, 3, false), QSize(12, 25));
    EXPECT_EQ(TGeometry::ContentSize(glyph, caption, blGlyphRight, -1, -1, true), QSize(31, 10));
    EXPECT_EQ(TGeometry::ContentSize(none, caption, blGlyphBottom, -1, 6, false), QSize(12, 8));

    for (const int value : {-1, 0, 7})
        EXPECT_TRUE(TGeometry::AcceptedDistance(value));
    EXPECT_FALSE(TGeometry::AcceptedDistance(-2));
    TRxSpeedButton button;
    button.SetMargin(3);
    button.SetSpacing(-1);
    button.SetMargin(-2);
    button.SetSpacing(-7);
    EXPECT_EQ(button.Margin(), 3);
    EXPECT_EQ(button.Spacing(), -1);
    button.SetMargin(-1);
    EXPECT_EQ(button.Margin(), -1);
}

TEST_F(SpeedButtonTest, DropDownPositions) {
    const QSize size(30, 20);
    using enum TDropDownMenuPos;
    using enum TPopupAlignment;
    // Position, alignment, the point the menu pops up at, the menu's top-left for a menu 80 wide.
    const std::tuple<TDropDownMenuPos, TPopupAlignment, QPoint, QPoint> cases[] = {
        {dmpBottom, paLeft, {-1, 20}, {-1, 20}},    {dmpBottom, paRight, {31, 20}, {-49, 20}},
        {dmpBottom, paCenter, {15, 20}, {-25, 20}}, {dmpRight, paLeft, {30, -1}, {30, -1}},
        {dmpRight, paRight, {-1, -1}, {-81, -1}},   {dmpRight, paCenter, {15, 20}, {-25, 20}}};
    for (const auto& [position, alignment, anchor, corner] : cases) {
        SCOPED_TRACE(static_cast<int>(position) * 10 + static_cast<int>(alignment));
        EXPECT_EQ(TGeometry::DropDownPosition(size, true, position, alignment), anchor);
        EXPECT_EQ(TGeometry::MenuTopLeft(anchor, QSize(80, 40), alignment), corner);
        EXPECT_EQ(TGeometry::DropDownPosition(size, false, position, alignment), QPoint(0, 0));
    }
}

TEST_F(SpeedButtonTest, StateRules) {
    // Enabled, pressed, down in the group: the state.
    const std::tuple<bool, bool, bool, TButtonState> states[] = {
        {true, false, false, bsUp},       {true, true, false, bsDown},     {true, true, true, bsExclusive},
        {true, false, true, bsExclusive}, {false, true, true, bsDisabled}, {false, false, false, bsDisabled}};
    for (const auto& [enabled, pressed, down, state] : states)
        EXPECT_EQ(TRules::State(enabled, pressed, down), state) << enabled << pressed << down;

    // A flat button away from the mouse is inactive, unless disabled or exclusive.
    const std::tuple<TButtonState, bool, bool, TButtonState> painted[] = {
        {bsUp, true, false, bsInactive},
        {bsUp, true, true, bsUp},
        {bsUp, false, false, bsUp},
        {bsDown, true, false, bsInactive},
        {bsExclusive, true, false, bsExclusive},
        {bsDisabled, true, false, bsDisabled}};
    for (const auto& [state, flat, inside, paintState] : painted)
        EXPECT_EQ(TRules::PaintState(state, flat, inside), paintState)
            << static_cast<int>(state) << flat << inside;
    EXPECT_EQ(TRules::GlyphState(bsUp, bsInactive, true), bsInactive);
    EXPECT_EQ(TRules::GlyphState(bsUp, bsInactive, false), bsUp);
    EXPECT_EQ(TRules::GlyphState(bsExclusive, bsExclusive, false), bsExclusive);

    // The dither: exclusive, opaque, and not flat under the mouse.
    EXPECT_TRUE(TRules::Dithered(bsExclusive, false, false, true));
    EXPECT_TRUE(TRules::Dithered(bsExclusive, false, true, false));
    EXPECT_FALSE(TRules::Dithered(bsExclusive, false, true, true));
    EXPECT_FALSE(TRules::Dithered(bsExclusive, true, false, false));
    EXPECT_FALSE(TRules::Dithered(bsDown, false, false, false));

    // Rings of the frame: two for a raised look, one for a flat one, whatever the style; the old
    // sunken look has no light edge at the bottom right.
    for (const bool newLook : {true, false})
        for (const bool sunken : {true, false}) {
            EXPECT_EQ(TRules::FrameSteps(newLook, false, sunken).size(), 2);
            EXPECT_EQ(TRules::FrameSteps(newLook, true, sunken).size(), 1);
        }
    EXPECT_EQ(TRules::FrameSteps(false, false, true).last().BottomRight, QPalette::NoRole);

    // Group index, down, requested, AllowAllUp: down afterwards.
    const std::tuple<int, bool, bool, bool, bool> downs[] = {
        {0, false, true, false, false}, {0, true, true, true, false},  {1, false, true, false, true},
        {1, true, false, false, true},  {1, true, false, true, false}, {3, false, false, false, false}};
    for (const auto& [group, down, requested, allowAllUp, result] : downs)
        EXPECT_EQ(TRules::AcceptedDown(group, down, requested, allowAllUp), result)
            << group << down << requested << allowAllUp;
}

TEST_F(SpeedButtonTest, GroupKeepsOneButtonDown) {
    QWidget parent, other;
    TRxSpeedButton one(&parent), two(&parent), three(&parent), elsewhere(&parent), stranger(&other);
    for (TRxSpeedButton* button : {&one, &two, &three})
        button->SetGroupIndex(1);
    elsewhere.SetGroupIndex(2);
    stranger.SetGroupIndex(1);
    elsewhere.SetDown(true);
    stranger.SetDown(true);
    int clicks = 0;
    two.OnClick = [&] { ++clicks; };
    const auto downs = [&] {
        QString pattern;
        for (const TRxSpeedButton* button : {&one, &two, &three, &elsewhere, &stranger})
            pattern += button->Down() ? 'D' : '-';
        return pattern;
    };
    EXPECT_EQ(downs(), "---DD");
    QTest::mouseClick(&one, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(downs(), "D--DD");
    QTest::mouseClick(&two, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(downs(), "-D-DD");
    EXPECT_EQ(two.State(), bsExclusive);
    EXPECT_EQ(one.State(), bsUp);
    // Clicking the down one again leaves it down, and still clicks.
    QTest::mouseClick(&two, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(downs(), "-D-DD");
    EXPECT_EQ(clicks, 2);
    two.SetDown(false);
    EXPECT_TRUE(two.Down());

    // AllowAllUp set on one button is the whole group's.
    one.SetAllowAllUp(true);
    EXPECT_TRUE(two.AllowAllUp() && three.AllowAllUp());
    EXPECT_FALSE(elsewhere.AllowAllUp() || stranger.AllowAllUp());
    QTest::mouseClick(&two, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(downs(), "---DD");
    EXPECT_EQ(clicks, 3);
    three.SetDown(true);
    EXPECT_EQ(downs(), "--DDD");
    three.SetDown(false);
    EXPECT_EQ(downs(), "---DD");

    // A down button moving into another group releases that group's down one.
    one.SetDown(true);
    one.SetGroupIndex(2);
    EXPECT_EQ(downs(), "D---D");
    // Out of any group a button is never down.
    one.SetGroupIndex(0);
    one.SetDown(true);
    QTest::mouseClick(&one, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(downs(), "----D");
}

TEST_F(SpeedButtonTest, ClickCountsOnlyWhenReleasedInside) {
    QWidget parent;
    TRxSpeedButton button(&parent);
    button.SetGroupIndex(4);
    int clicks = 0;
    button.OnClick = [&] { ++clicks; };
    const QPoint inside(5, 5), outside(60, 5);
    SendMouse(&button, QEvent::MouseButtonPress, inside, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(button.State(), bsDown);
    SendMouse(&button, QEvent::MouseMove, outside, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(button.State(), bsUp);
    SendMouse(&button, QEvent::MouseButtonRelease, outside, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(button.Down());

    SendMouse(&button, QEvent::MouseButtonPress, inside, Qt::LeftButton, Qt::LeftButton);
    SendMouse(&button, QEvent::MouseMove, outside, Qt::NoButton, Qt::LeftButton);
    SendMouse(&button, QEvent::MouseMove, inside, Qt::NoButton, Qt::LeftButton);
    SendMouse(&button, QEvent::MouseButtonRelease, inside, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(button.Down());
    // A down button that is held shows exclusive, and a double click on it is reported.
    SendMouse(&button, QEvent::MouseButtonPress, inside, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(button.State(), bsExclusive);
    SendMouse(&button, QEvent::MouseButtonRelease, inside, Qt::LeftButton, Qt::NoButton);
    int doubleClicks = 0;
    button.OnDblClick = [&] { ++doubleClicks; };
    SendMouse(&button, QEvent::MouseButtonDblClick, inside, Qt::LeftButton, Qt::LeftButton);
    SendMouse(&button, QEvent::MouseButtonRelease, inside, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(clicks, 3);
    TRxSpeedButton up(&parent);
    up.OnDblClick = [&] { ++doubleClicks; };
    SendMouse(&up, QEvent::MouseButtonDblClick, inside, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(doubleClicks, 1);
}

TEST_F(SpeedButtonTest, HeldButtonRepeatsAndClicksOnceMoreOnRelease) {
    QWidget parent;
    TRxSpeedButton button(&parent);
    button.SetAllowTimer(true);
    button.SetInitPause(1);
    button.SetRepeatInterval(1);
    int clicks = 0;
    button.OnClick = [&] { ++clicks; };
    SendMouse(&button, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return clicks >= 3; }));
    SendMouse(&button, QEvent::MouseButtonRelease, QPoint(5, 5), Qt::LeftButton, Qt::NoButton);
    const int released = clicks;
    QTest::qWait(20);
    EXPECT_EQ(clicks, released);

    // Released outside: the repeats stop, with no click for the release.
    SendMouse(&button, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return clicks >= released + 2; }));
    SendMouse(&button, QEvent::MouseMove, QPoint(80, 5), Qt::NoButton, Qt::LeftButton);
    const int outside = clicks;
    SendMouse(&button, QEvent::MouseButtonRelease, QPoint(80, 5), Qt::LeftButton, Qt::NoButton);
    QTest::qWait(20);
    EXPECT_EQ(clicks, outside);
}

TEST_F(SpeedButtonTest, FailingClickIsReportedAndEndsTheRepeat) {
    TRxSpeedButton button;
    button.SetAllowTimer(true);
    button.SetInitPause(1);
    button.SetRepeatInterval(1);
    button.OnClick = [] { throw EQuilvaneError(QStringLiteral("Cannot step")); };
    Prompt->Answer(TMessageButton::OK);
    button.setDown(true); // held: the repeat timer clicks
    QTest::qWait(50);
    EXPECT_EQ(Prompt->Texts(), QStringList{"Cannot step"});
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Error});
    EXPECT_FALSE(button.isDown());
}

TEST_F(SpeedButtonTest, ModalResultEndsTheDialogAfterTheClick) {
    enum class TOutcome { Nothing, TakesBack, Fails };
    // Modal result, what the click handler does, what exec() returns (99: the test ended it).
    const std::tuple<TModalResult, TOutcome, int> cases[] = {{mrOk, TOutcome::Nothing, QDialog::Accepted},
                                                             {mrCancel, TOutcome::Nothing, mrCancel},
                                                             {mrYes, TOutcome::Nothing, mrYes},
                                                             {mrNone, TOutcome::Nothing, 99},
                                                             {mrOk, TOutcome::TakesBack, 99},
                                                             {mrOk, TOutcome::Fails, 99}};
    for (const auto& [result, outcome, returned] : cases) {
        SCOPED_TRACE(static_cast<int>(result) * 10 + static_cast<int>(outcome));
        QDialog dialog;
        auto* panel = new QWidget(&dialog);
        auto* button = new TRxSpeedButton(panel);
        button->SetModalResult(result);
        int seen = -1;
        button->OnClick = [&, outcome = outcome] {
            seen = dialog.result();
            if (outcome == TOutcome::TakesBack)
                dialog.setResult(mrNone);
            if (outcome == TOutcome::Fails)
                throw EQuilvaneError(QStringLiteral("Not yet"));
        };
        if (outcome == TOutcome::Fails)
            Prompt->Answer(TMessageButton::OK);
        bool openAfterClick = false;
        QTimer::singleShot(0, &dialog, [&] {
            QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
            openAfterClick = dialog.isVisible();
            if (openAfterClick)
                dialog.done(99);
        });
        EXPECT_EQ(dialog.exec(), returned);
        EXPECT_EQ(seen, result);
        EXPECT_EQ(openAfterClick, returned == 99);
    }
    EXPECT_EQ(Prompt->Texts(), QStringList{"Not yet"});

    // Outside a dialog the result ends nothing.
    QWidget plain;
    TRxSpeedButton button(&plain);
    button.SetModalResult(mrOk);
    plain.show();
    button.click();
    EXPECT_TRUE(plain.isVisible());
}

TEST_F(SpeedButtonTest, FlatButtonLightsUpUnderTheMouse) {
    QWidget* window = ActiveWindow();
    auto* button = new TRxSpeedButton(window);
    button->setGeometry(50, 50, 40, 30);
    button->SetFlat(true);
    QStringList events;
    button->OnMouseEnter = [&] { events << "enter"; };
    button->OnMouseLeave = [&] { events << "leave"; };
    ShowAndActivate();
    EXPECT_EQ(button->PaintState(), bsInactive);

    QCursor::setPos(button->mapToGlobal(QPoint(10, 10)));
    QCoreApplication::processEvents();
    EXPECT_TRUE(button->MouseInControl());
    EXPECT_EQ(button->PaintState(), bsUp);
    QCursor::setPos(window->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::processEvents();
    EXPECT_FALSE(button->MouseInControl());
    EXPECT_EQ(button->PaintState(), bsInactive);

    // Disabling under the mouse puts the light out; enabling there lights it again.
    QCursor::setPos(button->mapToGlobal(QPoint(10, 10)));
    QCoreApplication::processEvents();
    button->setEnabled(false);
    EXPECT_FALSE(button->MouseInControl());
    button->setEnabled(true);
    EXPECT_TRUE(button->MouseInControl());
    EXPECT_EQ(events.join(' '), "enter leave enter leave enter");

    // A down button of a group keeps its frame away from the mouse.
    button->SetGroupIndex(1);
    button->SetDown(true);
    QCursor::setPos(window->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::processEvents();
    EXPECT_EQ(button->PaintState(), bsExclusive);
}

// The colour of one pixel of a widget as its parent paints it.
QColor PixelOf(QWidget* widget, QPoint at) {
    return widget->parentWidget()->grab().toImage().pixelColor(widget->mapToParent(at));
}

TEST_F(SpeedButtonTest, PaintingFollowsTheLook) {
    QWidget* window = ActiveWindow();
    auto* button = new TRxSpeedButton(window);
    button->setGeometry(20, 20, 40, 30);
    const QPalette colours = TestPalette();
    // A raised frame, then the face.
    EXPECT_EQ(PixelOf(button, QPoint(0, 0)), colours.color(QPalette::Light));
    EXPECT_EQ(PixelOf(button, QPoint(39, 29)), colours.color(QPalette::Shadow));
    EXPECT_EQ(PixelOf(button, QPoint(38, 28)), colours.color(QPalette::Dark));
    EXPECT_EQ(PixelOf(button, QPoint(10, 10)), colours.color(QPalette::Button));
    button->SetTransparent(true);
    EXPECT_EQ(PixelOf(button, QPoint(10, 10)), colours.color(QPalette::Window));
    button->SetTransparent(false);

    // Down in a group: sunken, and the face dithered with the highlight.
    button->SetGroupIndex(1);
    button->SetDown(true);
    EXPECT_EQ(PixelOf(button, QPoint(0, 0)), colours.color(QPalette::Shadow));
    const QColor a = PixelOf(button, QPoint(10, 10)), b = PixelOf(button, QPoint(11, 10));
    EXPECT_NE(a, b);
    for (const QColor& colour : {a, b})
        EXPECT_TRUE(colour == colours.color(QPalette::Button) || colour == colours.color(QPalette::Light));
    button->SetGroupIndex(0);

    // Flat with the mouse elsewhere: no frame, and a grey glyph unless GrayedInactive is off.
    QPixmap red(8, 8);
    red.fill(Qt::red);
    button->SetGlyph(red);
    button->SetFlat(true);
    EXPECT_EQ(PixelOf(button, QPoint(0, 0)), colours.color(QPalette::Button));
    const QPoint glyphCentre = button->Content().Glyph.center();
    EXPECT_EQ(PixelOf(button, glyphCentre), QColor(76, 76, 76));
    button->SetGrayedInactive(false);
    EXPECT_EQ(PixelOf(button, glyphCentre), QColor(Qt::red));

    // The drop-down mark: the top row of the triangle in the text colour, and not without MarkDropDown.
    QMenu menu;
    button->SetDropDownMenu(&menu);
    const QRect mark = button->Content().Mark;
    ASSERT_EQ(mark.size(), QSize(7, 4));
    EXPECT_EQ(PixelOf(button, mark.topLeft()), colours.color(QPalette::ButtonText));
    EXPECT_EQ(PixelOf(button, mark.bottomLeft()), colours.color(QPalette::Button));
    EXPECT_EQ(PixelOf(button, mark.bottomLeft() + QPoint(3, 0)), colours.color(QPalette::ButtonText));
    button->SetMarkDropDown(false);
    EXPECT_TRUE(button->Content().Mark.isEmpty());
    EXPECT_EQ(PixelOf(button, mark.topLeft()), colours.color(QPalette::Button));
}

TEST_F(SpeedButtonTest, CaptionFitsTheFace) {
    TRxSpeedButton button;
    button.setText(QStringLiteral("&Reconcile every account"));
    button.SetLayout(blGlyphLeft);
    const QSize hint = button.sizeHint();
    EXPECT_GE(hint.width(),
              button.fontMetrics().horizontalAdvance(QStringLiteral("Reconcile every account")));
    EXPECT_GE(hint.height(), 25);
    button.resize(hint);
    const QRect whole = button.Content().Caption;
    button.resize(50, 25);
    const QRect shortened = button.Content().Caption;
    EXPECT_LT(shortened.width(), whole.width());
    EXPECT_LE(shortened.right(), 50 - 3);
    EXPECT_EQ(TRxSpeedButton().size(), QSize(25, 25));

    // The arrow of a drop-down edit's button is a small glyph of its own, centred.
    TRxSpeedButton arrow;
    arrow.setArrowType(Qt::DownArrow);
    arrow.resize(17, 21);
    EXPECT_EQ(arrow.Content().Glyph, QRect(QPoint(5, 8), TGeometry::MarkSize));
}

TEST_F(SpeedButtonTest, MenuPopsUpAtTheDropDownPositionWithoutAClick) {
    using enum TDropDownMenuPos;
    using enum TPopupAlignment;
    QWidget* window = ActiveWindow();
    auto* button = new TRxSpeedButton(window);
    button->setGeometry(150, 40, 30, 20);
    int clicks = 0;
    button->OnClick = [&] { ++clicks; };
    ShowAndActivate();
    const std::tuple<TDropDownMenuPos, TPopupAlignment> cases[] = {
        {dmpBottom, paLeft}, {dmpRight, paLeft}, {dmpBottom, paRight}};
    for (const auto& [position, alignment] : cases) {
        SCOPED_TRACE(static_cast<int>(position) * 10 + static_cast<int>(alignment));
        QMenu menu;
        menu.addAction(QStringLiteral("Statement"));
        button->SetDropDownMenu(&menu);
        button->SetMenuPosition(position);
        button->SetMenuAlignment(alignment);
        QPoint shownAt;
        TButtonState stateWhileShown = bsUp;
        QTimer::singleShot(0, &menu, [&] {
            shownAt = menu.pos();
            stateWhileShown = button->State();
            menu.close();
        });
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        const QPoint anchor =
            button->mapToGlobal(TGeometry::DropDownPosition(button->size(), true, position, alignment));
        EXPECT_EQ(shownAt, TGeometry::MenuTopLeft(anchor, menu.sizeHint(), alignment));
        EXPECT_EQ(stateWhileShown, bsDown);
        EXPECT_EQ(button->State(), bsUp);
    }
    EXPECT_EQ(clicks, 0);
    {
        QMenu gone;
        button->SetDropDownMenu(&gone);
    }
    EXPECT_EQ(button->DropDownMenu(), nullptr);
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
}

// --- the action link -----------------------------------------------------------------------------

TEST_F(SpeedButtonTest, LinkedActionGivesCaptionStateAndDown) {
    QWidget parent;
    TRxSpeedButton linked(&parent), other(&parent), loose(&parent);
    linked.SetGroupIndex(1);
    other.SetGroupIndex(1);
    other.SetDown(true);
    QAction action(QStringLiteral("&Reconcile"));
    action.setToolTip(QStringLiteral("Reconcile the account"));
    action.setCheckable(true);
    linked.SetAction(&action);
    EXPECT_EQ(linked.Action(), &action);
    EXPECT_EQ(linked.text(), "&Reconcile");
    EXPECT_EQ(linked.toolTip(), "Reconcile the account");
    EXPECT_FALSE(linked.Down());
    EXPECT_TRUE(other.Down());

    // Checked puts the group button down, and its group's down one up.
    action.setChecked(true);
    EXPECT_TRUE(linked.Down());
    EXPECT_FALSE(other.Down());
    // Unchecked, the button comes up, AllowAllUp or not: it shows what its action holds.
    action.setChecked(false);
    EXPECT_FALSE(linked.Down());
    linked.SetAllowAllUp(true);
    action.setChecked(true);
    action.setChecked(false);
    EXPECT_FALSE(linked.Down());
    // Another button of the group going down puts the linked one up and unchecks its action;
    // another change of the action leaves Down as it is.
    action.setChecked(true);
    other.SetDown(true);
    EXPECT_FALSE(linked.Down());
    EXPECT_FALSE(action.isChecked());
    action.setText(QStringLiteral("Re&concile"));
    EXPECT_EQ(linked.text(), "Re&concile");
    EXPECT_FALSE(linked.Down());
    // Outside a group a button is never down, checked action or not.
    loose.SetAction(&action);
    EXPECT_FALSE(loose.Down());

    action.setEnabled(false);
    EXPECT_FALSE(linked.isEnabled());
    EXPECT_EQ(linked.State(), bsDisabled);
    action.setEnabled(true);
    action.setVisible(false);
    EXPECT_TRUE(linked.isHidden());
    action.setVisible(true);
    EXPECT_FALSE(linked.isHidden());

    // Unlinked, the button keeps its caption and no longer follows.
    linked.SetAction(nullptr);
    action.setText(QStringLiteral("Statement"));
    EXPECT_EQ(linked.text(), "Re&concile");
    EXPECT_EQ(loose.text(), "Statement");
    {
        QAction gone(QStringLiteral("Gone"));
        linked.SetAction(&gone);
    }
    EXPECT_EQ(linked.Action(), nullptr);
}

TEST_F(SpeedButtonTest, AClickTriggersTheLinkedActionUnlessTheButtonHasAHandler) {
    QWidget parent;
    TRxSpeedButton button(&parent);
    QAction action(QStringLiteral("Copy"));
    int triggered = 0;
    QObject::connect(&action, &QAction::triggered, [&] { ++triggered; });
    button.SetAction(&action);
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(triggered, 1);
    int clicks = 0;
    button.OnClick = [&] { ++clicks; };
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(std::pair(triggered, clicks), std::pair(1, 1));

    // A checkable action of an exclusive group behind group buttons: the click checks the
    // button's action, the other comes up, and a click on the down one leaves both as they are.
    button.OnClick = nullptr;
    TRxSpeedButton second(&parent);
    QActionGroup exclusive(&parent);
    QAction first(QStringLiteral("First")), other(QStringLiteral("Second"));
    for (QAction* member : {&first, &other}) {
        member->setCheckable(true);
        exclusive.addAction(member);
    }
    other.setChecked(true);
    button.SetGroupIndex(3);
    second.SetGroupIndex(3);
    button.SetAction(&first);
    second.SetAction(&other);
    EXPECT_EQ(std::pair(button.Down(), second.Down()), std::pair(false, true));
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(std::pair(button.Down(), second.Down()), std::pair(true, false));
    EXPECT_EQ(std::pair(first.isChecked(), other.isChecked()), std::pair(true, false));
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(std::pair(button.Down(), first.isChecked()), std::pair(true, true));
}

// Group buttons linked to checkable actions of no exclusive group: each click toggles the
// button's action, and each button shows what its action holds, AllowAllUp or not; the button
// that the group puts up unchecks its action.
TEST_F(SpeedButtonTest, GroupButtonsAndTheirCheckableActionsStayInStep) {
    for (const bool allowAllUp : {false, true}) {
        QWidget parent;
        TRxSpeedButton button(&parent), other(&parent);
        QAction action(QStringLiteral("Highlight")), otherAction(QStringLiteral("Filter"));
        for (const auto& [linked, linkedAction] :
             {std::pair(&button, &action), std::pair(&other, &otherAction)}) {
            linkedAction->setCheckable(true);
            linked->SetGroupIndex(2);
            linked->SetAction(linkedAction);
        }
        button.SetAllowAllUp(allowAllUp);
        otherAction.setChecked(true);
        ASSERT_TRUE(other.Down());
        for (const bool checked : {true, false, true}) {
            QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
            EXPECT_EQ(std::pair(action.isChecked(), button.Down()), std::pair(checked, checked))
                << "AllowAllUp " << allowAllUp;
            EXPECT_EQ(std::pair(otherAction.isChecked(), other.Down()), std::pair(false, false));
        }
    }
}

// A 16 by 16 image: a green square of 8 inside a transparent border of 4.
QIcon GreenSquareIcon() {
    QPixmap image(16, 16);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(4, 4, 8, 8, Qt::green);
    return QIcon(image);
}

TEST_F(SpeedButtonTest, TheActionsIconIsTheGlyphWhileTheButtonHasNone) {
    const QPixmap drawn = TRxButtonGlyph::ActionImage(GreenSquareIcon(), QSize(16, 16));
    ASSERT_EQ(drawn.size(), QSize(16, 16));
    EXPECT_EQ(drawn.toImage().pixel(0, 0) & RGB_MASK, TRxButtonGlyph::DefaultTransparentColor);
    EXPECT_EQ(drawn.toImage().pixelColor(8, 8), QColor(Qt::green));
    EXPECT_TRUE(TRxButtonGlyph::ActionImage(QIcon(), QSize(16, 16)).isNull());
    EXPECT_TRUE(TRxButtonGlyph::ActionImage(GreenSquareIcon(), QSize()).isNull());

    QWidget* window = ActiveWindow();
    auto* button = new TRxSpeedButton(window);
    button->setGeometry(20, 20, 40, 30);
    QAction action(QStringLiteral("Paste"));
    action.setIcon(GreenSquareIcon());
    button->SetGlyphTransparentColor(Qt::blue);
    button->SetAction(&action);
    EXPECT_TRUE(button->GlyphFromAction());
    EXPECT_EQ(std::pair(button->Glyph().size(), button->NumGlyphs()), std::pair(QSize(16, 16), 1));
    EXPECT_EQ(button->GlyphTransparentColor(), QColor::fromRgb(TRxButtonGlyph::DefaultTransparentColor));
    // The fuchsia border is not drawn: the face shows through it.
    button->SetLayout(blGlyphLeft);
    const QRect glyph = button->Content().Glyph;
    ASSERT_EQ(glyph.size(), QSize(16, 16));
    EXPECT_EQ(PixelOf(button, glyph.center()), QColor(Qt::green));
    EXPECT_EQ(PixelOf(button, glyph.topLeft()), TestPalette().color(QPalette::Button));

    // The button's own glyph wins over the action's, and the action's comes back without it.
    QPixmap red(8, 8);
    red.fill(Qt::red);
    button->SetGlyph(red);
    action.setIcon(GreenSquareIcon());
    EXPECT_FALSE(button->GlyphFromAction());
    EXPECT_EQ(button->Glyph().size(), QSize(8, 8));
    button->SetGlyph(QPixmap());
    EXPECT_TRUE(button->GlyphFromAction());
    EXPECT_EQ(button->Glyph().size(), QSize(16, 16));
    // An action without an icon, or no action, leaves no glyph.
    action.setIcon(QIcon());
    EXPECT_TRUE(button->Glyph().isNull());
    action.setIcon(GreenSquareIcon());
    EXPECT_FALSE(button->Glyph().isNull());
    button->SetAction(nullptr);
    EXPECT_TRUE(button->Glyph().isNull());
    EXPECT_FALSE(button->GlyphFromAction());
    // A button with a glyph of its own keeps it when linked.
    button->SetGlyph(red);
    button->SetAction(&action);
    EXPECT_EQ(button->Glyph().size(), QSize(8, 8));
}

// --- the caption ---------------------------------------------------------------------------------

TEST_F(SpeedButtonTest, CaptionFlagsFollowAlignmentAndWordWrap) {
    using enum TAlignment;
    const std::tuple<TAlignment, bool, int> cases[] = {
        {taLeftJustify, false, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine},
        {taRightJustify, false, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine},
        {taCenter, false, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine},
        {taLeftJustify, true, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap},
        {taCenter, true, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap}};
    for (const auto& [alignment, wrap, flags] : cases)
        EXPECT_EQ(TGeometry::CaptionTextFlags(alignment, wrap), flags) << static_cast<int>(alignment) << wrap;
    TRxSpeedButton button;
    EXPECT_EQ(std::pair(button.Alignment(), button.WordWrap()), std::pair(taCenter, false));
}

// The leftmost and rightmost columns of Area holding caption ink (anything but the face).
std::pair<int, int> InkColumns(const QImage& image, const QRect& area, const QColor& face) {
    int left = image.width();
    int right = -1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) != face) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return {left, right};
}

TEST_F(SpeedButtonTest, AWrappedCaptionBreaksIntoAlignedLines) {
    using enum TAlignment;
    QWidget* window = ActiveWindow();
    auto* button = new TRxSpeedButton(window);
    const QString caption = QStringLiteral("Reconciliation WW");
    button->setText(caption);
    const QFontMetrics metrics = button->fontMetrics();
    const int wide = metrics.horizontalAdvance(QStringLiteral("Reconciliation"));
    button->setGeometry(10, 10, wide + 14, 3 * metrics.height() + 10);
    // Unwrapped, the caption is shortened to one line.
    const QRect oneLine = button->Content().Caption;
    EXPECT_EQ(oneLine.height(), metrics.height());
    EXPECT_LT(oneLine.width(), metrics.horizontalAdvance(caption));

    button->SetWordWrap(true);
    const QRect block = button->Content().Caption;
    // Two lines.
    EXPECT_GE(block.height(), 2 * metrics.height());
    EXPECT_LT(block.height(), 3 * metrics.height());
    EXPECT_LE(block.width(), wide + 1);
    EXPECT_GE(block.width(), wide - 1);
    // The block stays centred on the face (no glyph): its lines stand as Alignment says.
    const QColor face = TestPalette().color(QPalette::Button);
    // The face inside the frame, in the bands of the two lines.
    const QRect inside = button->rect().adjusted(3, 0, -3, 0);
    const QRect firstBand(inside.left(), block.top(), inside.width(), metrics.height());
    const QRect secondBand(inside.left(), block.top() + metrics.lineSpacing(), inside.width(),
                           block.bottom() + 1 - block.top() - metrics.lineSpacing());
    std::map<TAlignment, std::pair<int, int>> firstLine, secondLine;
    for (const TAlignment alignment : {taLeftJustify, taCenter, taRightJustify}) {
        button->SetAlignment(alignment);
        EXPECT_EQ(button->Content().Caption, block);
        const QImage shot = button->grab().toImage();
        firstLine[alignment] = InkColumns(shot, firstBand, face);
        secondLine[alignment] = InkColumns(shot, secondBand, face);
        ASSERT_GE(secondLine[alignment].second, 0) << static_cast<int>(alignment);
    }
    // The long first line fills the block whatever the alignment; the short second line moves.
    EXPECT_LE(std::abs(firstLine[taLeftJustify].first - firstLine[taRightJustify].first), 1);
    EXPECT_LE(std::abs(secondLine[taLeftJustify].first - firstLine[taLeftJustify].first), 2);
    EXPECT_LE(std::abs(secondLine[taRightJustify].second - firstLine[taRightJustify].second), 2);
    EXPECT_LT(secondLine[taLeftJustify].first, secondLine[taCenter].first);
    EXPECT_LT(secondLine[taCenter].first, secondLine[taRightJustify].first);
}

} // namespace
