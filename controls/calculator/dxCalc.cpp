#include "controls/calculator/dxCalc.h"

#include "core/services/Services.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOption>

using K = TdxCalcButtonKind;

namespace {

QString Caption(K kind, QChar decimal) {
    static const char* const Captions[] = {"Back", "CE", "C", "MC", "MR", "MS",   "M+", "0",   "1",
                                           "2",    "3",  "4", "5",  "6",  "7",    "8",  "9",   "+/-",
                                           "",     "/",  "*", "-",  "+",  "sqrt", "%",  "1/x", "="};
    return kind == K::cbDecimal ? QString(decimal) : QString::fromLatin1(Captions[static_cast<int>(kind)]);
}

QColor CaptionColour(K kind) {
    const int k = static_cast<int>(kind);
    if (k <= static_cast<int>(K::cbClear))
        return QColor(128, 0, 0);
    if (kind >= K::cb0 && kind <= K::cbDecimal)
        return Qt::blue;
    if (kind >= K::cbSqrt && kind <= K::cbReciprocal)
        return QColor(0, 0, 128);
    return Qt::red;
}

} // namespace

TdxCalcDisplay::TdxCalcDisplay(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void TdxCalcDisplay::SetText(const QString& text) {
    if (text == FText)
        return;
    FText = text;
    update();
}

QSize TdxCalcDisplay::sizeHint() const {
    return QSize(100, fontMetrics().height() + 8);
}

void TdxCalcDisplay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.lineWidth = 2;
    frame.frameShape = QFrame::Panel;
    frame.state |= QStyle::State_Sunken;
    style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, this);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(rect().adjusted(2, 2, -4, -2), Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                     FText);
}

TdxCalculator::TdxCalculator(QWidget* parent, QChar decimalSeparator)
    : QWidget(parent), FEngine(decimalSeparator), FLayout(TdxCalcLayout::ForHeight(22)) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    FEngine.OnDisplayChange = [this] { ShowDisplay(); };
    FEngine.OnMemoryChanged = [this] { update(); };
    FEngine.OnResult = [this] { emit result(); };
    FEngine.OnBeep = [] { TServices::Prompt().Beep(TBeep::Default); };
    resize(FLayout.PadSize);
}

void TdxCalculator::SetAssociate(TdxCalcDisplay* display) {
    FAssociate = display;
    ShowDisplay();
}

void TdxCalculator::ShowDisplay() {
    if (FAssociate)
        FAssociate->SetText(FEngine.DisplayText());
    emit displayChanged();
}

void TdxCalculator::CopyToClipboard() const {
    QGuiApplication::clipboard()->setText(FEngine.DisplayText());
}

void TdxCalculator::PasteFromClipboard() {
    const QString text = QGuiApplication::clipboard()->text();
    if (!text.isNull())
        FEngine.PasteText(text);
}

void TdxCalculator::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void TdxCalculator::LayOut() {
    FLayout = TdxCalcLayout::ForClient(size());
    if (!FLaidOut) {
        FLaidOut = true;
        FEngine.Reset();
    }
    QFont f = font();
    f.setPointSize(FLayout.FontSize);
    f.setBold(FLayout.FontSize >= 10);
    setFont(f);
    if (size() != FLayout.PadSize && !FResizing) {
        FResizing = true; // the pad's own size is a fixed point of the layout
        resize(FLayout.PadSize);
        FResizing = false;
    }
    update();
}

TdxCalcButtonKind TdxCalculator::ButtonAt(QPoint point) const {
    for (int k = 0; k < static_cast<int>(FLayout.Buttons.size()); ++k)
        if (FLayout.Buttons[k].contains(point))
            return static_cast<K>(k);
    return K::cbNone;
}

bool TdxCalculator::IsPressed(TdxCalcButtonKind kind) const {
    if ((kind == K::cbMemoryClear || kind == K::cbMemoryRecall) && FEngine.IsMemoryGreyed())
        return false;
    return kind == FKeyButton || (kind == FMouseButton && FMouseOver);
}

