#pragma once

#include "controls/progress/ProgressBarKinds.h"

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QWidget>

class QPainter;

// A progress bar drawn by hand: solid, in whole segments, as a gradient that spans the whole
// bar, as gradient-coloured segments, or as a tiled picture; horizontal or vertical, with an
// edge around the bar and one around its filled part, and an optional centred text.
// The position is not held to Min..Max: the bar fills the position's share of Max - Min (the
// position itself, not its distance from Min), held inside the bar, and nothing at Min itself.
class TdxfProgressBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int DefaultWidth = 150;
    static constexpr int DefaultHeight = 16;

    explicit TdxfProgressBar(QWidget* parent = nullptr);
    ~TdxfProgressBar() override;

    TdxfBevelOuter BarBevelOuter() const { return FBarBevelOuter; }
    void SetBarBevelOuter(TdxfBevelOuter value);
    TdxfBevelOuter BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TdxfBevelOuter value);
    TdxfPBOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TdxfPBOrientation value);

    int Max() const { return FMax; }
    // Ignored when the same or below Min.
    void SetMax(int value);
    int Min() const { return FMin; }
    // Ignored when the same or above Max.
    void SetMin(int value);
    int Position() const { return FPosition; }
    // Repaints at once, so a long loop that moves the bar shows each step.
    void SetPosition(int value);

    bool ShowText() const { return FShowText; }
    void SetShowText(bool value);
    TdxfShowTextStyle ShowTextStyle() const { return FShowTextStyle; }
    void SetShowTextStyle(TdxfShowTextStyle value);

    QColor BeginColor() const { return FBeginColor; }
    void SetBeginColor(const QColor& value);
    QColor EndColor() const { return FEndColor; }
    void SetEndColor(const QColor& value);
    // The background; the window's background colour until set.
    QColor Color() const;
    void SetColor(const QColor& value);

    TdxfPBStyle Style() const { return FStyle; }
    void SetStyle(TdxfPBStyle value);

    const QPixmap& Glyph() const { return FGlyph; }
    // Takes a copy; a picture that is not empty sets the bar's thickness to its own plus the edge.
    void SetGlyph(const QPixmap& value);
    bool TransparentGlyph() const { return FTransparentGlyph; }
    void SetTransparentGlyph(bool value);

    // Kept for the caller; the bar itself does not use it.
    int Step() const { return FStep; }
    void SetStep(int value) { FStep = value; }

    QSize sizeHint() const override { return {DefaultWidth, DefaultHeight}; }

signals:
    void Click();
    void DblClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void DrawBevel(QPainter& painter, const QRect& rect, TdxfBevelOuter bevel) const;
    void DrawText(QPainter& painter) const;
    void ApplyTransparency();

    TdxfBevelOuter FBarBevelOuter = TdxfBevelOuter::bvNone;
    TdxfBevelOuter FBevelOuter = TdxfBevelOuter::bvLowered;
    TdxfPBOrientation FOrientation = TdxfPBOrientation::orHorizontal;
    int FMax = 100;
    int FMin = 0;
    int FPosition = 0;
    bool FShowText = false;
    TdxfShowTextStyle FShowTextStyle = TdxfShowTextStyle::stsPercent;
    QColor FBeginColor = QColor(0, 0, 128);
    QColor FEndColor = QColor(255, 255, 255);
    QColor FColor;
    TdxfPBStyle FStyle = TdxfPBStyle::sRectangles;
    QPixmap FGlyph;      // as given
    QPixmap FGlyphShown; // with its transparent colour masked out when asked
    int FStep = 10;
    bool FTransparentGlyph = true;
};
