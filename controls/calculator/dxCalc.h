#pragma once

#include "controls/calculator/CalculatorEngine.h"
#include "controls/calculator/CalculatorLayout.h"

#include <QPointer>
#include <QWidget>

// The calculator's read-only display: its text right-aligned and vertically centred on one line.
class TdxCalcDisplay : public QWidget {
    Q_OBJECT
public:
    explicit TdxCalcDisplay(QWidget* parent = nullptr);
    QString Text() const { return FText; }
    void SetText(const QString& text);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString FText = QStringLiteral("0");
};

enum class TdxButtonStyle { bsStandard, bsFlat, bsExtraFlat };

// The calculator's button pad. It paints its buttons itself and is one focus target: a key shows
// its button pushed until the key is released, a mouse press pushes the button under it and the
// release over the same button clicks it. Every click goes to the engine; the engine's display
// is shown in the associated display.
class TdxCalculator : public QWidget {
    Q_OBJECT
public:
    explicit TdxCalculator(QWidget* parent = nullptr, QChar decimalSeparator = QLatin1Char('.'));

    TdxCalculatorEngine& Engine() { return FEngine; }
    void ButtonClick(TdxCalcButtonKind kind) { FEngine.ButtonClick(kind); }
    double GetValue() const { return FEngine.GetValue(); }

    void SetAssociate(TdxCalcDisplay* display);
    TdxButtonStyle ButtonStyle = TdxButtonStyle::bsStandard;
    const TdxCalcLayout& Layout() const { return FLayout; }

    void CopyToClipboard() const;
    void PasteFromClipboard();

    QSize sizeHint() const override { return FLayout.PadSize; }

    // Places the buttons for the pad's size and sets the pad to the size they take. The first
    // layout also clears the state, the pending operator and the memory.
    void LayOut();

signals:
    void result();
    void displayChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    TdxCalcButtonKind ButtonAt(QPoint point) const;
    bool IsPressed(TdxCalcButtonKind kind) const;
    void ShowDisplay();

    TdxCalculatorEngine FEngine;
    TdxCalcLayout FLayout;
    QPointer<TdxCalcDisplay> FAssociate;
    bool FLaidOut = false;
    bool FResizing = false;
    bool FTracking = false;
    bool FMouseOver = false;
    TdxCalcButtonKind FMouseButton = TdxCalcButtonKind::cbNone;
    TdxCalcButtonKind FKeyButton = TdxCalcButtonKind::cbNone;
    TdxCalcButtonKind FHotButton = TdxCalcButtonKind::cbNone; // under the pointer, extra-flat style
};
