#pragma once

#include "controls/chart/ChartModel.h"

#include <QString>

class QIODevice;

// The graph file: a value stream that starts with the text "Quilvane graph" and a version
// number, followed by the chart's type, style and background words; the series and point
// counts and a list of the values (series-major); a list of the constant lines; lists of the
// four titles, the point, series and constant-line legends and the four decimals; a list of
// the axis scale settings that were set (index, value); a list of the colour pairs; and a
// list of the ten fonts (font word, colour). The stream ends there.
//
// The readers check every count against its limit and its block, and raise EQuilvaneError
// with a text naming the file: one for a file of another kind, one for a newer version and
// one for a damaged file. Nothing is half-read into a chart: they return a whole content.
void WriteGraphStream(const TChartContent& content, QIODevice& device);
TChartContent ReadGraphStream(QIODevice& device, const QString& name);

// Writes the file through a temporary file renamed over the old one.
void WriteGraphFile(const TChartContent& content, const QString& path);
TChartContent ReadGraphFile(const QString& path);

constexpr int GraphFileVersion = 1;
