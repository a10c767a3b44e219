#pragma once

#include "controls/small/UrlLabelLook.h"

#include <QLabel>

#include <functional>

// A label that behaves as a link: hand cursor, blue underlined text, an optional hover look, and
// a click that opens Url. The address is fixed by the program, never typed by the user.
// MouseEnter and MouseLeave always fire; the look changes only with HoverTextEnabled. A click
// emits Clicked first and then, with UrlExecute, hands the trimmed Url to Opener (by default
// the desktop's handler; a failure is not reported).
class TAsUrlLabel : public QLabel {
    Q_OBJECT
public:
    explicit TAsUrlLabel(QWidget* parent = nullptr);
    explicit TAsUrlLabel(const QString& text, QWidget* parent = nullptr);

    Qt::Alignment HoverAlignment = Qt::AlignLeft;
    QString HoverCaption;
    QColor HoverColor;
    bool HoverTextEnabled = false;
    QFont HoverFont;
    QColor HoverFontColor = Qt::red;
    Qt::Alignment HoverLayout = Qt::AlignTop;
    QString Url;
    bool UrlExecute = true;
    std::function<void(const QString& url)> Opener;

    bool Hovered() const { return Hover.Hovered(); }

signals:
    void clicked();
    void mouseEnter();
    void mouseLeave();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TLabelLook CurrentLook() const;
    void Show(const TLabelLook& look);

    THoverLook Hover;
    bool Pressed = false;
};
