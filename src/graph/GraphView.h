#pragma once

#include "graph/GraphBuild.h"
#include "graph/GraphTime.h"

#include <QChartView>
#include <QPointF>
#include <QValueAxis>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class QGraphicsSimpleTextItem;
class QLineSeries;
class QRubberBand;

namespace vorelle {

// The graph's chart: five line series over a time axis, with the readings of
// the last build kept in memory. Each series receives only what its pixel
// columns can show (see ReduceToPixels), again after every zoom, pan and
// resize. The wheel zooms the time axis around the pointer, dragging pans,
// dragging with Shift held draws a span to zoom to, a double click returns
// to the selected range; the tool tip tells the time and value under the
// pointer.
//
// A graph whose readings are too many to keep (the history) gives the view a
// reader instead: the curves are then read again for every view, for the
// span in view with a margin on either side (so that the lines run on to the
// edges) at the plot's width. A pan within the margins reads nothing.
class GraphView final : public QChartView {
    Q_OBJECT

public:
    // Fills the curves over `span` (ChartSeconds) for a chart `width` pixels wide.
    using CurveReader = std::function<void(ValueRange span, int width, GraphCurves& curves)>;

    explicit GraphView(QWidget* parent = nullptr);

    // From now on each view reads its curves with `reader`; an empty reader
    // keeps each build's curves.
    void SetCurveReader(CurveReader reader);

    // Shows a build: titles, legend entries and axes as its plan says, the
    // selected range in view.
    void Show(GraphData data);
    // The readings of the last build.
    const GraphData& Data() const { return data_; }

    // The time span in view, in ChartSeconds.
    ValueRange Visible() const { return visible_; }
    void SetVisible(double from, double to);
    // Scales the span in view by `factor` (below 1 zooms in) keeping `x` in place.
    void ZoomAround(double x, double factor);
    // Returns to the selected range. False when it was in view already.
    bool ResetZoom();
    bool Zoomed() const;

    // Off: every reading goes to the chart, for comparison in benchmarks.
    void SetReduction(bool on);

    QLineSeries& Series(std::size_t index) const { return *series_[index]; }
    QValueAxis& ValueAxis() const { return *valueAxis_; }
    QValueAxis& TimeAxis() const { return *timeAxis_; }
    // The time axis's labels, from the left.
    QStringList TimeLabels() const;
    // The text the tool tip shows for a point of the chart's area.
    QString ToolTipAt(QPointF position) const;

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // Hands each series the points of the span in view and labels the axes.
    void Redraw();
    // Reads the curves for the view when the reader's last read does not
    // cover it at this width and span.
    void ReadForView(int width);
    void LabelTimeAxis(int width);
    void PlaceTimeLabels();
    void ScaleValueAxis();
    double TimeAt(double pixelX) const;
    int PlotWidth() const;

    GraphData data_;
    CurveReader reader_;
    // What the curves were last read for: the span with its margins, the
    // span in view and the plot's width.
    struct ViewRead {
        ValueRange span;
        double visibleSpan;
        int width;
    };
    std::optional<ViewRead> read_;
    ValueRange visible_{0.0, 1.0};
    bool reduce_ = true;
    bool built_ = false;
    std::array<QLineSeries*, kGraphSeries> series_{};
    QValueAxis* valueAxis_ = nullptr;
    QValueAxis* timeAxis_ = nullptr;
    // Finds the round numbers of the value axis without moving it.
    QValueAxis niceAxis_;
    std::vector<TimeTick> ticks_;
    std::vector<QGraphicsSimpleTextItem*> timeLabels_;
    std::vector<ChartPoint> reduced_;
    int drawnWidth_ = -1;

    enum class Drag { None, Pan, Span };
    Drag drag_ = Drag::None;
    QPoint pressedAt_;
    ValueRange pressedVisible_{0.0, 1.0};
    QRubberBand* band_ = nullptr;
};

}  // namespace vorelle
