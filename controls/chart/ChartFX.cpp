#include "controls/chart/ChartFX.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QPieSeries>
#include <QPolarChart>
#include <QScatterSeries>
#include <QSplineSeries>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

enum class TDrawnAs { Line, Spline, Scatter, Area, Bar, Pie };

TDrawnAs DrawnAs(int gallery) {
    switch (static_cast<TChartGallery>(gallery)) {
    case TChartGallery::Bar:
    case TChartGallery::Pareto:
    case TChartGallery::Cube:
        return TDrawnAs::Bar;
    case TChartGallery::Spline:
        return TDrawnAs::Spline;
    case TChartGallery::Mark:
    case TChartGallery::Scatter:
        return TDrawnAs::Scatter;
    case TChartGallery::Area:
        return TDrawnAs::Area;
    case TChartGallery::Pie:
    case TChartGallery::Doughnut:
        return TDrawnAs::Pie;
    default:
        return TDrawnAs::Line;
    }
}

// The width QtCharts gives a category's bars together, as a share of the category.
constexpr double BarGroupWidth = 0.5;

std::optional<QColor> ShownColour(std::uint32_t colour) {
    if (colour == DefaultChartColour)
        return std::nullopt;
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

QFont ShownFont(std::uint32_t word, const QFont& base) {
    const TChartFont chartFont = DecodeFontWord(word);
    QFont font(base);
    font.setFamily(chartFont.Face);
    font.setPointSize(chartFont.PointSize);
    font.setBold(chartFont.Bold);
    font.setItalic(chartFont.Italic);
    font.setUnderline(chartFont.Underline);
    font.setStrikeOut(chartFont.StrikeOut);
    return font;
}

QString SeriesName(const TChartContent& content, int serie) {
    return serie < content.SeriesLegends.size() ? content.SeriesLegends[serie] : QString();
}

QStringList Categories(const TChartContent& content) {
    QStringList categories;
    for (int point = 0; point < content.Points; ++point)
        categories.append(point < content.PointLegends.size() && !content.PointLegends[point].isEmpty()
                              ? content.PointLegends[point]
                              : QString::number(point + 1));
    return categories;
}

double ValueAt(const TChartContent& content, int serie, int point) {
    return content.Values[static_cast<qsizetype>(serie) * content.Points + point];
}

// The colour of a series, or with EachBar of one of its points.
std::optional<QColor> ItemColour(const TChartContent& content, int serie, int point) {
    const qsizetype index = (content.Type & ChartTypeBit::EachBar) != 0
                                ? static_cast<qsizetype>(point) * content.Series + serie
                                : serie;
    return index < content.Colours.size() ? ShownColour(content.Colours[index].Fore) : std::nullopt;
}

QXYSeries* NewXYSeries(TDrawnAs drawn) {
    switch (drawn) {
    case TDrawnAs::Spline:
        return new QSplineSeries;
    case TDrawnAs::Scatter:
        return new QScatterSeries;
    default:
        return new QLineSeries;
    }
}

} // namespace

TChartFX::TChartFX(QWidget* parent) : QWidget(parent), ChartView(new QChartView(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ChartView);
    ChartView->setRenderHint(QPainter::Antialiasing);
    ChartView->viewport()->installEventFilter(this);
    ChartModel.OnChanged = [this] { MarkStale(); };
    Build();
}

void TChartFX::MarkStale() {
    if (Stale)
        return;
    Stale = true;
    QTimer::singleShot(0, this, &TChartFX::Refresh);
}

void TChartFX::Refresh() {
    if (Stale)
        Build();
}

