#include "controls/calculator/CalculatorLayout.h"

#include <cstdlib>

using K = TdxCalcButtonKind;

namespace {

// a * b / c rounded to nearest, halves away from zero.
int MulDiv(int a, int b, int c) {
    const long long n = static_cast<long long>(a) * b;
    const long long q = (2 * std::llabs(n) + std::llabs(c)) / (2 * std::llabs(c));
    return static_cast<int>((n < 0) != (c < 0) ? -q : q);
}

int GapFor(int h) {
    return MulDiv(h, 4, 22);
}
int TotalHeight(int h) {
    return GapFor(h) + 5 * (h + GapFor(h));
}

} // namespace

TdxCalcLayout TdxCalcLayout::ForHeight(int buttonHeight) {
    TdxCalcLayout l;
    const int h = buttonHeight;
    l.ButtonHeight = h;
    l.ButtonWidth = MulDiv(h, 28, 22);
    l.Gap = GapFor(h);
    l.WideWidth = MulDiv(l.ButtonWidth, 17, 10);
    l.FontSize = MulDiv(h, 8, 22);
    const int w = l.ButtonWidth;
    const int g = l.Gap;
    l.PadSize = QSize(6 * (g + w) + 2 * g + 4, 5 * (g + h) + g);

    auto row = [&](int r) { return g + r * (h + g); };
    const int block = 2 * g + w + 4 + g;
    auto place = [&](K kind, int x, int r, int width) {
        l.Buttons[static_cast<int>(kind)] = QRect(x, row(r), width, h);
    };
    const K memory[] = {K::cbMemoryClear, K::cbMemoryRecall, K::cbMemoryStore, K::cbMemoryAdd};
    for (int r = 0; r < 4; ++r)
        place(memory[r], g, r + 1, w);
    const K grid[4][5] = {{K::cb7, K::cb8, K::cb9, K::cbDivide, K::cbSqrt},
                          {K::cb4, K::cb5, K::cb6, K::cbMultiply, K::cbPercent},
                          {K::cb1, K::cb2, K::cb3, K::cbSubtract, K::cbReciprocal},
                          {K::cb0, K::cbNegate, K::cbDecimal, K::cbAdd, K::cbEqual}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 5; ++c)
            place(grid[r][c], block + c * (w + g), r + 1, w);
    const int right = block + 4 * (w + g) + w;
    const K top[] = {K::cbClear, K::cbCancelEntry, K::cbBack};
    for (int i = 0; i < 3; ++i)
        place(top[i], right - (i + 1) * l.WideWidth - i * g, 0, l.WideWidth);
    return l;
}

TdxCalcLayout TdxCalcLayout::ForClient(QSize client) {
    const int m = std::min(MulDiv(client.width(), 137, 207), client.height());
    int h = 22;
    while (std::abs(TotalHeight(h + 1) - m) < std::abs(TotalHeight(h) - m))
        ++h;
    return ForHeight(h);
}

TdxCalcKeyPress CalcKeyPress(int key, Qt::KeyboardModifiers modifiers, const QString& text, QChar decimal) {
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    auto button = [](K kind) { return TdxCalcKeyPress{TdxCalcKeyAction::kaButton, kind}; };
    if (ctrl) {
        switch (key) {
        case Qt::Key_L:
            return button(K::cbMemoryClear);
        case Qt::Key_R:
            return button(K::cbMemoryRecall);
        case Qt::Key_M:
            return button(K::cbMemoryStore);
        case Qt::Key_P:
            return button(K::cbMemoryAdd);
        case Qt::Key_C:
        case Qt::Key_Insert:
            return {TdxCalcKeyAction::kaCopy, K::cbNone};
        case Qt::Key_V:
            return {TdxCalcKeyAction::kaPaste, K::cbNone};
        default:
            return {};
        }
    }
    switch (key) {
    case Qt::Key_Insert:
        return shift ? TdxCalcKeyPress{TdxCalcKeyAction::kaPaste, K::cbNone} : TdxCalcKeyPress{};
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return button(K::cbEqual);
    case Qt::Key_Escape:
        return button(K::cbClear);
    case Qt::Key_Delete:
        return button(K::cbCancelEntry);
    case Qt::Key_Backspace:
        return button(K::cbBack);
    case Qt::Key_F9:
        return button(K::cbNegate);
    case Qt::Key_C:
        return button(K::cbClear);
    case Qt::Key_R:
        return button(K::cbReciprocal);
    default:
        break;
    }
    if (text.size() != 1)
        return {};
    const QChar c = text.at(0);
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return button(static_cast<K>(static_cast<int>(K::cb0) + (c.unicode() - '0')));
    if (c == decimal)
        return button(K::cbDecimal);
    switch (c.unicode()) {
    case '/':
        return button(K::cbDivide);
    case '*':
        return button(K::cbMultiply);
    case '-':
        return button(K::cbSubtract);
    case '+':
        return button(K::cbAdd);
    case '=':
        return button(K::cbEqual);
    case '%':
        return button(K::cbPercent);
    case '@':
        return button(K::cbSqrt);
    default:
        return {};
    }
}
