#pragma once

#include "controls/chart/ChartModel.h"

// Widens a chart's value axis to take a value: the minimum moves down to the negative of the
// value's size rounded to the scale when it lies above the value, the maximum up to the value
// rounded to the scale when it lies below it (to zero when the value is not positive); the step
// between grid lines becomes a tenth of the range. A value that is not a number is ignored.
void FitGraphScaleToValue(IChartAxisScale& chart, double value);
