#include "graph/GraphView.h"

#include "graph/GraphTime.h"
#include "widgets/QtText.h"

#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QRubberBand>
#include <QTimer>
#include <QToolTip>
#include <QValueAxis>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace vorelle {

namespace {

constexpr QColor kSeriesColours[kGraphSeries] = {
    QColor(255, 0, 0), QColor(0, 128, 0), QColor(0, 128, 255), QColor(255, 128, 0), QColor(128, 64, 0),
};
constexpr int kLineWidth = 2;
// One wheel notch shows this share of the span.
constexpr double kZoomPerNotch = 0.8;
// The view never gets narrower than this many seconds, nor wider than a
// thousand years.
constexpr double kNarrowestSpan = 10.0;
constexpr double kWidestSpan = 1000.0 * 366.0 * 86400.0;
// A drag shorter than this many pixels is a click.
constexpr int kLeastDrag = 3;
// Room between two labels of the time axis, and above them.
constexpr int kLabelGap = 24;
constexpr int kLabelDrop = 4;
// A reader reads this share of the span in view beyond either side.
constexpr double kReadMargin = 0.1;

// The round number (1, 2 or 5 times a power of ten) nearest above `step`.
double RoundStep(double step)
{
    if (!(step > 0.0) || !std::isfinite(step))
        return 1.0;
    const double power = std::pow(10.0, std::floor(std::log10(step)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= step)
            return factor * power;
    }
    return 10.0 * power;
}

}  // namespace

GraphView::GraphView(QWidget* parent) : QChartView(parent)
{
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral(" "));
    chart->legend()->setAlignment(Qt::AlignTop);
    valueAxis_ = new QValueAxis(chart);
    // Times are labelled by the view itself, as wall-clock texts: a date-time
    // axis would show them in the local time zone.
    timeAxis_ = new QValueAxis(chart);
    timeAxis_->setLabelsVisible(false);
    QMargins margins = chart->margins();
    margins.setBottom(margins.bottom() + QFontMetrics(timeAxis_->labelsFont()).height() + kLabelDrop);
    chart->setMargins(margins);
    chart->addAxis(timeAxis_, Qt::AlignBottom);
    chart->addAxis(valueAxis_, Qt::AlignLeft);
    for (std::size_t i = 0; i < kGraphSeries; ++i) {
        auto* series = new QLineSeries(chart);
        series->setName(QStringLiteral(" "));
        series->setPen(QPen(kSeriesColours[i], kLineWidth));
        chart->addSeries(series);
        series->attachAxis(timeAxis_);
        series->attachAxis(valueAxis_);
        series_[i] = series;
    }
    // The fifth series never gets data; it stays out of the legend until a
    // quantity says otherwise.
    for (QLegendMarker* marker : chart->legend()->markers(series_[kGraphSeries - 1]))
        marker->setVisible(false);
    setChart(chart);
    setRenderHint(QPainter::Antialiasing, false);
    setMouseTracking(true);
    band_ = new QRubberBand(QRubberBand::Rectangle, this);
    // Resizing changes the pixel columns; the new plot area is known once the
    // chart has laid itself out.
    connect(chart, &QChart::plotAreaChanged, this, [this] {
        PlaceTimeLabels();
        if (PlotWidth() != drawnWidth_)
            QTimer::singleShot(0, this, [this] {
                if (PlotWidth() != drawnWidth_)
                    Redraw();
            });
    });
    SetVisible(0.0, 1.0);
}

void GraphView::SetCurveReader(CurveReader reader)
{
    reader_ = std::move(reader);
    read_.reset();
}

void GraphView::Show(GraphData data)
{
    data_ = std::move(data);
    built_ = true;
    read_.reset();
    chart()->setTitle(ToQString(data_.plan.chartTitle));
    for (std::size_t i = 0; i < kGraphSeries; ++i) {
        const SeriesPlan& plan = data_.plan.series[i];
        if (plan.title)
            series_[i]->setName(ToQString(*plan.title));
        if (plan.legend != LegendEntry::Unchanged) {
            for (QLegendMarker* marker : chart()->legend()->markers(series_[i]))
                marker->setVisible(i == 0 || plan.legend == LegendEntry::Shown);
        }
    }
    valueAxis_->setTitleText(ToQString(data_.plan.axisTitle));
    const ValueRange span = DrawableTimeSpan(data_.from, data_.to);
    SetVisible(span.min, span.max);
}

void GraphView::SetVisible(double from, double to)
{
    if (!std::isfinite(from) || !std::isfinite(to) || !(to > from))
        return;
    visible_ = {from, to};
    Redraw();
}

void GraphView::ZoomAround(double x, double factor)
{
    const double span = std::clamp((visible_.max - visible_.min) * factor, kNarrowestSpan, kWidestSpan);
    const double share = (x - visible_.min) / (visible_.max - visible_.min);
    SetVisible(x - share * span, x + (1.0 - share) * span);
}

