#include "controls/buttons/RxSpeedButton.h"

#include "controls/util/SlotGuard.h"
#include "controls/util/WindowRoutines.h"

#include <QCursor>
#include <QDialog>
#include <QEvent>
#include <QIcon>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace {

constexpr QSize DefaultSize(25, 25);
// Room round the content in a size hint: the frame (three pixels a side at most), the down
// offset and two pixels a side to spare.
constexpr QSize FrameRoom(2 * 3 + 1 + 2 * 2, 2 * 3 + 1 + 2 * 2);

void DrawFrameStep(QPainter& painter, const QRect& ring, const TFrameStep& step, const QPalette& colours) {
    if (step.TopLeft != QPalette::NoRole) {
        painter.setPen(colours.color(step.TopLeft));
        painter.drawLine(ring.topLeft(), ring.topRight() - QPoint(1, 0));
        painter.drawLine(ring.topLeft(), ring.bottomLeft() - QPoint(0, 1));
    }
    if (step.BottomRight != QPalette::NoRole) {
        painter.setPen(colours.color(step.BottomRight));
        painter.drawLine(ring.bottomLeft(), ring.bottomRight());
        painter.drawLine(ring.topRight(), ring.bottomRight());
    }
}

// A solid triangle filling Area, pointing the arrow's way: rows (or columns) of 7, 5, 3 and 1
// pixels for a 7 by 4 area.
void DrawTriangle(QPainter& painter, const QRect& area, Qt::ArrowType direction, const QColor& colour) {
    const bool vertical = direction == Qt::DownArrow || direction == Qt::UpArrow;
    const int depth = vertical ? area.height() : area.width();
    const int breadth = vertical ? area.width() : area.height();
    for (int step = 0; step < depth; ++step) {
        const int length = breadth - 2 * step;
        if (length <= 0)
            break;
        switch (direction) {
        case Qt::DownArrow:
            painter.fillRect(area.left() + step, area.top() + step, length, 1, colour);
            break;
        case Qt::UpArrow:
            painter.fillRect(area.left() + step, area.bottom() - step, length, 1, colour);
            break;
        case Qt::RightArrow:
            painter.fillRect(area.left() + step, area.top() + step, 1, length, colour);
            break;
        case Qt::LeftArrow:
            painter.fillRect(area.right() - step, area.top() + step, 1, length, colour);
            break;
        case Qt::NoArrow:
            return;
        }
    }
}

// A triangle in the button-text colour, or embossed when disabled.
void DrawMark(QPainter& painter, const QRect& area, Qt::ArrowType direction, bool enabled,
              const QPalette& colours) {
    if (enabled) {
        DrawTriangle(painter, area, direction, colours.color(QPalette::ButtonText));
        return;
    }
    DrawTriangle(painter, area.translated(1, 1), direction, colours.color(QPalette::Light));
    DrawTriangle(painter, area, direction, colours.color(QPalette::Dark));
}

// The caption as shown: accelerator markers dropped and doubled ampersands made single.
QString WithoutAccelerators(const QString& caption) {
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&') {
            if (i + 1 >= caption.size())
                break;
            ++i;
        }
        plain.append(caption[i]);
    }
    return plain;
}

} // namespace

TRxSpeedButton::TRxSpeedButton(QWidget* parent) : QToolButton(parent) {
    // A speed button is clicked, never tabbed to: the keyboard stays with the window's fields, so
    // a blank typed there can never press one.
    setFocusPolicy(Qt::NoFocus);
    setAutoRepeatDelay(500);
    setAutoRepeatInterval(100);
    resize(DefaultSize);
    connect(this, &QToolButton::clicked, this, [this] { Click(); });
}

void TRxSpeedButton::SetGroupIndex(int groupIndex) {
    if (groupIndex == Group)
        return;
    Group = groupIndex;
    if (Group == 0)
        setChecked(false);
    setCheckable(Group != 0);
    NotifyGroup();
    update();
}

