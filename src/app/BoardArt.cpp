#include "app/BoardArt.h"

#include "board/BoardLayout.h"

#include <QColor>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPixmap>
#include <QRadialGradient>
#include <QTransform>

#include <array>
#include <cmath>
#include <numbers>

namespace vorelle {

namespace {

// ---------------------------------------------------------------------------
// Layout of the art. Everything the program writes over the picture comes
// from board/BoardLayout.h; these are only the shapes around it.

// A translucent card behind a group of readings. Hairlines separate its
// cells at the x positions in `dividers` (0 ends the list).
struct Card {
    Rect frame;
    std::array<int, 3> dividers;
};

constexpr std::array<Card, 6> kCards{{
    {{10, 10, 388, 104}, {197, 0, 0}},       // indoor temperature, humidity
    {{10, 110, 388, 204}, {197, 0, 0}},      // outdoor temperature, humidity
    {{10, 210, 610, 304}, {158, 308, 458}},  // barometers, wind speeds
    {{10, 310, 610, 404}, {158, 308, 458}},  // dew point, feels like, rain
    {{10, 410, 610, 504}, {158, 308, 458}},  // rain totals, solar radiation
    {{10, 510, 456, 604}, {158, 308, 0}},    // UV index, soil, PM2.5
}};

constexpr Rect kDialCard{394, 10, 610, 204};
constexpr Rect kChannelCard{620, 7, 920, 607};
constexpr int kChannelDivider = 770;

// The emblem and wordmark fill the corner the bottom row leaves free.
constexpr Rect kEmblem{538, 516, 578, 556};
constexpr Rect kWordmark{470, 562, 610, 584};
constexpr Rect kTagline{470, 584, 610, 600};

constexpr double kCardRadius = 12.0;
constexpr double kDialRadius = 80.0;
constexpr double kGlyphSize = 16.0;
constexpr double kGlyphInset = 8.0;  // from the right edge of its cell

// ---------------------------------------------------------------------------
// Palette. Cards are near-white where the grey text goes; colour is kept to
// the sky, the glyphs and the dial marks.

QColor Colour(Rgb rgb, int alpha = 255)
{
    return QColor(rgb.red, rgb.green, rgb.blue, alpha);
}

constexpr Rgb kSkyTop{186, 216, 242};
constexpr Rgb kSkyMiddle{216, 232, 246};
constexpr Rgb kSkyBottom{236, 242, 247};
constexpr Rgb kSunGlow{255, 247, 226};
constexpr Rgb kFarHill{203, 224, 218};
constexpr Rgb kNearHill{186, 213, 203};
constexpr Rgb kShadow{40, 80, 125};
constexpr Rgb kCardEdge{125, 155, 185};
constexpr Rgb kHairline{150, 175, 200};
constexpr Rgb kDialRim{140, 168, 196};
constexpr Rgb kDialTick{150, 172, 195};
constexpr Rgb kDialMajorTick{110, 138, 168};
constexpr Rgb kNorth{212, 96, 84};
constexpr Rgb kHeading{105, 135, 165};

// Glyph tints by what is measured.
constexpr Rgb kWarm{224, 122, 95};
constexpr Rgb kMoist{52, 158, 172};
constexpr Rgb kAir{118, 112, 198};
constexpr Rgb kWindTint{72, 142, 212};
constexpr Rgb kRain{58, 118, 202};
constexpr Rgb kSunTint{232, 164, 36};
constexpr Rgb kUv{168, 98, 198};
constexpr Rgb kEarth{112, 160, 78};
constexpr Rgb kDust{128, 140, 158};

// ---------------------------------------------------------------------------
// Small line glyphs, drawn on a 24 x 24 grid.

enum class Glyph {
    Thermometer,
    Droplet,
    Gauge,
    Wind,
    CloudRain,
    RainGauge,
    Sun,
    Sunrise,
    Sprout,
    Particles,
};

struct TileArt {
    Glyph glyph;
    Rgb tint;
};

// Entry i decorates entry i of kBoardNames / kBoardValues.
constexpr std::array<TileArt, kBoardQuantityCount> kTileArt{{
    {Glyph::Thermometer, kWarm},   // indoor temperature
    {Glyph::Droplet, kMoist},      // indoor humidity
    {Glyph::Thermometer, kWarm},   // outdoor temperature
    {Glyph::Droplet, kMoist},      // outdoor humidity
    {Glyph::Gauge, kAir},          // absolute barometer
    {Glyph::Gauge, kAir},          // relative barometer
    {Glyph::Wind, kWindTint},      // wind speed
    {Glyph::Wind, kWindTint},      // gust speed
    {Glyph::Droplet, kWarm},       // dew point
    {Glyph::Thermometer, kWarm},   // feels like
    {Glyph::CloudRain, kRain},     // rain rate
    {Glyph::RainGauge, kRain},     // rain today
    {Glyph::RainGauge, kRain},     // rain this week
    {Glyph::RainGauge, kRain},     // rain this month
    {Glyph::RainGauge, kRain},     // rain this year
    {Glyph::Sun, kSunTint},        // solar radiation
    {Glyph::Sunrise, kUv},         // UV index
    {Glyph::Sprout, kEarth},       // soil
    {Glyph::Particles, kDust},     // PM2.5
}};

void DrawThermometer(QPainter& p, const QColor& tint)
{
    QPainterPath stem;
    stem.addRoundedRect(QRectF(9.4, 2.5, 5.2, 13.5), 2.6, 2.6);
    QPainterPath bulb;
    bulb.addEllipse(QPointF(12, 17.4), 4.3, 4.3);
    p.drawPath(stem.united(bulb));
    p.setPen(Qt::NoPen);
    p.setBrush(tint);
    p.drawEllipse(QPointF(12, 17.4), 2.0, 2.0);
    p.drawRoundedRect(QRectF(11.1, 8.0, 1.8, 9.0), 0.9, 0.9);
}

void DrawDroplet(QPainter& p, const QColor& tint)
{
    QPainterPath drop;
    drop.moveTo(12, 2.5);
    drop.cubicTo(12, 2.5, 5.5, 10, 5.5, 14.5);
    drop.arcTo(QRectF(5.5, 8, 13, 13), 180, 180);
    drop.cubicTo(18.5, 10, 12, 2.5, 12, 2.5);
    drop.closeSubpath();
    QColor wash = tint;
    wash.setAlpha(40);
    p.setBrush(wash);
    p.drawPath(drop);
    p.setBrush(Qt::NoBrush);
    QPen shine = p.pen();
    shine.setWidthF(1.4);
    p.setPen(shine);
    p.drawArc(QRectF(8.5, 11, 7, 7), 190 * 16, 70 * 16);
}

void DrawGauge(QPainter& p, const QColor& tint)
{
    const QPointF centre(12, 13);
    p.drawArc(QRectF(3, 4, 18, 18), -35 * 16, 250 * 16);
    QPen tick = p.pen();
    tick.setWidthF(1.3);
    p.setPen(tick);
    for (int degrees : {180, 135, 90, 45, 0}) {
        const double a = degrees * std::numbers::pi / 180.0;
        const QPointF dir(std::cos(a), -std::sin(a));
        p.drawLine(centre + dir * 5.6, centre + dir * 7.0);
    }
    const double needle = 55 * std::numbers::pi / 180.0;
    p.setPen(QPen(tint, 1.9, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, centre + QPointF(std::cos(needle), -std::sin(needle)) * 6.5);
    p.setPen(Qt::NoPen);
    p.setBrush(tint);
    p.drawEllipse(centre, 1.8, 1.8);
}

void DrawWind(QPainter& p)
{
    QPainterPath upper;
    upper.moveTo(3, 9);
    upper.lineTo(14, 9);
    upper.arcTo(QRectF(11, 3, 6, 6), 270, 270);
    QPainterPath middle;
    middle.moveTo(3, 13);
    middle.lineTo(18, 13);
    middle.arcTo(QRectF(15, 13, 6, 6), 90, -270);
    p.drawPath(upper);
    p.drawPath(middle);
    p.drawLine(QPointF(3, 17), QPointF(10, 17));
}

QPainterPath CloudOutline()
{
    QPainterPath left;
    left.addEllipse(QPointF(8, 12), 4, 4);
    QPainterPath top;
    top.addEllipse(QPointF(13.5, 9), 5.5, 5.5);
    QPainterPath right;
    right.addEllipse(QPointF(18, 12.5), 3.5, 3.5);
    QPainterPath base;
    base.addRect(QRectF(8, 12, 10, 4));
    return left.united(top).united(right).united(base);
}

void DrawCloudRain(QPainter& p)
{
    p.drawPath(CloudOutline());
    for (double x : {8.5, 12.5, 16.5})
        p.drawLine(QPointF(x, 19), QPointF(x - 1, 22));
}

void DrawRainGauge(QPainter& p, const QColor& tint)
{
    QColor wash = tint;
    wash.setAlpha(60);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(wash);
    p.drawRoundedRect(QRectF(6, 13, 12, 8), 2, 2);
    p.restore();
    QPainterPath cup;
    cup.moveTo(6, 3);
    cup.lineTo(6, 19);
    cup.quadTo(6, 21, 8, 21);
    cup.lineTo(16, 21);
    cup.quadTo(18, 21, 18, 19);
    cup.lineTo(18, 3);
    p.drawPath(cup);
    QPen tick = p.pen();
    tick.setWidthF(1.3);
    p.setPen(tick);
    for (double y : {7.0, 10.5, 14.0})
        p.drawLine(QPointF(6, y), QPointF(9.5, y));
}

void DrawRays(QPainter& p, QPointF centre, double inner, double outer, int firstDegrees,
              int lastDegrees, int step)
{
    for (int degrees = firstDegrees; degrees <= lastDegrees; degrees += step) {
        const double a = degrees * std::numbers::pi / 180.0;
        const QPointF dir(std::cos(a), -std::sin(a));
        p.drawLine(centre + dir * inner, centre + dir * outer);
    }
}

void DrawSun(QPainter& p, const QColor& tint)
{
    QColor wash = tint;
    wash.setAlpha(50);
    p.setBrush(wash);
    p.drawEllipse(QPointF(12, 12), 4.2, 4.2);
    DrawRays(p, QPointF(12, 12), 7.2, 9.8, 0, 315, 45);
}

void DrawSunrise(QPainter& p)
{
    p.drawLine(QPointF(2.5, 18), QPointF(21.5, 18));
    p.drawArc(QRectF(7, 13, 10, 10), 0, 180 * 16);
    DrawRays(p, QPointF(12, 18), 7.5, 10.0, 15, 165, 30);
}

void DrawSprout(QPainter& p, const QColor& tint)
{
    p.drawLine(QPointF(5, 20.5), QPointF(19, 20.5));
    p.drawLine(QPointF(12, 20.5), QPointF(12, 10.5));
    QPainterPath leftLeaf;
    leftLeaf.moveTo(12, 15);
    leftLeaf.cubicTo(9, 15, 5.5, 13, 5, 9);
    leftLeaf.cubicTo(8.5, 9, 12, 11, 12, 15);
    QPainterPath rightLeaf;
    rightLeaf.moveTo(12, 10.5);
    rightLeaf.cubicTo(12, 7, 14.5, 3.5, 19, 3.5);
    rightLeaf.cubicTo(19, 7.5, 16, 10.5, 12, 10.5);
    QColor wash = tint;
    wash.setAlpha(60);
    p.setBrush(wash);
    p.drawPath(leftLeaf);
    p.drawPath(rightLeaf);
}

void DrawParticles(QPainter& p, const QColor& tint)
{
    struct Speck {
        double x, y, r;
        bool filled;
    };
    static constexpr std::array<Speck, 6> kSpecks{{
        {6.5, 6.5, 2.2, false},
        {16, 5.5, 1.5, true},
        {12, 12.5, 2.8, false},
        {19, 13.5, 1.7, true},
        {5.5, 17, 1.5, true},
        {14, 19.5, 2.1, false},
    }};
    for (const Speck& speck : kSpecks) {
        p.setBrush(speck.filled ? QBrush(tint) : QBrush(Qt::NoBrush));
        p.drawEllipse(QPointF(speck.x, speck.y), speck.r, speck.r);
    }
}

void PaintGlyph(QPainter& p, Glyph glyph, const QRectF& box, const QColor& tint)
{
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / 24.0, box.height() / 24.0);
    p.setPen(QPen(tint, 1.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    switch (glyph) {
    case Glyph::Thermometer: DrawThermometer(p, tint); break;
    case Glyph::Droplet: DrawDroplet(p, tint); break;
    case Glyph::Gauge: DrawGauge(p, tint); break;
    case Glyph::Wind: DrawWind(p); break;
    case Glyph::CloudRain: DrawCloudRain(p); break;
    case Glyph::RainGauge: DrawRainGauge(p, tint); break;
    case Glyph::Sun: DrawSun(p, tint); break;
    case Glyph::Sunrise: DrawSunrise(p); break;
    case Glyph::Sprout: DrawSprout(p, tint); break;
    case Glyph::Particles: DrawParticles(p, tint); break;
    }
    p.restore();
}

// ---------------------------------------------------------------------------
// The board.

QRectF ToRectF(const Rect& r)
{
    return QRectF(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

QPainterPath RoundedPath(const QRectF& frame, double radius)
{
    QPainterPath path;
    path.addRoundedRect(frame, radius, radius);
    return path;
}

void PaintSky(QPainter& p, QSize size)
{
    const QRectF all(QPointF(0, 0), size);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0.0, Colour(kSkyTop));
    sky.setColorAt(0.5, Colour(kSkyMiddle));
    sky.setColorAt(1.0, Colour(kSkyBottom));
    p.fillRect(all, sky);

    // Morning light from the upper right, where the wind dial sits.
    QRadialGradient glow(QPointF(size.width() * 0.78, -60.0), size.width() * 0.75);
    glow.setColorAt(0.0, Colour(kSunGlow, 170));
    glow.setColorAt(1.0, Colour(kSunGlow, 0));
    p.fillRect(all, glow);
}

// Two low ridges along the bottom edge, mostly seen below the last cards.
void PaintHills(QPainter& p, QSize size)
{
    const double w = size.width();
    const double h = size.height();
    QPainterPath far;
    far.moveTo(0, h - 30);
    far.cubicTo(w * 0.22, h - 58, w * 0.42, h - 18, w * 0.66, h - 40);
    far.cubicTo(w * 0.82, h - 54, w * 0.93, h - 36, w, h - 44);
    far.lineTo(w, h);
    far.lineTo(0, h);
    far.closeSubpath();
    QPainterPath near;
    near.moveTo(0, h - 12);
    near.cubicTo(w * 0.18, h - 30, w * 0.36, h - 4, w * 0.58, h - 20);
    near.cubicTo(w * 0.76, h - 34, w * 0.9, h - 10, w, h - 18);
    near.lineTo(w, h);
    near.lineTo(0, h);
    near.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Colour(kFarHill));
    p.drawPath(far);
    p.setBrush(Colour(kNearHill));
    p.drawPath(near);
}

// A soft drop shadow that stays outside the card, so the translucent card
// itself does not darken.
void PaintCardShadow(QPainter& p, const QRectF& frame)
{
    const QPainterPath card = RoundedPath(frame, kCardRadius);
    p.setPen(Qt::NoPen);
    p.setBrush(Colour(kShadow, 9));
    for (int spread = 1; spread <= 5; ++spread) {
        const QRectF layer = frame.adjusted(-spread * 0.6, -spread * 0.3, spread * 0.6, spread * 0.9 + 1);
        p.drawPath(RoundedPath(layer, kCardRadius + spread * 0.6).subtracted(card));
    }
}

void PaintCard(QPainter& p, const QRectF& frame)
{
    PaintCardShadow(p, frame);
    QLinearGradient fill(frame.topLeft(), frame.bottomLeft());
    fill.setColorAt(0.0, QColor(255, 255, 255, 222));
    fill.setColorAt(1.0, QColor(255, 255, 255, 200));
    p.setBrush(fill);
    p.setPen(QPen(Colour(kCardEdge, 70), 1.0));
    p.drawRoundedRect(frame.adjusted(0.5, 0.5, -0.5, -0.5), kCardRadius, kCardRadius);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.0));
    p.drawRoundedRect(frame.adjusted(1.5, 1.5, -1.5, -1.5), kCardRadius - 1, kCardRadius - 1);
}

// A vertical hairline that fades out at both ends.
void PaintVerticalHairline(QPainter& p, double x, double top, double bottom)
{
    QLinearGradient line(0, top, 0, bottom);
    line.setColorAt(0.0, Colour(kHairline, 0));
    line.setColorAt(0.25, Colour(kHairline, 130));
    line.setColorAt(0.75, Colour(kHairline, 130));
    line.setColorAt(1.0, Colour(kHairline, 0));
    p.fillRect(QRectF(x, top, 1, bottom - top), line);
}

void PaintHorizontalHairline(QPainter& p, double y, double left, double right)
{
    QLinearGradient line(left, 0, right, 0);
    line.setColorAt(0.0, Colour(kHairline, 0));
    line.setColorAt(0.15, Colour(kHairline, 110));
    line.setColorAt(0.85, Colour(kHairline, 110));
    line.setColorAt(1.0, Colour(kHairline, 0));
    p.fillRect(QRectF(left, y, right - left, 1), line);
}

// Cell dividers run only beside the values: long names at large font sizes
// may reach past them.
void PaintCardDividers(QPainter& p, const Card& card)
{
    for (int x : card.dividers) {
        if (x == 0)
            break;
        PaintVerticalHairline(p, x, card.frame.top + 34, card.frame.bottom - 8);
    }
}

const Card* CardAround(int x, int y)
{
    for (const Card& card : kCards) {
        const Rect& f = card.frame;
        if (x >= f.left && x < f.right && y >= f.top && y < f.bottom)
            return &card;
    }
    return nullptr;
}

// The right edge of the cell that holds the value centred on `x`.
int CellRight(const Card& card, int x)
{
    for (int divider : card.dividers) {
        if (divider == 0)
            break;
        if (divider > x)
            return divider;
    }
    return card.frame.right;
}

// Each glyph sits at the right end of the gap between a name's line and its
// value's line, clear of both texts.
void PaintTileGlyphs(QPainter& p)
{
    for (int i = 0; i < kBoardQuantityCount; ++i) {
        const Rect& name = kBoardNames[i].rect;
        const Rect& value = kBoardValues[i].rect;
        const int centreX = (value.left + value.right) / 2;
        const Card* card = CardAround(centreX, value.top);
        if (card == nullptr)
            continue;
        const double nameInkBottom = name.top + kNameFontHeight + 1;
        const double valueInkTop = value.top + kValueFontHeight / 5;
        const double middle = (nameInkBottom + valueInkTop) / 2.0;
        const double right = CellRight(*card, centreX) - kGlyphInset;
        const QRectF box(right - kGlyphSize, middle - kGlyphSize / 2, kGlyphSize, kGlyphSize);
        PaintGlyph(p, kTileArt[i].glyph, box, Colour(kTileArt[i].tint));
    }
}

QPointF DialPoint(double degrees, double radius)
{
    const double a = degrees * std::numbers::pi / 180.0;
    return QPointF(kArrowCentre.x + radius * std::sin(a), kArrowCentre.y - radius * std::cos(a));
}

void PaintDialFace(QPainter& p)
{
    const QPointF centre(kArrowCentre.x, kArrowCentre.y);
    QRadialGradient face(centre, kDialRadius);
    face.setColorAt(0.0, QColor(255, 255, 255, 245));
    face.setColorAt(0.8, QColor(251, 253, 255, 240));
    face.setColorAt(1.0, QColor(231, 240, 250, 240));
    p.setPen(QPen(Colour(kDialRim), 1.5));
    p.setBrush(face);
    p.drawEllipse(centre, kDialRadius, kDialRadius);
    p.setPen(QPen(Colour(kDialRim, 90), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, kDialRadius - 5, kDialRadius - 5);
}

// Ticks every 10 degrees, longer every 30; the arrow's tip reaches into the
// ring of long ticks.
void PaintDialTicks(QPainter& p)
{
    const double outer = kDialRadius - 5;
    for (int degrees = 0; degrees < 360; degrees += 10) {
        const bool major = degrees % 30 == 0;
        p.setPen(QPen(Colour(major ? kDialMajorTick : kDialTick), major ? 1.4 : 1.0, Qt::SolidLine,
                      Qt::RoundCap));
        const double inner = major ? kArrowTipLength - 2 : outer - 4;
        p.drawLine(DialPoint(degrees, inner), DialPoint(degrees, outer));
    }
}

// N, E, S, W sit in gaps of the rim; small dots mark the points between.
void PaintDialLetters(QPainter& p)
{
    struct Mark {
        int degrees;
        const char* letter;
    };
    static constexpr std::array<Mark, 4> kMarks{{{0, "N"}, {90, "E"}, {180, "S"}, {270, "W"}}};
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    for (const Mark& mark : kMarks) {
        const QPointF at = DialPoint(mark.degrees, kDialRadius);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(246, 250, 254));
        p.drawEllipse(at, 8.5, 8.5);
        p.setPen(Colour(mark.degrees == 0 ? kNorth : kDialMajorTick));
        p.drawText(QRectF(at.x() - 9, at.y() - 9, 18, 18), Qt::AlignCenter, QString::fromLatin1(mark.letter));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Colour(kDialMajorTick));
    for (int degrees = 45; degrees < 360; degrees += 90)
        p.drawEllipse(DialPoint(degrees, kDialRadius), 1.6, 1.6);
}

void PaintDialHub(QPainter& p)
{
    const QPointF centre(kArrowCentre.x, kArrowCentre.y);
    p.setPen(QPen(Colour(kDialRim), 1.0));
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(centre, 4.0, 4.0);
}

void PaintHeading(QPainter& p, const QRectF& box, const QString& text, Qt::Alignment align)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    p.setFont(font);
    p.setPen(Colour(kHeading));
    p.drawText(box, align | Qt::AlignVCenter, text);
}

void PaintWindDial(QPainter& p)
{
    const QRectF card = ToRectF(kDialCard);
    PaintCard(p, card);
    PaintDialFace(p);
    PaintDialTicks(p);
    PaintDialLetters(p);
    PaintDialHub(p);
    PaintGlyph(p, Glyph::Wind, QRectF(card.left() + 10, card.top() + 9, kGlyphSize, kGlyphSize),
               Colour(kWindTint));
    PaintHeading(p, QRectF(card.left() + 30, card.top() + 9, 60, kGlyphSize), QStringLiteral("WIND"),
                 Qt::AlignLeft);
}

void PaintChannelColumn(QPainter& p)
{
    const QRectF card = ToRectF(kChannelCard);
    PaintCard(p, card);
    for (int i = 0; i < kChannelCount; ++i) {
        const ChannelRow& row = kBoardChannelRows[i];
        PaintVerticalHairline(p, kChannelDivider, row.temperatureValue.top - 2,
                              row.temperatureValue.bottom - 8);
        if (i + 1 < kChannelCount) {
            const double gapTop = row.temperatureValue.top + kValueFontHeight + 3;
            const double y = std::floor((gapTop + kBoardChannelRows[i + 1].temperatureName.top) / 2.0);
            PaintHorizontalHairline(p, y, card.left() + 8, card.right() - 8);
        }
    }
}

void PaintBrand(QPainter& p)
{
    const QRectF emblem = ToRectF(kEmblem);
    p.drawImage(emblem.topLeft(), PaintAppIcon(static_cast<int>(emblem.width())));
    QFont word(QStringLiteral("Liberation Sans"));
    word.setPixelSize(17);
    word.setBold(true);
    word.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    p.setFont(word);
    p.setPen(Colour(kHeading));
    p.drawText(ToRectF(kWordmark), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Vorelle 2"));
    PaintHeading(p, ToRectF(kTagline), QStringLiteral("WEATHER STATION"), Qt::AlignHCenter);
}

// ---------------------------------------------------------------------------
// The application icon, drawn on a 64 x 64 grid: a sun behind a cloud whose
// face carries a small gauge. The smaller the icon, the fewer the details.

enum class IconDetail {
    Tiny,   // below 32 pixels: tile, sun and cloud only, filling the square
    Small,  // 32 to 47 pixels: adds the rays, the cloud's shadow and the gauge
    Full,   // 48 pixels and up: adds the tile's rim and highlight
};

IconDetail DetailFor(int pixels)
{
    if (pixels < 32)
        return IconDetail::Tiny;
    return pixels < 48 ? IconDetail::Small : IconDetail::Full;
}

void PaintIconTile(QPainter& p, IconDetail detail)
{
    const bool tiny = detail == IconDetail::Tiny;
    const QRectF tile = tiny ? QRectF(0.5, 0.5, 63, 63) : QRectF(2.5, 2.5, 59, 59);
    const double radius = tiny ? 12 : 14;
    QLinearGradient sky(0, tile.top(), 0, tile.bottom());
    sky.setColorAt(0.0, QColor(110, 184, 240));
    sky.setColorAt(1.0, QColor(42, 112, 196));
    p.setPen(detail == IconDetail::Full ? QPen(QColor(30, 88, 160), 1.0) : QPen(Qt::NoPen));
    p.setBrush(sky);
    p.drawRoundedRect(tile, radius, radius);
    if (detail == IconDetail::Full) {
        p.setPen(QPen(QColor(255, 255, 255, 70), 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(tile.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    }
}

void PaintIconSun(QPainter& p, IconDetail detail)
{
    const bool tiny = detail == IconDetail::Tiny;
    const QPointF centre = tiny ? QPointF(43, 20) : QPointF(42, 22);
    const double radius = tiny ? 13.0 : 10.5;
    if (!tiny) {
        p.setPen(QPen(QColor(255, 218, 110), 3.0, Qt::SolidLine, Qt::RoundCap));
        for (int degrees = 0; degrees < 360; degrees += 45) {
            const double a = degrees * std::numbers::pi / 180.0;
            const QPointF dir(std::cos(a), -std::sin(a));
            p.drawLine(centre + dir * 13.5, centre + dir * 17.5);
        }
    }
    QRadialGradient disc(centre - QPointF(3, 3), radius + 2.5);
    disc.setColorAt(0.0, QColor(255, 236, 150));
    disc.setColorAt(1.0, QColor(250, 182, 52));
    p.setPen(Qt::NoPen);
    p.setBrush(disc);
    p.drawEllipse(centre, radius, radius);
}

QPainterPath IconCloud()
{
    QPainterPath left;
    left.addEllipse(QPointF(21, 40), 10, 10);
    QPainterPath top;
    top.addEllipse(QPointF(33, 32), 13, 13);
    QPainterPath right;
    right.addEllipse(QPointF(46, 40), 9.5, 9.5);
    QPainterPath base;
    base.addRoundedRect(QRectF(11, 36, 44.5, 14), 7, 7);
    return left.united(top).united(right).united(base);
}

void PaintIconCloud(QPainter& p, IconDetail detail)
{
    QPainterPath cloud = IconCloud();
    if (detail == IconDetail::Tiny) {
        // Grown about its lower left so it still reads at a few pixels.
        QTransform grow;
        grow.translate(4, 56);
        grow.scale(1.12, 1.12);
        grow.translate(-4, -56);
        cloud = grow.map(cloud);
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(20, 60, 120, 60));
        p.drawPath(cloud.translated(0, 2.5));
    }
    QLinearGradient fill(0, 19, 0, 50);
    fill.setColorAt(0.0, QColor(255, 255, 255));
    fill.setColorAt(1.0, QColor(222, 236, 250));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(cloud);
}

// The gauge on the cloud's face turns the weather picture into an instrument.
void PaintIconGauge(QPainter& p)
{
    const QPointF centre(33, 44);
    const double radius = 9.5;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(66, 132, 206), 2.8, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), 10 * 16, 160 * 16);
    const double a = 55 * std::numbers::pi / 180.0;
    p.setPen(QPen(QColor(214, 92, 78), 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, centre + QPointF(std::cos(a), -std::sin(a)) * (radius - 1.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 86, 110));
    p.drawEllipse(centre, 2.4, 2.4);
}

}  // namespace

QSize BoardPictureSize(BoardSize size)
{
    const Size s = size == BoardSize::Wide ? kWideBoardSize : kNarrowBoardSize;
    return QSize(s.width, s.height);
}

QImage PaintBoardPicture(BoardSize size, qreal devicePixelRatio)
{
    const QSize pixels = BoardPictureSize(size);
    QImage image(pixels * devicePixelRatio, QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Colour(kSkyBottom));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    PaintSky(p, pixels);
    PaintHills(p, pixels);
    for (const Card& card : kCards) {
        PaintCard(p, ToRectF(card.frame));
        PaintCardDividers(p, card);
    }
    PaintTileGlyphs(p);
    PaintWindDial(p);
    PaintBrand(p);
    if (size == BoardSize::Wide)
        PaintChannelColumn(p);
    return image;
}

QImage PaintAppIcon(int pixels)
{
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(pixels / 64.0, pixels / 64.0);
    const IconDetail detail = DetailFor(pixels);
    PaintIconTile(p, detail);
    PaintIconSun(p, detail);
    PaintIconCloud(p, detail);
    if (detail != IconDetail::Tiny)
        PaintIconGauge(p);
    return image;
}

QIcon AppIcon()
{
    QIcon icon;
    for (int pixels : kAppIconSizes)
        icon.addPixmap(QPixmap::fromImage(PaintAppIcon(pixels)));
    return icon;
}

}  // namespace vorelle
