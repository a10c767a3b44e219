#pragma once

#include "controls/dates/CalendarPainter.h"
#include "controls/dates/MonthCalendarRules.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

// The month list a caption press opens: seven months from three before the caption's month,
// shown without taking the focus. The calendar keeps the mouse while the button is down and hands
// the pointer's moves to it; outside the list it scrolls by a timer, faster further away.
class TBTCalenMonthListBox : public QWidget {
    Q_OBJECT
public:
    TBTCalenMonthListBox(QWidget* calendar, const QDate& shownMonth, const TCalendarMetrics& metrics,
                         const TDateLocale& locale);

    // Shows the list centred over a caption (global coordinates).
    void ShowOver(const QRect& globalCaption);
    // Follows the pointer (global coordinates).
    void Track(const QPoint& globalPos);
    // The month under the pointer, or an invalid date when none is.
    QDate Chosen() const;
    const TMonthListRules& Rules() const { return List; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TMonthListRules List;
    TDateLocale Locale;
    QTimer ScrollTimer;
    int ScrollStep = 0;
};

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
    TBTCalenMonthListBox* MonthListBox() const { return ListBox; }

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
    QPointer<TBTCalenMonthListBox> ListBox;
};
