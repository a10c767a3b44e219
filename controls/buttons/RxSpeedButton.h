#pragma once

#include <QIcon>
#include <QPixmap>
#include <QToolButton>

#include <functional>

// A tool button that takes a glyph strip (up, disabled, down, ... images side by side) and runs
// its click handler safely: a handler that fails is reported and ends an auto-repeat, so a held
// button does not keep failing. Groups, flat look, drop-down menus and repeating are the tool
// button's own.
class TRxSpeedButton : public QToolButton {
    Q_OBJECT
public:
    explicit TRxSpeedButton(QWidget* parent = nullptr);

    // The number of images in a strip of this size: the multiple when the width is a whole
    // multiple (1 to 5) of the height, 1 for a larger multiple, 0 when it is no multiple.
    static int NumGlyphsFor(const QSize& size);
    // The icon of a strip of numGlyphs images: the first for the normal look, the second for the
    // disabled look and the third for the pressed (checked) look; missing looks are derived.
    static QIcon IconFromGlyphStrip(const QPixmap& strip, int numGlyphs);

    // Sets the glyph strip; NumGlyphs follows its size when the size tells it.
    void SetGlyph(const QPixmap& strip);
    QPixmap Glyph() const { return Strip; }
    int NumGlyphs() const { return GlyphCount; }
    void SetNumGlyphs(int numGlyphs);

    bool AllowTimer() const { return autoRepeat(); }
    void SetAllowTimer(bool allowTimer) { setAutoRepeat(allowTimer); }
    int InitPause() const { return autoRepeatDelay(); }
    void SetInitPause(int milliseconds) { setAutoRepeatDelay(milliseconds); }
    int RepeatInterval() const { return autoRepeatInterval(); }
    void SetRepeatInterval(int milliseconds) { setAutoRepeatInterval(milliseconds); }

    // Runs on every click, the repeated ones included.
    std::function<void()> OnClick;

private:
    void Click();

    QPixmap Strip;
    int GlyphCount = 1;
};
