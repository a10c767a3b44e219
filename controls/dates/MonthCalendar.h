#pragma once

#include "controls/dates/CalendarPainter.h"
#include "controls/dates/DateNavigator.h"
#include "controls/dates/MonthCalendarRules.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

// A month calendar placed on forms: MonthAcross months side by side with the shared calendar's
// keys, mouse gestures and look. Enter and a release on a day are choices (selectionChanged); a
// double click is reported as doubleClicked. The owner may recolour days through
// OnCalcDateColors. The control sizes itself to its font, frame and months.
class TbtCalendar : public QWidget, public TCustomBTCalendar {
    Q_OBJECT
public:
    explicit TbtCalendar(QWidget* parent = nullptr);
    ~TbtCalendar() override;

    TCalendarPainter::TCalcDateColors OnCalcDateColors;

    QSize sizeHint() const override { return ControlSize(); }
    // The top-left corner of the client area (inside the frame).
    QPoint ClientOrigin() const;
    const TDateLocale& Locale() const { return DateLocale; }
    TdxCalenMonthListBox* MonthListBox() const { return ListBox; }

signals:
    void selectionChanged();
    void doubleClicked();

protected:
    void Changed() override;
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void ApplyFont();
    void LeftPress(const QPoint& pos);
    void EndMouse();
    // Closes the month list, showing the month under the pointer when pick is set.
    void CloseListBox(bool pick);

    TDateLocale DateLocale;
    QTimer ArrowTimer;
    QPoint LastPos;
    QPointer<TdxCalenMonthListBox> ListBox;
};
