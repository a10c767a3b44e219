#pragma once

#include "controls/calculator/CalculatorEngine.h"

#include <QRect>
#include <QSize>
#include <Qt>
#include <array>

// Where the pad's buttons go for a button height, and which button height a client size asks for.
struct TdxCalcLayout {
    int ButtonHeight = 22;
    int ButtonWidth = 28;
    int WideWidth = 47;
    int Gap = 4;
    int FontSize = 8;
    QSize PadSize;
    // Indexed by button kind.
    std::array<QRect, static_cast<int>(TdxCalcButtonKind::cbNone)> Buttons;

    // The metrics for a button height (all ratios rounded to nearest, halves away from zero).
    static TdxCalcLayout ForHeight(int buttonHeight);
    // The metrics whose pad height comes closest to what a client size allows (never below 22
    // pixels of button height).
    static TdxCalcLayout ForClient(QSize client);
};

// What a key press asks of the pad.
enum class TdxCalcKeyAction { kaNone, kaButton, kaCopy, kaPaste };

struct TdxCalcKeyPress {
    TdxCalcKeyAction Action = TdxCalcKeyAction::kaNone;
    TdxCalcButtonKind Kind = TdxCalcButtonKind::cbNone;
};

// The button (or clipboard action) for a key with its modifiers and typed text.
TdxCalcKeyPress CalcKeyPress(int key, Qt::KeyboardModifiers modifiers, const QString& text, QChar decimal);
