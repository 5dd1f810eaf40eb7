#include "graph/GraphPicture.h"

#include <QCoreApplication>
#include <QPixmap>

namespace vorelle {

QImage DrawGraphPicture(GraphData data, QSize size, GraphView::CurveReader reader)
{
    GraphView view;
    view.SetCurveReader(std::move(reader));
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.resize(size);
    view.show();
    view.Show(std::move(data));
    // The chart lays itself out in posted events, and the curves follow the
    // plot area it then has; the picture is painted once, by the grab, not
    // for a screen as well.
    view.setUpdatesEnabled(false);
    for (int round = 0; round < 3; ++round)
        QCoreApplication::processEvents();
    view.setUpdatesEnabled(true);
    return view.grab().toImage();
}

}  // namespace vorelle
