#include "controls/chart/ChartFX.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFocusEvent>
#include <QImage>
#include <QInputDialog>
#include <QLegend>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QPercentBarSeries>
#include <QPieSeries>
#include <QPolarChart>
#include <QScatterSeries>
#include <QSplineSeries>
#include <QStackedBarSeries>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <numbers>

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

// The fill patterns of the pattern schemes, one a series (a point on pies), in turn.
const Qt::BrushStyle SchemePatterns[] = {Qt::BDiagPattern,  Qt::FDiagPattern, Qt::DiagCrossPattern,
                                         Qt::CrossPattern,  Qt::HorPattern,   Qt::VerPattern,
                                         Qt::Dense5Pattern, Qt::Dense3Pattern};
constexpr int SchemePatternCount = static_cast<int>(sizeof(SchemePatterns) / sizeof(SchemePatterns[0]));

// The marker shapes that point type "many" gives the series in turn.
const QScatterSeries::MarkerShape ManyShapes[] = {
    QScatterSeries::MarkerShapeRectangle, QScatterSeries::MarkerShapeCircle,
    QScatterSeries::MarkerShapeTriangle,  QScatterSeries::MarkerShapeRotatedRectangle,
    QScatterSeries::MarkerShapeStar,      QScatterSeries::MarkerShapePentagon};
constexpr int ManyShapeCount = static_cast<int>(sizeof(ManyShapes) / sizeof(ManyShapes[0]));

constexpr double PercentTotal = 100.0;

QScatterSeries::MarkerShape MarkerShape(TChartPointType type, int serie) {
    switch (type) {
    case TChartPointType::Rectangle:
    case TChartPointType::Cube:
        return QScatterSeries::MarkerShapeRectangle;
    case TChartPointType::Triangle:
        return QScatterSeries::MarkerShapeTriangle;
    case TChartPointType::Many:
        return ManyShapes[serie % ManyShapeCount];
    default:
        return QScatterSeries::MarkerShapeCircle;
    }
}

// A polygon of `corners` points (every other one pulled in to `inner` of the radius for a
// star) around the centre of a square of the given size.
QPolygonF Polygon(int corners, double size, double inner = 1.0) {
    QPolygonF polygon;
    const double radius = size / 2.0;
    for (int i = 0; i < corners; ++i) {
        const double angle = -std::numbers::pi / 2.0 + 2.0 * std::numbers::pi * i / corners;
        const double reach = (i % 2 == 1) ? radius * inner : radius;
        polygon << QPointF(radius + reach * std::cos(angle), radius + reach * std::sin(angle));
    }
    return polygon;
}

// The picture drawn at each point of a line series that shows its points.
QImage MarkerImage(QScatterSeries::MarkerShape shape, int size, const QColor& colour) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    switch (shape) {
    case QScatterSeries::MarkerShapeRectangle:
        painter.drawRect(QRectF(0, 0, size, size));
        break;
    case QScatterSeries::MarkerShapeRotatedRectangle:
        painter.drawPolygon(Polygon(4, size));
        break;
    case QScatterSeries::MarkerShapeTriangle:
        painter.drawPolygon(Polygon(3, size));
        break;
    case QScatterSeries::MarkerShapeStar:
        painter.drawPolygon(Polygon(10, size, 0.45));
        break;
    case QScatterSeries::MarkerShapePentagon:
        painter.drawPolygon(Polygon(5, size));
        break;
    default:
        painter.drawEllipse(QRectF(0, 0, size, size));
        break;
    }
    return image;
}

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
    if (chartFont.PointSize > 0)
        font.setPointSize(chartFont.PointSize);
    font.setBold(chartFont.Bold);
    font.setItalic(chartFont.Italic);
    font.setUnderline(chartFont.Underline);
    font.setStrikeOut(chartFont.StrikeOut);
    return font;
}

