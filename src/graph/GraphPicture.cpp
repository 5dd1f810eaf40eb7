#include "graph/GraphPicture.h"

#include "graph/GraphView.h"

#include <QCoreApplication>
#include <QPixmap>

namespace vorelle {

QImage DrawGraphPicture(GraphData data, QSize size)
{
    GraphView view;
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.resize(size);
    view.show();
    view.Show(std::move(data));
    // The chart lays itself out in posted events, and the curves follow the
    // plot area it then has.
    for (int round = 0; round < 3; ++round)
        QCoreApplication::processEvents();
    return view.grab().toImage();
}

}  // namespace vorelle
