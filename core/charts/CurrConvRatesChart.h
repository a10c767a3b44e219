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
    TCurrConvRatesChart(const TChartEntity& Entity, const TOptionSet& Options, int Year);

    TCurrencyConvRate* GetConvRate(int Index) const;

    // Adds every currency of the program's currency list that the chart lacks, with its
    // description, symbol (the row's number taken as a character code; a blank when it is none)
    // and rate. Nothing without program settings.
    void AddListedCurrencies();

    // Empties the chart unless the options hold 27 or 28, adds the listed currencies, then
    // merges the year's file over them (the caller's options with 28: stored rates replace the
    // listed ones). The chart is then modified when it holds anything.
    int LoadFromFile(const TOptionSet& Options, IProgress* Progress = nullptr) override;

protected:
    void WriteItems(QIODevice& Stream, TValueWriter& Writer, IProgress* Progress) override;
    void ReadItems(QIODevice& Stream, TValueReader& Reader, IProgress* Progress,
                   const TOptionSet& Options) override;
    void MergeItem(TMasterChartItem& Held, const TMasterChartItem& Read) override;
};
