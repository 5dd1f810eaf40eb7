#include "app/BoardPainter.h"

#include "board/WindArrow.h"
#include "board/BoardTexts.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

namespace vorelle {

namespace {

constexpr std::int32_t kMissingDirection = 0xFFFF;

// The board's font heights count the whole character cell (ascent plus
// descent), as the console's own drawing did; find the pixel size whose cell
// fits that height.
QFont BoardFont(int cellHeight)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Normal);
    for (int pixels = cellHeight; pixels > 1; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).height() <= cellHeight)
            break;
    }
    return font;
}

QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

QColor ToQColor(const Rgb& c) { return QColor(c.red, c.green, c.blue); }

// Drawn once per size and screen for the life of the program: the pictures
// never change, and the window seldom moves to a screen of another ratio.
// Painting happens on the UI thread only.
const QImage& BoardPicture(BoardSize size, qreal devicePixelRatio)
{
    static QImage pictures[2];
    QImage& picture = pictures[size == BoardSize::Wide ? 1 : 0];
    if (picture.isNull() || picture.devicePixelRatio() != devicePixelRatio)
        picture = PaintBoardPicture(size, devicePixelRatio);
    return picture;
}

// Not clipped to its rectangle: the direction text's lower rectangle is
// shorter than the value font, and a cut-off reading helps nobody.
void DrawText(QPainter& painter, const Rect& rect, int flags, const std::string& text)
{
    painter.drawText(ToQRect(rect), flags, QString::fromStdString(text));
}

void DrawWindArrow(QPainter& painter, int degrees, const QFont& valueFont)
{
    const WindArrow arrow = WindArrowFor(degrees);
    QPolygon polygon;
    for (const Point& p : arrow.polygon)
        polygon << QPoint(p.x, p.y);
    painter.setPen(QPen(ToQColor(kArrowPenColour), 1, Qt::SolidLine));
    painter.setBrush(Qt::white);
    painter.drawPolygon(polygon);
    painter.setPen(ToQColor(kBoardTextColour));
    painter.setFont(valueFont);
    DrawText(painter, arrow.textRect, Qt::AlignHCenter | Qt::AlignTop, WindDirectionText(degrees));
}

}  // namespace

BoardSize BoardSizeFor(const LiveReadings::Snapshot& readings)
{
    return readings.channelsPresent ? BoardSize::Wide : BoardSize::Narrow;
}

void PaintBoard(QPainter& painter, const LiveReadings::Snapshot& readings)
{
    // Drawn at the painted device's own ratio, so a HiDPI screen gets a
    // sharp picture rather than a stretched one.
    const qreal devicePixelRatio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    painter.drawImage(QPointF(0, 0), BoardPicture(BoardSizeFor(readings), devicePixelRatio));

    const QFont nameFont = BoardFont(kNameFontHeight);
    const QFont valueFont = BoardFont(kValueFontHeight);
    painter.setPen(ToQColor(kBoardTextColour));
    for (const BoardText& text : BoardTexts(readings)) {
        const bool isName = text.style == BoardTextStyle::Name;
        painter.setFont(isName ? nameFont : valueFont);
        DrawText(painter, text.rect, isName ? (Qt::AlignLeft | Qt::AlignTop) : (Qt::AlignHCenter | Qt::AlignTop),
                 text.text);
    }

    if (readings.values.WindDir != kMissingDirection)
        DrawWindArrow(painter, readings.values.WindDir, valueFont);
}

}  // namespace vorelle
