#include "controls/small/AsUrlLabel.h"

#include "controls/util/SlotGuard.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

TAsUrlLabel::TAsUrlLabel(QWidget* parent) : TAsUrlLabel(QString(), parent) {}

TAsUrlLabel::TAsUrlLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setCursor(Qt::PointingHandCursor);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, Qt::blue);
    setPalette(colours);
    HoverColor = palette().color(QPalette::Button);
    HoverFont = font();
    HoverFont.setUnderline(false);
    HoverFont.setBold(false);
    HoverFont.setItalic(false);
    HoverFont.setStrikeOut(false);
    Opener = [](const QString& url) { QDesktopServices::openUrl(QUrl::fromUserInput(url)); };
}

TLabelLook TAsUrlLabel::CurrentLook() const {
    return {alignment() & Qt::AlignHorizontal_Mask,
            text(),
            autoFillBackground() ? palette().color(QPalette::Window) : QColor(),
            font(),
            palette().color(QPalette::WindowText),
            alignment() & Qt::AlignVertical_Mask};
}

void TAsUrlLabel::Show(const TLabelLook& look) {
    setAlignment(look.Alignment | look.Layout);
    setText(look.Caption);
    setFont(look.Font);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, look.FontColor);
    if (look.Color.isValid())
        colours.setColor(QPalette::Window, look.Color);
    setPalette(colours);
    setAutoFillBackground(look.Color.isValid());
}

void TAsUrlLabel::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    emit mouseEnter();
    if (HoverTextEnabled)
        Show(Hover.Enter(CurrentLook(),
                         {HoverAlignment, HoverCaption, HoverColor, HoverFont, HoverFontColor, HoverLayout}));
}

void TAsUrlLabel::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    emit mouseLeave();
    if (Hover.Hovered())
        Show(Hover.Leave(CurrentLook()));
}

void TAsUrlLabel::mousePressEvent(QMouseEvent* event) {
    Pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void TAsUrlLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        Pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    Pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (!click)
        return;
    GuardSlot([this] {
        emit clicked();
        if (UrlExecute && Opener)
            Opener(Url.trimmed());
    });
}