bool GraphView::ResetZoom()
{
    if (!Zoomed())
        return false;
    const ValueRange span = DrawableTimeSpan(data_.from, data_.to);
    SetVisible(span.min, span.max);
    return true;
}

bool GraphView::Zoomed() const { return DrawableTimeSpan(data_.from, data_.to) != visible_; }

void GraphView::SetReduction(bool on)
{
    reduce_ = on;
    Redraw();
}

int GraphView::PlotWidth() const { return std::max(1, static_cast<int>(std::lround(chart()->plotArea().width()))); }

void GraphView::Redraw()
{
    if (reader_ && built_)
        ReadForView(PlotWidth());
    // A series works out its whole shape again whenever an axis moves: the
    // axes move while the series are empty, and each series then takes its
    // points once.
    for (QLineSeries* series : series_)
        series->clear();
    ScaleValueAxis();
    // The value axis's new labels may move the plot's left edge: the chart
    // is laid out now, so that the curves are reduced once, for the pixel
    // columns they are drawn in.
    chart()->layout()->activate();
    const int width = PlotWidth();
    drawnWidth_ = width;
    LabelTimeAxis(width);
    for (std::size_t i = 0; i < kDataSeries; ++i) {
        const std::vector<ChartPoint>& curve = data_.curves[i];
        if (reduce_)
            ReduceToPixels(curve, visible_.min, visible_.max, width, reduced_);
        else
            reduced_.assign(curve.begin(), curve.end());
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(reduced_.size()));
        for (const ChartPoint& p : reduced_)
            points.append(QPointF(p.x, p.y));
        series_[i]->replace(points);
    }
}

void GraphView::ReadForView(int width)
{
    // A pan within the margins (the span the same but for rounding), or a
    // resize by less than a tenth, keeps the level and the buckets read.
    const double span = visible_.max - visible_.min;
    if (read_ && std::abs(width - read_->width) * 10 < read_->width &&
        std::abs(span - read_->visibleSpan) <= span * 1e-9 && read_->span.min <= visible_.min &&
        visible_.max <= read_->span.max)
        return;
    const double margin = span * kReadMargin;
    read_ = ViewRead{{visible_.min - margin, visible_.max + margin}, span, width};
    reader_(read_->span, static_cast<int>(std::lround(width * (1.0 + 2.0 * kReadMargin))), data_.curves);
}

void GraphView::LabelTimeAxis(int width)
{
    const int labelWidth = QFontMetrics(timeAxis_->labelsFont()).horizontalAdvance(QStringLiteral("0000-00-00 00:00:00"));
    const int room = std::max(1, width / (labelWidth + kLabelGap));
    // Before the first build the chart is blank, without times.
    ticks_ = built_ ? TimeTicks(visible_.min, visible_.max, room) : std::vector<TimeTick>();
    // The grid lines fall on the round times; the labels are the view's own.
    // A longer step is set before the wider range and a shorter one after
    // the narrower range, so that no moment has a year's view with a
    // second's grid.
    const double step = ticks_.size() > 1 ? ticks_[1].seconds - ticks_[0].seconds : visible_.max - visible_.min;
    const bool longerStep = step > timeAxis_->tickInterval();
    timeAxis_->setTickType(QValueAxis::TicksDynamic);
    if (longerStep)
        timeAxis_->setTickInterval(step);
    timeAxis_->setTickAnchor(ticks_.empty() ? visible_.min : ticks_.front().seconds);
    timeAxis_->setRange(visible_.min, visible_.max);
    if (!longerStep)
        timeAxis_->setTickInterval(step);
    while (timeLabels_.size() < ticks_.size()) {
        auto* label = new QGraphicsSimpleTextItem(chart());
        label->setFont(timeAxis_->labelsFont());
        label->setBrush(timeAxis_->labelsBrush());
        timeLabels_.push_back(label);
    }
    for (std::size_t i = 0; i < timeLabels_.size(); ++i) {
        timeLabels_[i]->setVisible(i < ticks_.size());
        if (i < ticks_.size())
            timeLabels_[i]->setText(ToQString(ticks_[i].label));
    }
    PlaceTimeLabels();
}

void GraphView::PlaceTimeLabels()
{
    const QRectF area = chart()->plotArea();
    for (std::size_t i = 0; i < ticks_.size() && i < timeLabels_.size(); ++i) {
        const double x = area.left() + (ticks_[i].seconds - visible_.min) / (visible_.max - visible_.min) * area.width();
        const double width = timeLabels_[i]->boundingRect().width();
        // Labels at the ends stay within the chart.
        const double left = std::clamp(x - width / 2, 0.0, std::max(0.0, chart()->size().width() - width));
        timeLabels_[i]->setPos(left, area.bottom() + kLabelDrop);
    }
}

QStringList GraphView::TimeLabels() const
{
    QStringList labels;
    for (const TimeTick& tick : ticks_)
        labels << ToQString(tick.label);
    return labels;
}

