// SPDX-License-Identifier: GPL-3.0-or-later
// Every picture is drawn on a 32 x 32 grid and scaled to the pixmap, so one drawing serves the
// 16-pixel button picture, the 256-pixel task bar icon and any device pixel ratio.
#include "app/qt/artwork.h"

#include <QPainter>
#include <QPainterPath>

#include <array>
#include <cmath>
#include <span>

namespace zanfiro::artwork {
namespace {

constexpr qreal gridSize = 32.0;
constexpr int cursorSize = 32;

constexpr QColor signalRed(0xE0, 0x1E, 0x1E);
constexpr QColor darkRed(0x8C, 0x10, 0x10);
constexpr QColor faceYellow(0xFF, 0xD2, 0x1F);
constexpr QColor tongueRed(0xF0, 0x3A, 0x3A);
constexpr QColor mouthDark(0x5A, 0x10, 0x10);
constexpr QColor digitBlue(0x1B, 0x3A, 0x94);

// A screen that reports no ratio yet (0, or NaN) still gets a usable picture.
qreal usableRatio(qreal devicePixelRatio)
{
    return std::isfinite(devicePixelRatio) && devicePixelRatio > 0 ? devicePixelRatio : 1.0;
}

// A transparent square pixmap of logicalSize device-independent pixels, handed to draw() with the
// painter's coordinates set to the 32-unit grid.
template <typename Draw>
QPixmap drawOnGrid(int logicalSize, qreal devicePixelRatio, Draw draw)
{
    if (logicalSize <= 0)
        return {};
    const qreal ratio = usableRatio(devicePixelRatio);
    const int side = qMax(1, qRound(logicalSize * ratio));
    QPixmap pixmap(side, side);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = side / ratio / gridSize;
    painter.scale(unit, unit);
    draw(painter);
    return pixmap;
}

// A line of the given width on the grid, but never thinner than one device pixel, so the 16-pixel
// pictures keep a firm outline.
qreal lineWidth(const QPainter& painter, qreal width)
{
    return qMax(width, 1.0 / painter.deviceTransform().m11());
}

// Black strokes on a white halo, so a pointer shows on the dark bands of the backdrop as well.
void strokeWithHalo(QPainter& painter, const QPainterPath& path, qreal width)
{
    painter.strokePath(path, QPen(Qt::white, width + 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.strokePath(path, QPen(Qt::black, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
}

void drawCrosshair(QPainter& painter)
{
    // 16.5 is the middle of pixel (16, 16): one-unit lines then fall on whole pixels.
    constexpr qreal c = 16.5;
    constexpr qreal arm = 13.5;
    constexpr qreal tickAt = 8.0;
    constexpr qreal tickHalf = 2.5;
    QPainterPath lines;
    lines.moveTo(c - arm, c);
    lines.lineTo(c + arm, c);
    lines.moveTo(c, c - arm);
    lines.lineTo(c, c + arm);
    for (const qreal offset : {-tickAt, tickAt}) {
        lines.moveTo(c + offset, c - tickHalf);
        lines.lineTo(c + offset, c + tickHalf);
        lines.moveTo(c - tickHalf, c + offset);
        lines.lineTo(c + tickHalf, c + offset);
    }
    strokeWithHalo(painter, lines, 1.0);
    painter.setPen(QPen(Qt::white, 1.0));
    painter.setBrush(signalRed);
    painter.drawEllipse(QPointF(c, c), 3.0, 3.0);
}

void drawFourArrows(QPainter& painter)
{
    // The middle of pixel (10, 10), the pointer's hot spot.
    constexpr qreal c = 10.5;
    constexpr qreal tip = 9.5;
    constexpr qreal base = 5.5;
    constexpr qreal halfWidth = 3.5;
    constexpr qreal diamond = 2.5;
    constexpr qreal plate = 10.0;
    struct Direction { qreal dx, dy; };
    constexpr std::array<Direction, 4> directions {{ {0, -1}, {1, 0}, {0, 1}, {-1, 0} }};
    // A white plate behind the black shapes, so the pointer stands out on any colour.
    QPolygonF plateCorners;
    QPainterPath shapes;
    for (const Direction& d : directions) {
        plateCorners << QPointF(c + d.dx * plate, c + d.dy * plate);
        // (dy, -dx) is the direction turned a quarter, along the arrowhead's base.
        shapes.moveTo(c + d.dx * tip, c + d.dy * tip);
        shapes.lineTo(c + d.dx * base + d.dy * halfWidth, c + d.dy * base - d.dx * halfWidth);
        shapes.lineTo(c + d.dx * base - d.dy * halfWidth, c + d.dy * base + d.dx * halfWidth);
        shapes.closeSubpath();
    }
    shapes.addPolygon(QPolygonF({QPointF(c, c - diamond), QPointF(c + diamond, c), QPointF(c, c + diamond),
                                 QPointF(c - diamond, c)}));
    shapes.closeSubpath();
    painter.setPen(QPen(Qt::white, 1.0, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    painter.setBrush(Qt::white);
    painter.drawPolygon(plateCorners);
    painter.fillPath(shapes, Qt::black);
}

void drawNoEntrySign(QPainter& painter)
{
    painter.setPen(QPen(darkRed, 1.0));
    painter.setBrush(signalRed);
    painter.drawEllipse(QPointF(16, 16), 15, 15);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(6, 13, 20, 6), 1, 1);
}

void drawEyes(QPainter& painter, Face which)
{
    constexpr std::array<qreal, 2> eyeX {11.5, 20.5};
    if (which == Face::Laughing) {
        // Eyes squeezed shut with laughter: two little arches.
        QPainterPath arches;
        for (const qreal x : eyeX) {
            arches.moveTo(x - 2.2, 13.2);
            arches.quadTo(x, 9.0, x + 2.2, 13.2);
        }
        painter.strokePath(arches, QPen(Qt::black, lineWidth(painter, 1.6), Qt::SolidLine, Qt::RoundCap));
        return;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (const qreal x : eyeX)
        painter.drawEllipse(QPointF(x, 12.5), 1.8, 2.6);
}

void drawOpenMouth(QPainter& painter)
{
    QPainterPath mouth;
    mouth.moveTo(8.5, 17.5);
    mouth.lineTo(23.5, 17.5);
    mouth.cubicTo(23.5, 27.5, 8.5, 27.5, 8.5, 17.5);
    mouth.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(mouthDark);
    painter.drawPath(mouth);
    painter.save();
    painter.setClipPath(mouth);
    painter.setBrush(tongueRed);
    painter.drawEllipse(QPointF(16, 25.5), 5.5, 3.8);
    painter.restore();
    const QPen lips(Qt::black, lineWidth(painter, 1.5), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.strokePath(mouth, lips);
}

void drawFace(QPainter& painter, Face which)
{
    painter.setPen(QPen(Qt::black, lineWidth(painter, 1.5)));
    painter.setBrush(faceYellow);
    painter.drawEllipse(QPointF(16, 16), 14.5, 14.5);
    drawEyes(painter, which);
    const QPen mouthPen(Qt::black, lineWidth(painter, 1.8), Qt::SolidLine, Qt::RoundCap);
    QPainterPath mouth;
    switch (which) {
    case Face::Smiling:
        mouth.moveTo(9.5, 18.5);
        mouth.quadTo(16, 26.5, 22.5, 18.5);
        painter.strokePath(mouth, mouthPen);
        break;
    case Face::Neutral:
        mouth.moveTo(10.5, 21.5);
        mouth.lineTo(21.5, 21.5);
        painter.strokePath(mouth, mouthPen);
        break;
    case Face::Laughing:
        drawOpenMouth(painter);
        break;
    }
}

// A bold 5 stroked as a path and centred on the given point: no font needed, so it looks the same
// on every system.
QPainterPath digitFive(QPointF centre, qreal height)
{
    const qreal w = height * 0.6;
    const qreal left = centre.x() - w / 2;
    const qreal top = centre.y() - height / 2;
    QPainterPath five;
    five.moveTo(left + w, top);
    five.lineTo(left + w * 0.1, top);
    // arcTo draws the stem: a straight line down to where the bowl begins.
    const QRectF bowl(left - w * 0.04, top + height * 0.36, w * 1.04, height * 0.64);
    five.arcTo(bowl, 150, -285);
    return five;
}

// A red and white target with a blue 5, the multiple the pupil hunts; big icons get one more ring.
void drawTarget(QPainter& painter, bool detailed)
{
    const std::array<qreal, 4> detailedRings {15.0, 13.0, 11.5, 10.0};
    const std::array<qreal, 2> plainRings {15.0, 11.0};
    const std::span<const qreal> radii = detailed ? std::span<const qreal>(detailedRings)
                                                  : std::span<const qreal>(plainRings);
    painter.setPen(Qt::NoPen);
    for (std::size_t i = 0; i < radii.size(); ++i) {
        painter.setBrush(i % 2 == 0 ? signalRed : QColor(Qt::white));
        painter.drawEllipse(QPointF(16, 16), radii[i], radii[i]);
    }
    painter.setPen(QPen(darkRed, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(16, 16), 15, 15);
    const qreal height = detailed ? 12.5 : 14.0;
    const qreal stroke = detailed ? 3.0 : 3.4;
    painter.strokePath(digitFive(QPointF(16, 16), height),
                       QPen(digitBlue, stroke, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
}

} // namespace

QIcon windowIcon()
{
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(drawOnGrid(size, 1.0, [size](QPainter& p) { drawTarget(p, size >= 48); }));
    return icon;
}

// QCursor takes its hot spot in device-independent pixels, like the pixmap's logical size: the
// screen pixel the zoom gives the grid pixel it marks.
template <typename Draw>
QCursor zoomedCursor(qreal devicePixelRatio, const Zoom& zoom, int hotSpotOnGrid, Draw draw)
{
    const QPoint hotSpot = zoom.pixel({hotSpotOnGrid, hotSpotOnGrid});
    return QCursor(drawOnGrid(zoom.length(cursorSize), devicePixelRatio, draw), hotSpot.x(), hotSpot.y());
}

QCursor crosshairCursor(qreal devicePixelRatio, const Zoom& zoom)
{
    return zoomedCursor(devicePixelRatio, zoom, 16, drawCrosshair);
}

QCursor fourArrowsCursor(qreal devicePixelRatio, const Zoom& zoom)
{
    return zoomedCursor(devicePixelRatio, zoom, 10, drawFourArrows);
}

QPixmap noEntrySign(int logicalSize, qreal devicePixelRatio)
{
    return drawOnGrid(logicalSize, devicePixelRatio, drawNoEntrySign);
}

QPixmap face(Face which, int logicalSize, qreal devicePixelRatio)
{
    return drawOnGrid(logicalSize, devicePixelRatio, [which](QPainter& p) { drawFace(p, which); });
}

} // namespace zanfiro::artwork
