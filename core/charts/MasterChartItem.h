#pragma once

#include <QString>

// One entry of a master chart: an account, a tax code, a standard description, a currency rate
// or the opening position of a bank reconciliation. The chart files each item under its key,
// the code as the user sees it (an account's formatted code, a tax code, an abbreviation).
class TMasterChartItem {
public:
    TMasterChartItem() = default;
    virtual ~TMasterChartItem();

    // The text the chart files the item under.
    virtual QString GetKey() const = 0;

    // Gives the item a new code, given as key text. False, with nothing changed, when the text
    // is no valid code for this kind of item. Only the chart calls this (TMasterChart::ChangeCode),
    // so that the item and its entry in the chart never disagree.
    virtual bool SetKey(const QString& key) = 0;

protected:
    TMasterChartItem(const TMasterChartItem&) = default;
    TMasterChartItem& operator=(const TMasterChartItem&) = default;
};
