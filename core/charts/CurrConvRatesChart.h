#pragma once

#include "core/charts/CurrencyConvRate.h"
#include "core/charts/MasterChart.h"

#include <memory>

// The currency conversion rates of a client file's year (kind 4, "<code><yy>.CCR" in M_DETAIL,
// header "Currency Rates", "V5.0"). Every currency of the program's currency list is there with
// its listed rate unless the year's file holds a rate of its own, which wins.
class TCurrConvRatesChart : public TMasterChart {
public:
    // Loads at once when the options hold 7 and neither 9 nor 13.
    TCurrConvRatesChart(const TChartEntity& entity, const TOptionSet& options, int year);

    TCurrencyConvRate* GetConvRate(int index) const;

    // Adds every currency of the program's currency list that the chart lacks, with its
    // description, symbol (the row's number taken as a character code; a blank when it is none)
    // and rate. Nothing without program settings.
    void AddListedCurrencies();

    // Empties the chart unless the options hold 27 or 28, adds the listed currencies, then
    // merges the year's file over them (the caller's options with 28: stored rates replace the
    // listed ones). The chart is then modified when it holds anything.
    int LoadFromFile(const TOptionSet& options, IProgress* progress = nullptr) override;

protected:
    void WriteItems(QIODevice& stream, TValueWriter& writer, IProgress* progress) override;
    void ReadItems(QIODevice& stream, TValueReader& reader, IProgress* progress,
                   const TOptionSet& options) override;
    void MergeItem(TMasterChartItem& held, const TMasterChartItem& read) override;
};
