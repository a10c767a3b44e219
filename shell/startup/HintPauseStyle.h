#pragma once

#include <QProxyStyle>

// The program's look over the platform's style, with the pause before a control's hint shows
// fixed at half a second.
class THintPauseStyle : public QProxyStyle {
    Q_OBJECT
public:
    static constexpr int HintPauseMs = 500;

    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};