void TRxSpeedButton::SetDown(bool down) {
    const bool accepted = TSpeedButtonRules::AcceptedDown(Group, Down(), down, AllowAllUpFlag);
    if (accepted == Down())
        return;
    setChecked(accepted);
    if (accepted)
        NotifyGroup();
    update();
}

void TRxSpeedButton::SetAllowAllUp(bool allowAllUp) {
    if (allowAllUp == AllowAllUpFlag)
        return;
    AllowAllUpFlag = allowAllUp;
    NotifyGroup();
}

void TRxSpeedButton::NotifyGroup() {
    if (Group == 0 || parentWidget() == nullptr)
        return;
    for (TRxSpeedButton* other : parentWidget()->findChildren<TRxSpeedButton*>(Qt::FindDirectChildrenOnly))
        if (other != this && TSpeedButtonRules::SameGroup(Group, other->Group))
            other->GroupChanged(*this);
}

void TRxSpeedButton::GroupChanged(const TRxSpeedButton& sender) {
    if (sender.Down() && Down()) {
        setChecked(false);
        update();
        // The action of a button that comes up is no longer checked either.
        if (const QPointer<QAction> action = LinkedAction; action && action->isCheckable())
            action->setChecked(false);
    }
    AllowAllUpFlag = sender.AllowAllUpFlag;
}

void TRxSpeedButton::nextCheckState() {
    if (Group == 0) {
        QToolButton::nextCheckState();
        return;
    }
    SetDown(TSpeedButtonRules::DownAfterClick(Down(), AllowAllUpFlag));
}

void TRxSpeedButton::SetGlyph(const QPixmap& strip) {
    ActionGlyph = false;
    ButtonGlyph.SetGlyph(strip);
    if (strip.isNull())
        TakeActionImage();
    updateGeometry();
    update();
}

void TRxSpeedButton::SetAction(QAction* action) {
    if (action == LinkedAction)
        return;
    disconnect(ActionChangedLink);
    disconnect(ActionToggledLink);
    disconnect(ActionGoneLink);
    LinkedAction = action;
    if (ActionGlyph) {
        // The last action's picture goes with it.
        ActionGlyph = false;
        ButtonGlyph.SetGlyph(QPixmap());
        updateGeometry();
        update();
    }
    if (!action)
        return;
    ActionChangedLink = connect(action, &QAction::changed, this, &TRxSpeedButton::ActionChanged);
    // Down follows the action's Checked when that changes, not with every other change of it.
    ActionToggledLink = connect(action, &QAction::toggled, this, &TRxSpeedButton::FollowActionChecked);
    ActionGoneLink = connect(action, &QObject::destroyed, this, [this] {
        LinkedAction = nullptr;
        if (ActionGlyph)
            SetGlyph(QPixmap());
    });
    ActionChanged();
    FollowActionChecked(action->isChecked());
}

void TRxSpeedButton::FollowActionChecked(bool checked) {
    if (Group == 0 || checked == Down())
        return;
    setChecked(checked);
    if (checked)
        NotifyGroup();
    update();
}

void TRxSpeedButton::ActionChanged() {
    const QAction* action = LinkedAction.data();
    if (!action)
        return;
    setText(action->text());
    setToolTip(action->toolTip());
    setEnabled(action->isEnabled());
    // A button of no window is never shown as a window of its own.
    if (parentWidget() != nullptr || !action->isVisible())
        setVisible(action->isVisible());
    TakeActionImage();
}

void TRxSpeedButton::TakeActionImage() {
    if (!ActionGlyph && !ButtonGlyph.Glyph().isNull())
        return;
    const QAction* action = LinkedAction.data();
    const QIcon icon = action ? action->icon() : QIcon();
    if (ActionGlyph && icon.cacheKey() == ActionIconKey)
        return;
    const int side = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    const QPixmap image = TRxButtonGlyph::ActionImage(icon, QSize(side, side));
    if (image.isNull()) {
        if (!ActionGlyph)
            return;
        ActionGlyph = false;
        ButtonGlyph.SetGlyph(QPixmap());
    } else {
        ButtonGlyph.SetGlyph(image);
        ButtonGlyph.SetTransparentColor(QColor::fromRgb(TRxButtonGlyph::DefaultTransparentColor));
        ActionGlyph = true;
        ActionIconKey = icon.cacheKey();
    }
    updateGeometry();
    update();
}