void TChartFX::Build() {
    Stale = false;
    const TChartContent& content = ChartModel.Shown();
    const TDrawnAs drawn = DrawnAs(ChartModel.ChartType());
    const bool polar = ChartModel.ChartType() == static_cast<int>(TChartGallery::Polar);
    QChart* chart = polar ? new QPolarChart : new QChart;
    chart->setTitle(content.Titles[2]);
    if (content.FontWords[2] != 0)
        chart->setTitleFont(ShownFont(content.FontWords[2], chart->titleFont()));
    if (const auto colour = ShownColour(content.FontColours[2]); colour && content.FontWords[2] != 0)
        chart->setTitleBrush(*colour);
    if (const auto colour = ShownColour(content.Background))
        chart->setBackgroundBrush(*colour);
    chart->legend()->setVisible((content.Type & (ChartTypeBit::Legend | ChartTypeBit::SeriesLegend)) != 0);

    if (drawn == TDrawnAs::Pie) {
        const bool doughnut = ChartModel.ChartType() == static_cast<int>(TChartGallery::Doughnut);
        const QStringList categories = Categories(content);
        for (int serie = 0; serie < content.Series; ++serie) {
            auto* pie = new QPieSeries;
            pie->setName(SeriesName(content, serie));
            pie->setPieSize(std::min(0.9, 0.9 / content.Series * 1.6));
            pie->setHorizontalPosition((serie + 0.5) / content.Series);
            if (doughnut)
                pie->setHoleSize(pie->pieSize() * 0.4);
            for (int point = 0; point < content.Points; ++point) {
                QPieSlice* slice = pie->append(categories[point], std::fabs(ValueAt(content, serie, point)));
                if (const auto colour = ItemColour(content, serie, point))
                    slice->setColor(*colour);
            }
            connect(pie, &QPieSeries::clicked, this, [this, serie, pie](QPieSlice* slice) {
                emit PointClicked(serie, pie->slices().indexOf(slice));
            });
            chart->addSeries(pie);
        }
    } else {
        auto* valueAxis = new QValueAxis;
        const double minimum = ChartModel.GetAxisScale(0);
        const double maximum = ChartModel.GetAxisScale(1);
        const double step = ChartModel.GetAxisScale(2);
        valueAxis->setRange(minimum, maximum);
        if (step > 0.0 && (maximum - minimum) / step <= 1000.0) {
            valueAxis->setTickType(QValueAxis::TicksDynamic);
            valueAxis->setTickInterval(step);
            valueAxis->setTickAnchor(minimum);
        }
        valueAxis->setLabelFormat(QStringLiteral("%.%1f").arg(content.Decimals[0]));
        valueAxis->setTitleText(content.Titles[0]);
        QAbstractAxis* pointAxis = nullptr;
        if (polar) {
            auto* angular = new QValueAxis;
            angular->setRange(0, std::max(content.Points, 1));
            angular->setTickCount(std::max(content.Points, 1) + 1);
            angular->setLabelFormat(QStringLiteral("%d"));
            pointAxis = angular;
            static_cast<QPolarChart*>(chart)->addAxis(angular, QPolarChart::PolarOrientationAngular);
            static_cast<QPolarChart*>(chart)->addAxis(valueAxis, QPolarChart::PolarOrientationRadial);
        } else {
            auto* categoryAxis = new QBarCategoryAxis;
            categoryAxis->append(Categories(content));
            pointAxis = categoryAxis;
            chart->addAxis(categoryAxis, Qt::AlignBottom);
            chart->addAxis(valueAxis, Qt::AlignLeft);
        }
        pointAxis->setTitleText(content.Titles[3]);
        const auto attach = [&](QAbstractSeries* series) {
            chart->addSeries(series);
            series->attachAxis(pointAxis);
            series->attachAxis(valueAxis);
        };
        if (drawn == TDrawnAs::Bar) {
            auto* bars = new QBarSeries;
            bars->setBarWidth(BarGroupWidth);
            for (int serie = 0; serie < content.Series; ++serie) {
                auto* set = new QBarSet(SeriesName(content, serie));
                for (int point = 0; point < content.Points; ++point)
                    set->append(ValueAt(content, serie, point));
                if (const auto colour = ItemColour(content, serie, 0))
                    set->setColor(*colour);
                bars->append(set);
            }
            connect(bars, &QBarSeries::clicked, this, [this, bars](int point, QBarSet* set) {
                emit PointClicked(bars->barSets().indexOf(set), point);
            });
            attach(bars);
        } else {
            for (int serie = 0; serie < content.Series; ++serie) {
                QXYSeries* line = NewXYSeries(drawn);
                for (int point = 0; point < content.Points; ++point)
                    line->append(point, ValueAt(content, serie, point));
                line->setName(SeriesName(content, serie));
                if (const auto colour = ItemColour(content, serie, 0))
                    line->setColor(*colour);
                connect(line, &QXYSeries::clicked, this,
                        [this, serie](const QPointF& at) { emit PointClicked(serie, qRound(at.x())); });
                if (drawn == TDrawnAs::Area) {
                    auto* area = new QAreaSeries(line);
                    area->setName(line->name());
                    if (const auto colour = ItemColour(content, serie, 0))
                        area->setColor(*colour);
                    attach(area);
                } else {
                    attach(line);
                }
            }
        }
        for (int index = 0; index < content.ConstantValues.size(); ++index) {
            auto* constant = new QLineSeries;
            const double value = content.ConstantValues[index];
            const double from = polar ? 0.0 : -0.5;
            const double to = polar ? std::max(content.Points, 1) : content.Points - 0.5;
            constant->append(from, value);
            constant->append(to, value);
            constant->setName(index < content.ConstantLegends.size() ? content.ConstantLegends[index]
                                                                     : QString());
            QPen pen = constant->pen();
            pen.setStyle(Qt::DashLine);
            constant->setPen(pen);
            attach(constant);
        }
    }
    QChart* old = ChartView->chart();
    ChartView->setChart(chart);
    delete old;
}

