#include "app/BoardView.h"

#include "app/BoardPainter.h"

#include <QPainter>
#include <QPixmap>

namespace vorelle {

BoardView::BoardView(LiveReadings& readings, QWidget* parent) : QWidget(parent), readings_(readings)
{
    // The picture covers the whole board; nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    Refresh();
}

void BoardView::Refresh()
{
    shown_ = readings_.Current();
    const QSize size = BoardPictureSize(BoardSizeFor(shown_));
    if (this->size() != size)
        setFixedSize(size);
    update();
}

void BoardView::paintEvent(QPaintEvent*)
{
    // Everything goes to an off-screen surface first and reaches the screen in
    // one copy, so the repaint every second never flickers.
    const qreal devicePixelRatio = devicePixelRatioF();
    QPixmap surface(size() * devicePixelRatio);
    surface.setDevicePixelRatio(devicePixelRatio);
    {
        QPainter painter(&surface);
        PaintBoard(painter, shown_);
    }
    QPainter(this).drawPixmap(0, 0, surface);
}

}  // namespace vorelle