void TRxSpeedButton::SetWordWrap(bool wordWrap) {
    ButtonGlyph.SetWordWrap(wordWrap);
    update();
}

void TRxSpeedButton::SetAlignment(TAlignment alignment) {
    ButtonGlyph.SetAlignment(alignment);
    update();
}

void TRxSpeedButton::SetNumGlyphs(int numGlyphs) {
    ButtonGlyph.SetNumGlyphs(numGlyphs);
    updateGeometry();
    update();
}

void TRxSpeedButton::SetGlyphTransparentColor(const QColor& color) {
    ButtonGlyph.SetTransparentColor(color);
    update();
}

void TRxSpeedButton::SetFlat(bool flat) {
    setAutoRaise(flat);
    update();
}

void TRxSpeedButton::SetStyle(TButtonStyle style) {
    ButtonStyle = style;
    update();
}

void TRxSpeedButton::SetGrayedInactive(bool grayedInactive) {
    GrayedInactiveFlag = grayedInactive;
    update();
}

void TRxSpeedButton::SetTransparent(bool transparent) {
    TransparentFlag = transparent;
    update();
}

void TRxSpeedButton::SetLayout(TButtonLayout layout) {
    ButtonLayout = layout;
    updateGeometry();
    update();
}

void TRxSpeedButton::SetMargin(int margin) {
    if (!TButtonGeometry::AcceptedDistance(margin))
        return;
    MarginValue = margin;
    updateGeometry();
    update();
}

void TRxSpeedButton::SetSpacing(int spacing) {
    if (!TButtonGeometry::AcceptedDistance(spacing))
        return;
    SpacingValue = spacing;
    updateGeometry();
    update();
}

void TRxSpeedButton::SetDropDownMenu(QMenu* menu) {
    Menu = menu;
    updateGeometry();
    update();
}

void TRxSpeedButton::SetMarkDropDown(bool markDropDown) {
    MarkDropDownFlag = markDropDown;
    updateGeometry();
    update();
}

TButtonState TRxSpeedButton::State() const {
    // Checked outside a group (a plain toggle button) looks like down in a group.
    return TSpeedButtonRules::State(isEnabled(), isDown() || MenuTracking, isChecked());
}

TButtonState TRxSpeedButton::PaintState() const {
    return TSpeedButtonRules::PaintState(State(), Flat(), MouseInside);
}

QSize TRxSpeedButton::GlyphSize() const {
    const QSize size = ButtonGlyph.ImageSize();
    if (!size.isEmpty())
        return size;
    switch (arrowType()) {
    case Qt::UpArrow:
    case Qt::DownArrow:
        return TButtonGeometry::MarkSize;
    case Qt::LeftArrow:
    case Qt::RightArrow:
        return TButtonGeometry::MarkSize.transposed();
    case Qt::NoArrow:
        break;
    }
    return QSize();
}

QRect TRxSpeedButton::ContentRect(TButtonState paintState) const {
    if (!TSpeedButtonRules::HasFrame(paintState)) {
        const int inset = TSpeedButtonRules::InactiveInset;
        return rect().adjusted(inset, inset, -inset, -inset);
    }
    const auto rings =
        static_cast<int>(TSpeedButtonRules::FrameSteps(TSpeedButtonRules::UsesNewLook(ButtonStyle), Flat(),
                                                       TSpeedButtonRules::Sunken(State()))
                             .size());
    return rect().adjusted(rings + 1, rings + 1, -(rings + 1), -(rings + 1));
}

QString TRxSpeedButton::CaptionFor(int widthLimit) const {
    const QString caption = text();
    const QFontMetrics metrics = fontMetrics();
    if (caption.isEmpty() || metrics.size(Qt::TextShowMnemonic, caption).width() <= widthLimit)
        return caption;
    // Shortened captions lose their accelerator mark; ampersands stay literal.
    return MinimizeText(WithoutAccelerators(caption), metrics, widthLimit)
        .replace(u'&', QStringLiteral("&&"));
}

