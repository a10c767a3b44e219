#pragma once

#include "controls/chart/ChartModel.h"

#include <QString>

class QIODevice;

// The graph file: a value stream that starts with the text "Quilvane graph" and a version
// number, followed by the chart's type, style and background words; the series and point
// counts and a list of the values (series-major); a list of the constant lines; lists of the
// four titles, the point, series and constant-line legends and the four decimals; a list of
// the axis scale settings that were set (index, value); a list of the colour pairs; and a
// list of the ten fonts (font word, colour). Version 2 goes on with the chart's settings
// (TChartSettings): a list of the single settings - the four gaps, the horizontal-band, 2-D and
// 3-D background colours, the 3-D depth and light, the wall width, the fixed and vertical-grid
// gaps, marker size, marker volume, shape, grid, point type, scheme, stacking, the gallery and
// custom tool-bar buttons, the double-click and right-click modes, the border style, the flag
// words 47 and 69 and the two words of setting 0E -; a list of the per-series settings (55, 56,
// 6C, 68 for each series); and a list of the indexed settings that are not 0 (index, value).
// The stream ends there. A file of version 1 reads with the settings of a new chart.
//
// The readers check every count against its limit and its block, and raise EQuilvaneError
// with a text naming the file: one for a file of another kind, one for a newer version and
// one for a damaged file. Nothing is half-read into a chart: they return a whole content.
void WriteGraphStream(const TChartContent& content, QIODevice& device);
TChartContent ReadGraphStream(QIODevice& device, const QString& name);

// Writes the file through a temporary file renamed over the old one.
void WriteGraphFile(const TChartContent& content, const QString& path);
TChartContent ReadGraphFile(const QString& path);

constexpr int GraphFileVersion = 2;