void TdxCalculator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    for (int k = 0; k < static_cast<int>(FLayout.Buttons.size()); ++k) {
        const K kind = static_cast<K>(k);
        const QRect r = FLayout.Buttons[k];
        const bool pressed = IsPressed(kind);
        if (ButtonStyle == TdxButtonStyle::bsStandard) {
            QStyleOptionButton option;
            option.initFrom(this);
            option.rect = r;
            option.state |= pressed ? QStyle::State_Sunken : QStyle::State_Raised;
            style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);
        } else if (ButtonStyle == TdxButtonStyle::bsFlat || pressed || kind == FHotButton) {
            const QPalette& p = palette();
            painter.setPen(pressed ? p.color(QPalette::Shadow) : p.color(QPalette::Light));
            painter.drawLine(r.topLeft(), r.topRight());
            painter.drawLine(r.topLeft(), r.bottomLeft());
            painter.setPen(pressed ? p.color(QPalette::Light) : p.color(QPalette::Dark));
            painter.drawLine(r.bottomLeft(), r.bottomRight());
            painter.drawLine(r.topRight(), r.bottomRight());
        }
        const bool greyed =
            (kind == K::cbMemoryClear || kind == K::cbMemoryRecall) && FEngine.IsMemoryGreyed();
        painter.setPen(greyed ? palette().color(QPalette::Dark) : CaptionColour(kind));
        painter.drawText(pressed ? r.translated(2, 2) : r, Qt::AlignCenter | Qt::TextSingleLine,
                         Caption(kind, FEngine.DecimalSeparator()));
        if (kind == K::cbEqual && hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = r.adjusted(3, 3, -3, -3);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
    }
}

void TdxCalculator::keyPressEvent(QKeyEvent* event) {
    const TdxCalcKeyPress press =
        CalcKeyPress(event->key(), event->modifiers(), event->text(), FEngine.DecimalSeparator());
    if (press.Action == TdxCalcKeyAction::kaNone) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (event->isAutoRepeat())
        return;
    if (press.Action == TdxCalcKeyAction::kaCopy)
        CopyToClipboard();
    else if (press.Action == TdxCalcKeyAction::kaPaste)
        PasteFromClipboard();
    else {
        FKeyButton = press.Kind;
        update();
        FEngine.ButtonClick(press.Kind);
        if (event->key() == Qt::Key_Escape)
            event->ignore(); // a window holding the pad also closes on Esc
    }
}

void TdxCalculator::keyReleaseEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat() && FKeyButton != K::cbNone) {
        FKeyButton = K::cbNone;
        update();
    }
    QWidget::keyReleaseEvent(event);
}

void TdxCalculator::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const K kind = ButtonAt(event->position().toPoint());
    if (kind == K::cbNone)
        return;
    setFocus(Qt::MouseFocusReason);
    FMouseButton = kind;
    FMouseOver = true;
    FTracking = true;
    update();
}

void TdxCalculator::mouseMoveEvent(QMouseEvent* event) {
    const K under = ButtonAt(event->position().toPoint());
    if (ButtonStyle == TdxButtonStyle::bsExtraFlat && under != FHotButton) {
        FHotButton = under;
        update();
    }
    if (!FTracking)
        return;
    const bool over = under == FMouseButton;
    if (over != FMouseOver) {
        FMouseOver = over;
        update();
    }
}

void TdxCalculator::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !FTracking)
        return;
    const K kind = FMouseButton;
    const bool over = ButtonAt(event->position().toPoint()) == kind;
    FTracking = false;
    FMouseButton = K::cbNone;
    update();
    if (over)
        FEngine.ButtonClick(kind);
}

void TdxCalculator::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (FHotButton != K::cbNone) {
        FHotButton = K::cbNone;
        update();
    }
}

void TdxCalculator::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void TdxCalculator::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}