QSize TRxSpeedButton::CaptionSize(const QString& caption, int widthLimit) const {
    if (caption.isEmpty())
        return QSize();
    if (!WordWrap())
        return fontMetrics().size(Qt::TextShowMnemonic, caption);
    // The lines the caption breaks into in its room; a word wider than the room stands alone.
    const int flags = TButtonGeometry::CaptionTextFlags(Alignment(), true) | Qt::TextShowMnemonic;
    return fontMetrics()
        .boundingRect(QRect(0, 0, std::max(widthLimit, 1), QWIDGETSIZE_MAX), flags, caption)
        .size();
}

TButtonContent TRxSpeedButton::Place(QString* caption) const {
    const QRect client = ContentRect(PaintState()).translated(TSpeedButtonRules::ContentOffset(State()));
    const QSize glyph = GlyphSize();
    const bool mark = MarkDropDownFlag && Menu;
    const int limit =
        TButtonGeometry::CaptionWidthLimit(client, glyph, ButtonLayout, MarginValue, SpacingValue, mark);
    const QString shown = WordWrap() ? text() : CaptionFor(limit);
    if (caption)
        *caption = shown;
    return TButtonGeometry::Place(client, glyph, CaptionSize(shown, limit), ButtonLayout, MarginValue,
                                  SpacingValue, mark);
}

TButtonContent TRxSpeedButton::Content() const {
    return Place(nullptr);
}

QSize TRxSpeedButton::sizeHint() const {
    const QString caption = text();
    const QSize captionSize = caption.isEmpty() ? QSize() : fontMetrics().size(Qt::TextShowMnemonic, caption);
    const QSize content = TButtonGeometry::ContentSize(GlyphSize(), captionSize, ButtonLayout, MarginValue,
                                                       SpacingValue, MarkDropDownFlag && Menu);
    return (content + FrameRoom).expandedTo(DefaultSize);
}

void TRxSpeedButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& colours = palette();
    const TButtonState state = State();
    const TButtonState paintState = PaintState();
    if (!TransparentFlag)
        painter.fillRect(rect(), colours.button());

    if (TSpeedButtonRules::HasFrame(paintState)) {
        QRect ring = rect();
        for (const TFrameStep& step : TSpeedButtonRules::FrameSteps(
                 TSpeedButtonRules::UsesNewLook(ButtonStyle), Flat(), TSpeedButtonRules::Sunken(state))) {
            DrawFrameStep(painter, ring, step, colours);
            ring.adjust(1, 1, -1, -1);
        }
    }
    if (TSpeedButtonRules::Dithered(state, TransparentFlag, Flat(), MouseInside))
        painter.fillRect(ContentRect(paintState), QBrush(colours.color(QPalette::Light), Qt::Dense4Pattern));

    QString caption;
    const TButtonContent content = Place(&caption);
    const bool enabled = isEnabled();
    if (!content.Glyph.isEmpty()) {
        const QPixmap image =
            ButtonGlyph.Image(TSpeedButtonRules::GlyphState(state, paintState, GrayedInactiveFlag), colours);
        if (!image.isNull())
            painter.drawPixmap(content.Glyph, image);
        else
            DrawMark(painter, content.Glyph, arrowType(), enabled, colours);
    }
    if (!content.Caption.isEmpty()) {
        const int flags =
            TButtonGeometry::CaptionTextFlags(Alignment(), WordWrap()) |
            (style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, this) ? Qt::TextShowMnemonic
                                                                             : Qt::TextHideMnemonic);
        if (enabled) {
            painter.setPen(colours.color(QPalette::ButtonText));
        } else {
            painter.setPen(colours.color(QPalette::Light));
            painter.drawText(content.Caption.translated(1, 1), flags, caption);
            painter.setPen(colours.color(QPalette::Dark));
        }
        painter.drawText(content.Caption, flags, caption);
    }
    if (!content.Mark.isEmpty())
        DrawMark(painter, content.Mark, Qt::DownArrow, enabled, colours);
}

