#include "controls/buttons/RxSpeedButton.h"

#include "controls/util/SlotGuard.h"

#include <algorithm>

TRxSpeedButton::TRxSpeedButton(QWidget* parent) : QToolButton(parent) {
    // A speed button is clicked, never tabbed to: the keyboard stays with the window's fields, so
    // a blank typed there can never press one.
    setFocusPolicy(Qt::NoFocus);
    setAutoRepeatDelay(500);
    setAutoRepeatInterval(100);
    connect(this, &QToolButton::clicked, this, [this] { Click(); });
}

int TRxSpeedButton::NumGlyphsFor(const QSize& size) {
    if (size.height() < 1 || size.width() < size.height() || size.width() % size.height() != 0)
        return 0;
    const int multiple = size.width() / size.height();
    return multiple > 5 ? 1 : multiple;
}

QIcon TRxSpeedButton::IconFromGlyphStrip(const QPixmap& strip, int numGlyphs) {
    QIcon icon;
    if (strip.isNull())
        return icon;
    const int count = std::clamp(numGlyphs, 1, 5);
    const int width = strip.width() / count;
    const auto slice = [&](int index) { return strip.copy(index * width, 0, width, strip.height()); };
    icon.addPixmap(slice(0), QIcon::Normal, QIcon::Off);
    if (count >= 2)
        icon.addPixmap(slice(1), QIcon::Disabled, QIcon::Off);
    if (count >= 3)
        icon.addPixmap(slice(2), QIcon::Normal, QIcon::On);
    return icon;
}

void TRxSpeedButton::SetGlyph(const QPixmap& strip) {
    Strip = strip;
    if (const int count = NumGlyphsFor(strip.size()); count > 0)
        GlyphCount = count;
    setIcon(IconFromGlyphStrip(Strip, GlyphCount));
}

void TRxSpeedButton::SetNumGlyphs(int numGlyphs) {
    GlyphCount = std::clamp(numGlyphs, 1, 5);
    setIcon(IconFromGlyphStrip(Strip, GlyphCount));
}

void TRxSpeedButton::Click() {
    GuardSlot([this] {
        try {
            if (OnClick)
                OnClick();
        } catch (...) {
            // Released before the error box shows, so the repeat cannot fire under it.
            setDown(false);
            throw;
        }
    });
}
