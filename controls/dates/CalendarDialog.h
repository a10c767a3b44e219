#pragma once

#include <QDialog>

class TbtCalendar;

// The borderless calendar window data entry opens beside a date field to pick a day. It speaks date
// numbers: SetDate before showing it, GetDate after an OK result. Enter or a double click is OK and
// Escape is Cancel; the week starts on Monday and selected days are painted on navy.
class TfmCalendar : public QDialog {
    Q_OBJECT
public:
    explicit TfmCalendar(QWidget* parent = nullptr);

    // Opens on dateNum, or on fallbackDateNum when dateNum names no day (-1: no fallback), or
    // else on today.
    void SetDate(double dateNum, double fallbackDateNum);
    // The selected day; today when there is none.
    double GetDate() const;

    TbtCalendar* btcCalendar = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Enter and Escape close the window whichever control has the focus.
    bool PreviewKey(const QKeyEvent* event);
};