// Applies the font of a text element when it has one (a font word of 0 keeps the chart's own):
// `apply` takes the font word and the colour, which is nothing for the chart's own colour.
template <typename TApply>
void ApplyFont(const TChartContent& content, TChartFontElement element, TApply apply) {
    const auto index = static_cast<std::size_t>(element);
    if (content.FontWords[index] != 0)
        apply(content.FontWords[index], ShownColour(content.FontColours[index]));
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

// Where each value's bar or area ends and begins on the value axis, series-major like the
// values: side by side each runs from 0 to its value; stacked, positive values pile up from 0
// and negative ones down from 0 in series order; stacked to 100% the same with each value as its
// share of the sizes of the point's values.
struct TStackedSpan {
    double From = 0.0;
    double To = 0.0;
};

QList<TStackedSpan> Spans(const TChartContent& content, TChartStacked stacked) {
    QList<TStackedSpan> spans(content.Values.size());
    for (int point = 0; point < content.Points; ++point) {
        double total = 0.0;
        for (int serie = 0; serie < content.Series; ++serie)
            total += std::fabs(ValueAt(content, serie, point));
        double above = 0.0;
        double below = 0.0;
        for (int serie = 0; serie < content.Series; ++serie) {
            double value = ValueAt(content, serie, point);
            TStackedSpan& span = spans[static_cast<qsizetype>(serie) * content.Points + point];
            if (stacked == TChartStacked::None) {
                span = {0.0, value};
                continue;
            }
            if (stacked == TChartStacked::Full)
                value = total > 0.0 ? value / total * PercentTotal : 0.0;
            double& pile = value < 0.0 ? below : above;
            span = {pile, pile + value};
            pile += value;
        }
    }
    return spans;
}

// The colour of a series, or with EachBar of one of its points.
std::optional<QColor> ItemColour(const TChartContent& content, int serie, int point) {
    const qsizetype index = (content.Type & ChartTypeBit::EachBar) != 0
                                ? static_cast<qsizetype>(point) * content.Series + serie
                                : serie;
    return index < content.Colours.size() ? ShownColour(content.Colours[index].Fore) : std::nullopt;
}

// The brush of a filled item under the chart's scheme: its colour solid, a black pattern, or a
// pattern of its colour; the pattern chosen by `turn`.
QBrush SchemeBrush(TChartScheme scheme, const QColor& colour, int turn) {
    switch (scheme) {
    case TChartScheme::BWPattern:
        return QBrush(Qt::black, SchemePatterns[turn % SchemePatternCount]);
    case TChartScheme::Pattern:
        return QBrush(colour, SchemePatterns[turn % SchemePatternCount]);
    default:
        return QBrush(colour);
    }
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

double BarShare(const TChartSettings& settings) {
    return settings.MarkerVolume / 100.0;
}

} // namespace

TChartFX::TChartFX(QWidget* parent) : QWidget(parent), ChartView(new QChartView(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ChartView);
    ChartView->setRenderHint(QPainter::Antialiasing);
    ChartView->setMouseTracking(true);
    ChartView->viewport()->setMouseTracking(true);
    ChartView->viewport()->installEventFilter(this);
    ChartView->installEventFilter(this);
    setFocusProxy(ChartView);
    ChartModel.OnChanged = [this] { MarkStale(); };
    ChartModel.OnReadFile = [this] { emit ReadFile(); };
    AskValue = [this](const QString& pointText, double value, int decimals) -> std::optional<double> {
        bool accepted = false;
        const double edited = QInputDialog::getDouble(this, QStringLiteral("Value"), pointText, value,
                                                      -DBL_MAX, DBL_MAX, decimals, &accepted);
        return accepted ? std::optional<double>(edited) : std::nullopt;
    };
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
    const TChartSettings& settings = content.Settings;
    const TDrawnAs drawn = DrawnAs(ChartModel.ChartType());
    const bool polar = ChartModel.ChartType() == static_cast<int>(TChartGallery::Polar);
    const TChartStacked stacked = ChartModel.StackedAsShown();
    QChart* chart = polar ? new QPolarChart : new QChart;
    chart->setMargins(QMargins(settings.Gaps[0], settings.Gaps[2], settings.Gaps[1], settings.Gaps[3]));
    chart->setTitle(content.Titles[2]);
    ApplyFont(content, TChartFontElement::Top, [&](std::uint32_t word, const std::optional<QColor>& colour) {
        chart->setTitleFont(ShownFont(word, chart->titleFont()));
        if (colour)
            chart->setTitleBrush(*colour);
    });
    if (const auto colour = ShownColour(content.Background))
        chart->setBackgroundBrush(*colour);
    if (const auto colour = ShownColour(settings.RGB2DBk)) {
        chart->setPlotAreaBackgroundBrush(*colour);
        chart->setPlotAreaBackgroundVisible(true);
    }
    chart->legend()->setVisible((content.Type & (ChartTypeBit::Legend | ChartTypeBit::SeriesLegend)) != 0);
    ApplyFont(content, TChartFontElement::Legend,
              [&](std::uint32_t word, const std::optional<QColor>& colour) {
                  chart->legend()->setFont(ShownFont(word, chart->legend()->font()));
                  if (colour)
                      chart->legend()->setLabelColor(*colour);
              });
    ChartView->setFrameShape(settings.BorderStyle == TChartBorderStyle::Single ? QFrame::Box
                                                                               : QFrame::NoFrame);

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
            for (int point = 0; point < content.Points; ++point)
                pie->append(categories[point], std::fabs(ValueAt(content, serie, point)));
            connect(pie, &QPieSeries::clicked, this, [this, serie, pie](QPieSlice* slice) {
                emit PointClicked(serie, pie->slices().indexOf(slice));
            });
            chart->addSeries(pie);
            // The theme colours the slices as they are added; the chart's own colours go over them.
            for (int point = 0; point < content.Points; ++point) {
                QPieSlice* slice = pie->slices()[point];
                const QColor colour = ItemColour(content, serie, point).value_or(slice->color());
                slice->setBrush(SchemeBrush(settings.Scheme, colour, point));
                if (settings.Scheme != TChartScheme::Solid)
                    slice->setBorderColor(settings.Scheme == TChartScheme::BWPattern ? QColor(Qt::black)
                                                                                     : colour);
            }
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
        valueAxis->setGridLineVisible((settings.Grid & ChartGridBit::Horizontal) != 0);
        if (const auto colour = ShownColour(settings.RGBBarHorz)) {
            valueAxis->setShadesVisible(true);
            valueAxis->setShadesPen(Qt::NoPen);
            valueAxis->setShadesBrush(*colour);
        }
        ApplyFont(content, TChartFontElement::Left,
                  [&](std::uint32_t word, const std::optional<QColor>& colour) {
                      valueAxis->setTitleFont(ShownFont(word, valueAxis->titleFont()));
                      if (colour)
                          valueAxis->setTitleBrush(*colour);
                  });
        ApplyFont(content, TChartFontElement::YLeg,
                  [&](std::uint32_t word, const std::optional<QColor>& colour) {
                      valueAxis->setLabelsFont(ShownFont(word, valueAxis->labelsFont()));
                      if (colour)
                          valueAxis->setLabelsColor(*colour);
                  });
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
        pointAxis->setGridLineVisible((settings.Grid & ChartGridBit::Vertical) != 0);
        ApplyFont(content, TChartFontElement::Bottom,
                  [&](std::uint32_t word, const std::optional<QColor>& colour) {
                      pointAxis->setTitleFont(ShownFont(word, pointAxis->titleFont()));
                      if (colour)
                          pointAxis->setTitleBrush(*colour);
                  });
        ApplyFont(content, TChartFontElement::XLeg,
                  [&](std::uint32_t word, const std::optional<QColor>& colour) {
                      pointAxis->setLabelsFont(ShownFont(word, pointAxis->labelsFont()));
                      if (colour)
                          pointAxis->setLabelsColor(*colour);
                  });
        const auto attach = [&](QAbstractSeries* series) {
            chart->addSeries(series);
            series->attachAxis(pointAxis);
            series->attachAxis(valueAxis);
        };
        if (drawn == TDrawnAs::Bar) {
            QAbstractBarSeries* bars = nullptr;
            switch (stacked) {
            case TChartStacked::Normal:
                bars = new QStackedBarSeries;
                break;
            case TChartStacked::Full:
                bars = new QPercentBarSeries;
                break;
            case TChartStacked::None:
                bars = new QBarSeries;
                break;
            }
            bars->setBarWidth(BarShare(settings));
            for (int serie = 0; serie < content.Series; ++serie) {
                auto* set = new QBarSet(SeriesName(content, serie));
                for (int point = 0; point < content.Points; ++point)
                    set->append(ValueAt(content, serie, point));
                bars->append(set);
            }
            connect(bars, &QAbstractBarSeries::clicked, this, [this, bars](int point, QBarSet* set) {
                emit PointClicked(bars->barSets().indexOf(set), point);
            });
            attach(bars);
            for (int serie = 0; serie < content.Series; ++serie) {
                QBarSet* set = bars->barSets()[serie];
                const QColor colour = ItemColour(content, serie, 0).value_or(set->color());
                set->setBrush(SchemeBrush(settings.Scheme, colour, serie));
                if (settings.Scheme != TChartScheme::Solid)
                    set->setBorderColor(settings.Scheme == TChartScheme::BWPattern ? QColor(Qt::black)
                                                                                   : colour);
            }
        } else {
            const QList<TStackedSpan> spans = Spans(content, stacked);
            for (int serie = 0; serie < content.Series; ++serie) {
                QXYSeries* line = NewXYSeries(drawn);
                for (int point = 0; point < content.Points; ++point)
                    line->append(point, spans[static_cast<qsizetype>(serie) * content.Points + point].To);
                line->setName(SeriesName(content, serie));
                if (const auto colour = ItemColour(content, serie, 0))
                    line->setColor(*colour);
                connect(line, &QXYSeries::clicked, this,
                        [this, serie](const QPointF& at) { emit PointClicked(serie, qRound(at.x())); });
                const QScatterSeries::MarkerShape shape = MarkerShape(settings.PointType, serie);
                if (auto* scatter = qobject_cast<QScatterSeries*>(line)) {
                    scatter->setMarkerShape(shape);
                    scatter->setMarkerSize(settings.MarkerSize);
                }
                if (drawn == TDrawnAs::Area) {
                    // The area owns its edges: the line of its values and, stacked, the line below.
                    auto* area = new QAreaSeries(static_cast<QLineSeries*>(line));
                    line->setParent(area);
                    if (stacked != TChartStacked::None) {
                        auto* lower = new QLineSeries(area);
                        for (int point = 0; point < content.Points; ++point)
                            lower->append(point,
                                          spans[static_cast<qsizetype>(serie) * content.Points + point].From);
                        area->setLowerSeries(lower);
                    }
                    connect(area, &QAreaSeries::clicked, this,
                            [this, serie](const QPointF& at) { emit PointClicked(serie, qRound(at.x())); });
                    area->setName(line->name());
                    attach(area);
                    const QColor colour = ItemColour(content, serie, 0).value_or(area->color());
                    area->setBrush(SchemeBrush(settings.Scheme, colour, serie));
                    if (settings.Scheme != TChartScheme::Solid)
                        area->setBorderColor(settings.Scheme == TChartScheme::BWPattern ? QColor(Qt::black)
                                                                                        : colour);
                } else {
                    attach(line);
                    if (drawn != TDrawnAs::Scatter && settings.PointType != TChartPointType::None) {
                        line->setMarkerSize(settings.MarkerSize);
                        line->setLightMarker(MarkerImage(shape, settings.MarkerSize, line->color()));
                        line->setPointsVisible(true);
                    }
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
    const QPointF inChart = chart->mapFromScene(ChartView->mapToScene(position));
    const QPointF value = chart->mapToValue(inChart, series.first());
    const int point = qRound(value.x());
    if (point < 0 || point >= content.Points || !chart->plotArea().contains(inChart))
        return {-1, -1};
    const TChartStacked stacked = ChartModel.StackedAsShown();
    const double share = BarShare(content.Settings);
    if (drawn == TDrawnAs::Bar && stacked == TChartStacked::None) {
        const double offset = value.x() - point + share / 2;
        const int serie = static_cast<int>(std::floor(offset / (share / content.Series)));
        return {serie >= 0 && serie < content.Series ? serie : -1, point};
    }
    const QList<TStackedSpan> spans = Spans(content, stacked);
    const auto spanOf = [&](int serie) {
        return spans[static_cast<qsizetype>(serie) * content.Points + point];
    };
    if (stacked != TChartStacked::None) {
        if (drawn == TDrawnAs::Bar && std::fabs(value.x() - point) > share / 2)
            return {-1, point};
        for (int serie = 0; serie < content.Series; ++serie) {
            const TStackedSpan span = spanOf(serie);
            if (value.y() >= std::min(span.From, span.To) && value.y() <= std::max(span.From, span.To))
                return {serie, point};
        }
        return {-1, point};
    }
    int nearest = 0;
    for (int serie = 1; serie < content.Series; ++serie)
        if (std::fabs(spanOf(serie).To - value.y()) < std::fabs(spanOf(nearest).To - value.y()))
            nearest = serie;
    return {nearest, point};
}

QString TChartFX::PointText(int serie, int point) const {
    const TChartContent& content = ChartModel.Shown();
    if (serie < 0 || serie >= content.Series || point < 0 || point >= content.Points)
        return QString();
    QString name = SeriesName(content, serie);
    if (name.isEmpty())
        name = QStringLiteral("Series %1").arg(serie + 1);
    return QStringLiteral("%1, %2: %3")
        .arg(name, Categories(content)[point],
             QString::number(ValueAt(content, serie, point), 'f', content.Decimals[0]));
}

void TChartFX::Respond(TChartDialogMode mode, int serie, int point, const QPoint& globalPosition) {
    if (serie < 0 || point < 0 || mode == TChartDialogMode::None)
        return;
    const QString text = PointText(serie, point);
    if (mode == TChartDialogMode::Balloon) {
        QToolTip::showText(globalPosition, text, ChartView->viewport());
        return;
    }
    const TChartContent& content = ChartModel.Shown();
    const double old = ValueAt(content, serie, point);
    const std::optional<double> edited = AskValue ? AskValue(text, old, content.Decimals[0]) : std::nullopt;
    if (!edited || !ChartModel.ChangeValue(serie, point, *edited))
        return;
    int nRes = 0;
    emit ChangeValue(*edited, serie, point, nRes);
    if (nRes != 0)
        ChartModel.ChangeValue(serie, point, old);
}

bool TChartFX::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ChartView) {
        if (event->type() == QEvent::FocusIn)
            emit GotFocus();
        else if (event->type() == QEvent::FocusOut)
            emit LostFocus();
        return QWidget::eventFilter(watched, event);
    }
    if (watched != ChartView->viewport())
        return QWidget::eventFilter(watched, event);
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonDblClick && type != QEvent::MouseButtonPress &&
        type != QEvent::MouseButtonRelease && type != QEvent::MouseMove)
        return QWidget::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint position = mouse->position().toPoint();
    const int x = position.x();
    const int y = position.y();
    const bool left = mouse->button() == Qt::LeftButton;
    const bool right = mouse->button() == Qt::RightButton;
    if (type == QEvent::MouseMove) {
        emit MouseMove(x, y);
    } else if (type == QEvent::MouseButtonDblClick && left) {
        const auto [serie, point] = PointAt(position);
        int nRes = 0;
        emit LButtonDblClk(x, y, serie, point, nRes);
        if (nRes == 0)
            Respond(ChartModel.Shown().Settings.DblClkDlg, serie, point, mouse->globalPosition().toPoint());
    } else if (type == QEvent::MouseButtonDblClick && right) {
        emit RButtonDblClk(x, y);
    } else if (type == QEvent::MouseButtonPress && left) {
        emit LButtonDown(x, y);
    } else if (type == QEvent::MouseButtonPress && right) {
        const auto [serie, point] = PointAt(position);
        int nRes = 0;
        emit RButtonDown(x, y, serie, point, nRes);
        if (nRes == 0)
            Respond(ChartModel.Shown().Settings.RigClkDlg, serie, point, mouse->globalPosition().toPoint());
    } else if (type == QEvent::MouseButtonRelease && left) {
        emit LButtonUp(x, y);
    } else if (type == QEvent::MouseButtonRelease && right) {
        emit RButtonUp(x, y);
    }
    return QWidget::eventFilter(watched, event);
}
