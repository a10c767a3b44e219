#pragma once

#include "controls/dates/DateEditRules.h"
#include "controls/util/CustomComboEdit.h"

#include <functional>

class TdxDateNavigator;

// The date field: a masked edit whose mask follows the program's short date format, with a
// drop-down arrow that opens the date navigator under it. Dates are platform date-time values;
// NullDate shows the empty mask. F4, Alt+Down and Alt+Up drop the navigator down. Leaving the
// field takes a date the text reads as, and empties a text that is no date; a changed text with a
// field left blank beeps and gets the focus back (given back once the focus change is over).
// One navigator serves every date field; it belongs to the window of the field that last opened it.
class TdxDateEdit : public TCustomComboEdit {
    Q_OBJECT
public:
    explicit TdxDateEdit(QWidget* parent = nullptr);
    ~TdxDateEdit() override;

    double Date() const;
    void SetDate(double date);

    bool FlatPopup() const { return Flat; }
    void SetFlatPopup(bool flat) { Flat = flat; }
    bool SelectPeriod() const { return PeriodMode; }
    void SetSelectPeriod(bool selectPeriod) { PeriodMode = selectPeriod; }
    bool ShowTodayButton() const { return TodayShown; }
    void SetShowTodayButton(bool show) { TodayShown = show; }
    bool ShowClearButton() const { return ClearShown; }
    void SetShowClearButton(bool show) { ClearShown = show; }

    // In period mode a choice goes here (start, finish) instead of changing the date.
    std::function<void(double, double)> OnBeforeDateChange;

    // The date formats; set again when the program's regional settings change.
    const TDateMask& Mask() const { return DateMask; }
    void SetDateLocale(const TDateLocale& locale);

    void DropDown();
    void CloseUp();
    bool DroppedDown() const;

    // The navigator all date fields share (none before the first drop-down).
    static TdxDateNavigator* SharedNavigator();

    // Takes the navigator's choice.
    void ApplyChoice(double selStart, double selFinish);

signals:
    void dateChanged();

protected:
    void ButtonClick() override;
    bool PopupVisible() const override { return DroppedDown(); }

    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    TDateMask DateMask;
    bool Flat = true;
    bool PeriodMode = false;
    bool TodayShown = true;
    bool ClearShown = true;
};