void TRxSpeedButton::mousePressEvent(QMouseEvent* event) {
    if (MenuTracking) {
        // The press that closes this button's own menu is not a new press.
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton && isEnabled()) {
        SetMouseInControl(IsForegroundTask());
        if (Menu) {
            event->accept();
            PopupMenu();
            return;
        }
    }
    QToolButton::mousePressEvent(event);
}

void TRxSpeedButton::PopupMenu() {
    const QPointer<TRxSpeedButton> self(this);
    const QPointer<QMenu> menu = Menu;
    MenuTracking = true;
    update();
    const QPoint anchor = TButtonGeometry::DropDownPosition(size(), true, MenuPos, MenuAlign);
    menu->exec(TButtonGeometry::MenuTopLeft(mapToGlobal(anchor), menu->sizeHint(), MenuAlign));
    if (!self)
        return;
    // The press ends with the menu, without a click: the menu's choice was the action.
    MenuTracking = false;
    update();
    UpdateTracking();
}

void TRxSpeedButton::mouseReleaseEvent(QMouseEvent* event) {
    const QPointer<TRxSpeedButton> self(this);
    QToolButton::mouseReleaseEvent(event);
    if (self)
        UpdateTracking();
}

void TRxSpeedButton::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && Down() && OnDblClick && !MenuTracking) {
        const QPointer<TRxSpeedButton> self(this);
        GuardSlot([this] { OnDblClick(); });
        if (!self)
            return;
    }
    // The second press of a double click presses the button again.
    QToolButton::mouseDoubleClickEvent(event);
}

void TRxSpeedButton::enterEvent(QEnterEvent* event) {
    QToolButton::enterEvent(event);
    if (isEnabled() && IsForegroundTask())
        SetMouseInControl(true);
}

void TRxSpeedButton::leaveEvent(QEvent* event) {
    QToolButton::leaveEvent(event);
    if (!isDown())
        SetMouseInControl(false);
}

void TRxSpeedButton::changeEvent(QEvent* event) {
    QToolButton::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        UpdateTracking();
        break;
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
        ButtonGlyph.ReleaseImages();
        update();
        break;
    default:
        break;
    }
}

void TRxSpeedButton::showEvent(QShowEvent* event) {
    QToolButton::showEvent(event);
    UpdateTracking();
}

void TRxSpeedButton::hideEvent(QHideEvent* event) {
    QToolButton::hideEvent(event);
    UpdateTracking();
}

void TRxSpeedButton::SetMouseInControl(bool inside) {
    if (inside == MouseInside)
        return;
    MouseInside = inside;
    update();
    const std::function<void()> handler = inside ? OnMouseEnter : OnMouseLeave;
    if (handler)
        GuardSlot([&handler] { handler(); });
}

void TRxSpeedButton::UpdateTracking() {
    SetMouseInControl(isVisible() && isEnabled() && IsForegroundTask() &&
                      rect().contains(mapFromGlobal(QCursor::pos())));
}

void TRxSpeedButton::Click() {
    const QPointer<TRxSpeedButton> self(this);
    const QPointer<QDialog> dialog = Result != mrNone ? qobject_cast<QDialog*>(window()) : nullptr;
    const int previousResult = dialog ? dialog->result() : mrNone;
    GuardSlot([&] {
        try {
            // The handler sees the result its dialog is about to end with, and may take it back.
            if (dialog)
                dialog->setResult(Result);
            if (OnClick)
                OnClick();
            else if (const QPointer<QAction> action = LinkedAction; action)
                action->trigger();
        } catch (...) {
            // A failed click ends nothing, and is released before the error box shows, so the
            // repeat cannot fire under it.
            if (dialog)
                dialog->setResult(previousResult);
            if (self)
                setDown(false);
            throw;
        }
        if (dialog && dialog->result() != mrNone)
            dialog->done(dialog->result());
    });
}
