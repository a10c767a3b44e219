#pragma once

#include "controls/chart/ChartModel.h"

#include <QPair>
#include <QWidget>

#include <functional>
#include <optional>

class QChartView;
class QPainter;

// The chart control of the graphs window: a QChartView showing what its model holds. Callers
// load values, titles, legends and settings through Model(); the view follows on the next turn
// of the event loop (or at once through Refresh()). Gallery types map to the nearest QtCharts
// series (Pareto and Cube as bars, HiLow and Surface as lines, Polar on a polar chart, Doughnut
// as a pie with a hole); constant lines are extra horizontal line series named by their legends.
//
// Drawn from the settings: the gaps as the chart's margins, the grid bits as the axes' grid
// lines, the 2-D background as the plot area's, the horizontal-band colour as shades between the
// value axis's grid lines, the marker size and point type on marks, scatter and line points, the
// marker volume as the share of a point's width its bars take, stacking of bars and areas, the
// scheme as fill patterns, the border style as the frame, and the left, top, bottom, axis-label
// and legend fonts. The 3-D settings, the engine's tool, palette and pattern bars and its own
// settings are kept and stored only.
//
// The user's actions come out as signals. A double click and a right-button press on a point
// carry a result: a handler that sets it to anything but 0 keeps the chart's own response
// (DblClkDlg / RigClkDlg: the value in a balloon, a dialog that edits it, or nothing). A value
// edited in the dialog is changed and then reported by ChangeValue; a handler that sets that
// result puts the old value back.
class TChartFX : public QWidget {
    Q_OBJECT

public:
    explicit TChartFX(QWidget* parent = nullptr);

    TChartModel& Model() { return ChartModel; }
    const TChartModel& Model() const { return ChartModel; }
    QChartView* View() const { return ChartView; }

    // Builds the chart from the model now when it changed since the last build.
    void Refresh();

    // Draws the chart into the target area of a painter (a printer's page, an image).
    void PaintToDC(QPainter& painter, const QRectF& target);

    // The series and point shown under a position of the view's viewport; -1 for either when
    // there is none there.
    QPair<int, int> PointAt(const QPoint& position);

    // The balloon's text for a point: the series legend (or "Series n"), the point legend (or
    // its number) and the value with the chart's decimals.
    QString PointText(int serie, int point) const;

    // Asks for a point's new value (the value dialog); nothing when the user cancelled. Tests
    // replace it.
    std::function<std::optional<double>(const QString& pointText, double value, int decimals)> AskValue;

signals:
    // A point (a bar, a marker, a slice) clicked with the left button.
    void PointClicked(int serie, int point);
    void LButtonDblClk(int x, int y, int serie, int point, int& nRes);
    void RButtonDown(int x, int y, int serie, int point, int& nRes);
    void ChangeValue(double value, int serie, int point, int& nRes);
    void LButtonDown(int x, int y);
    void LButtonUp(int x, int y);
    void RButtonUp(int x, int y);
    void RButtonDblClk(int x, int y);
    void MouseMove(int x, int y);
    void GotFocus();
    void LostFocus();
    // A graph file was read into the chart.
    void ReadFile();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MarkStale();
    void Build();
    // The chart's own response to a click on a point, in the given mode.
    void Respond(TChartDialogMode mode, int serie, int point, const QPoint& globalPosition);

    TChartModel ChartModel;
    QChartView* ChartView;
    bool Stale = true;
};