void TChartFX::PaintToDC(QPainter& painter, const QRectF& target) {
    Refresh();
    ChartView->render(&painter, target);
}

QPair<int, int> TChartFX::PointAt(const QPoint& position) {
    Refresh();
    const TChartContent& content = ChartModel.Shown();
    QChart* chart = ChartView->chart();
    const QList<QAbstractSeries*> series = chart->series();
    const TDrawnAs drawn = DrawnAs(ChartModel.ChartType());
    if (drawn == TDrawnAs::Pie || series.isEmpty() || content.Series == 0 || content.Points == 0)
        return {-1, -1};
    const QPointF value =
        chart->mapToValue(chart->mapFromScene(ChartView->mapToScene(position)), series.first());
    const int point = qRound(value.x());
    if (point < 0 || point >= content.Points ||
        !chart->plotArea().contains(chart->mapFromScene(ChartView->mapToScene(position))))
        return {-1, -1};
    if (drawn == TDrawnAs::Bar) {
        const double offset = value.x() - point + BarGroupWidth / 2;
        const int serie = static_cast<int>(std::floor(offset / (BarGroupWidth / content.Series)));
        return {serie >= 0 && serie < content.Series ? serie : -1, point};
    }
    int nearest = 0;
    for (int serie = 1; serie < content.Series; ++serie)
        if (std::fabs(ValueAt(content, serie, point) - value.y()) <
            std::fabs(ValueAt(content, nearest, point) - value.y()))
            nearest = serie;
    return {nearest, point};
}

bool TChartFX::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ChartView->viewport() &&
        (event->type() == QEvent::MouseButtonDblClick || event->type() == QEvent::MouseButtonPress)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint position = mouse->position().toPoint();
        if (event->type() == QEvent::MouseButtonDblClick && mouse->button() == Qt::LeftButton) {
            const auto [serie, point] = PointAt(position);
            emit LButtonDblClk(position.x(), position.y(), serie, point);
        } else if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::RightButton) {
            const auto [serie, point] = PointAt(position);
            emit RButtonDown(position.x(), position.y(), serie, point);
        }
    }
    return QWidget::eventFilter(watched, event);
}
