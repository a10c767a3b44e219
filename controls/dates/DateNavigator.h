#pragma once

#include "controls/dates/CalendarModel.h"
#include "controls/dates/CalendarPainter.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

class TdxDateEdit;

// The list of seven months a calendar caption opens. It never takes the mouse itself: the calendar
// that opened it keeps the pointer and hands it every move; a pointer above or below the list
// scrolls it by a timer, faster the further away.
class TdxCalenMonthListBox : public QWidget {
    Q_OBJECT
public:
    TdxCalenMonthListBox(QWidget* calendar, const QDate& shownMonth, const TCalendarMetrics& metrics,
                         const TDateLocale& locale);

    // Shows the list centred over a caption (global coordinates).
    void ShowOver(const QRect& globalCaption);
    // Follows the pointer (global coordinates).
    void Track(const QPoint& globalPos);
    // The month under the pointer, or an invalid date when none is.
    QDate Chosen() const;
    const TMonthListRules& Rules() const { return List; }
    const QTimer& ScrollTimer() const { return Timer; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Tick();

    TMonthListRules List;
    TDateLocale Locale;
    QTimer Timer;
    int Step = 0;
};

// The one-month calendar that drops down under a date editor: arrows and a month caption on top,
// the day letters, six rows of days and optionally Today and Clear buttons. It is a pop-up: a
// press outside closes it (a press on the editor's own arrow only closes it) and keys go to it
// while it is open. Choosing a day, Today or Clear hands the selection to the editor that opened
// it.
class TdxDateNavigator : public QWidget, public TCustomdxCalendar {
    Q_OBJECT
public:
    explicit TdxDateNavigator(QWidget* parent = nullptr);
    ~TdxDateNavigator() override;

    // The editor that opened it; the choice goes there.
    TdxDateEdit* Owner() const;
    void SetOwner(TdxDateEdit* owner);

    void SetDateLocale(const TDateLocale& locale);
    const TDateLocale& DateLocale() const { return Locale; }

    bool ShowTodayButton() const { return TodayShown; }
    bool ShowClearButton() const { return ClearShown; }
    void SetButtons(bool showToday, bool showClear);
    void SetFlat(bool flat);

    // Recomputes the metrics from the font and resizes the window.
    void UpdateLayout();
    // The button strip in client coordinates.
    TButtonStrip Buttons() const;
    // Client coordinates of a point of the window.
    QPoint ToClient(const QPoint& pos) const;
    QPoint FromClient(const QPoint& pos) const;

    // Closes the pop-up without a choice.
    void CloseUp();

    TdxCalenMonthListBox* MonthList() const { return List.data(); }
    const QTimer& ArrowTimer() const { return Arrow; }

signals:
    // The user completed a choice (a release inside on a day, Today, Clear or Enter).
    void SelectionChanged();

protected:
    void Changed() override { update(); }
    int ExtraHeight() const override;

    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void Choose();
    void EndTracking();
    void ArrowTick();
    void CloseMonthList(bool apply);

    QPointer<TdxDateEdit> OwnerEdit;
    TDateLocale Locale;
    bool TodayShown = true;
    bool ClearShown = false;
    QTimer Arrow;
    int ArrowStep = 0; // -1 left, +1 right while an arrow repeats
    QPointer<TdxCalenMonthListBox> List;
    enum class TButton { None, Today, Clear } PressedButton = TButton::None;
    bool ButtonPushed = false;
};