void GraphView::ScaleValueAxis()
{
    if (data_.fixedAxis) {
        // Fixed ends, with ticks on round values from 0 between them.
        const ValueRange range = *data_.fixedAxis;
        valueAxis_->setRange(range.min, range.max);
        valueAxis_->setTickType(QValueAxis::TicksDynamic);
        valueAxis_->setTickAnchor(0.0);
        valueAxis_->setTickInterval(RoundStep((range.max - range.min) / 5.0));
        return;
    }
    valueAxis_->setTickType(QValueAxis::TicksFixed);
    // Automatic: the readings in view, in round numbers.
    std::optional<ValueRange> all;
    for (std::size_t i = 0; i < kDataSeries; ++i) {
        const std::vector<ChartPoint>& curve = data_.curves[i];
        const auto byX = [](const ChartPoint& p, double x) { return p.x < x; };
        const auto begin = std::lower_bound(curve.begin(), curve.end(), visible_.min, byX);
        const auto end = std::lower_bound(begin, curve.end(), std::nextafter(visible_.max, HUGE_VAL), byX);
        if (const std::optional<ValueRange> r = ValueRangeOf({begin, end}))
            all = all ? ValueRange{std::min(all->min, r->min), std::max(all->max, r->max)} : *r;
    }
    ValueRange range = all.value_or(ValueRange{0.0, 1.0});
    if (!(range.max > range.min))
        range = {range.min - 1.0, range.max + 1.0};
    // Rounded on an axis of its own, so that the chart's moves once.
    niceAxis_.setTickCount(valueAxis_->tickCount());
    niceAxis_.setRange(range.min, range.max);
    niceAxis_.applyNiceNumbers();
    valueAxis_->setRange(niceAxis_.min(), niceAxis_.max());
    valueAxis_->setTickCount(niceAxis_.tickCount());
}

double GraphView::TimeAt(double pixelX) const
{
    const QRectF area = chart()->plotArea();
    return visible_.min + (pixelX - area.left()) / area.width() * (visible_.max - visible_.min);
}

QString GraphView::ToolTipAt(QPointF position) const
{
    const QRectF area = chart()->plotArea();
    if (!area.contains(position))
        return {};
    const double value =
        valueAxis_->max() - (position.y() - area.top()) / area.height() * (valueAxis_->max() - valueAxis_->min());
    return ToQString(AxisTimeText(TimeAt(position.x()))) + QLatin1Char('\n') + QString::number(value, 'f', 2);
}

void GraphView::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0.0 || !chart()->plotArea().contains(event->position())) {
        event->ignore();
        return;
    }
    ZoomAround(TimeAt(event->position().x()), std::pow(kZoomPerNotch, notches));
    event->accept();
}

void GraphView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !chart()->plotArea().contains(event->position())) {
        QChartView::mousePressEvent(event);
        return;
    }
    pressedAt_ = event->position().toPoint();
    pressedVisible_ = visible_;
    drag_ = (event->modifiers() & Qt::ShiftModifier) ? Drag::Span : Drag::Pan;
    if (drag_ == Drag::Span) {
        const QRectF area = chart()->plotArea();
        band_->setGeometry(QRect(pressedAt_.x(), static_cast<int>(area.top()), 0, static_cast<int>(area.height())));
        band_->show();
    }
    event->accept();
}

void GraphView::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF at = event->position();
    switch (drag_) {
    case Drag::None: {
        const QString tip = ToolTipAt(at);
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(event->globalPosition().toPoint(), tip, this);
        break;
    }
    case Drag::Pan: {
        const double perPixel = (pressedVisible_.max - pressedVisible_.min) / chart()->plotArea().width();
        const double shift = (at.x() - pressedAt_.x()) * perPixel;
        SetVisible(pressedVisible_.min - shift, pressedVisible_.max - shift);
        break;
    }
    case Drag::Span: {
        const QRectF area = chart()->plotArea();
        const int x = static_cast<int>(std::clamp(at.x(), area.left(), area.right()));
        band_->setGeometry(QRect(std::min(x, pressedAt_.x()), static_cast<int>(area.top()), std::abs(x - pressedAt_.x()),
                                 static_cast<int>(area.height())));
        break;
    }
    }
    event->accept();
}

void GraphView::mouseReleaseEvent(QMouseEvent* event)
{
    if (drag_ == Drag::Span) {
        band_->hide();
        const QRect span = band_->geometry();
        if (span.width() >= kLeastDrag) {
            const double from = TimeAt(span.left());
            const double to = TimeAt(span.right());
            SetVisible(from, std::max(to, from + kNarrowestSpan));
        }
    }
    drag_ = Drag::None;
    event->accept();
}

void GraphView::mouseDoubleClickEvent(QMouseEvent* event)
{
    ResetZoom();
    event->accept();
}

}  // namespace vorelle
