#pragma once

#include "graph/GraphBuild.h"
#include "graph/GraphView.h"

#include <QImage>
#include <QSize>

namespace vorelle {

// The graph dialog's chart of the chart size the dialog gives it.
inline constexpr QSize kGraphChartSize{933, 369};

// `data` drawn as the graph dialog's chart draws it, `size` pixels large,
// without showing a window; its curves read by `reader` when it has one.
QImage DrawGraphPicture(GraphData data, QSize size = kGraphChartSize, GraphView::CurveReader reader = {});

}  // namespace vorelle
