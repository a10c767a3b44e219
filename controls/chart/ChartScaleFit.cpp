#include "controls/chart/ChartScaleFit.h"

#include "core/util/Numbers.h"

#include <cmath>

void FitGraphScaleToValue(IChartAxisScale& chart, double value) {
    if (!std::isfinite(value))
        return;
    double minimum = chart.GetAxisScale(0);
    double maximum = chart.GetAxisScale(1);
    if (minimum > value) {
        minimum = -RoundUpToScale(std::fabs(value));
        chart.SetAxisScale(0, minimum);
    }
    if (maximum < value) {
        maximum = value > 0.0 ? RoundUpToScale(value) : 0.0;
        chart.SetAxisScale(1, maximum);
    }
    chart.SetAxisScale(2, (maximum - minimum) / 10.0);
}
