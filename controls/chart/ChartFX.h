#pragma once

#include "controls/chart/ChartModel.h"

#include <QPair>
#include <QWidget>

class QChartView;
class QPainter;

// The chart control of the graphs window: a QChartView showing what its model holds. Callers
// load values, titles and legends through Model(); the view follows on the next turn of the
// event loop (or at once through Refresh()). Gallery types map to the nearest QtCharts series
// (Pareto and Cube as bars, HiLow and Surface as lines, Polar on a polar chart, Doughnut as a pie
// with a hole); constant lines are extra horizontal line series named by their legends.
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

signals:
    // A point (a bar, a marker, a slice) clicked with the left button.
    void PointClicked(int serie, int point);
    void LButtonDblClk(int x, int y, int serie, int point);
    void RButtonDown(int x, int y, int serie, int point);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MarkStale();
    void Build();

    TChartModel ChartModel;
    QChartView* ChartView;
    bool Stale = true;
};
