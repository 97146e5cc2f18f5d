// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/zoom.h"

#include <QtMath>

#include <algorithm>

#include "app/layout/controls.h"

namespace zanfiro {

Zoom Zoom::fitting(QSize client)
{
    Zoom zoom;
    zoom.scale = std::min(double(client.width()) / clientWidthPx, double(client.height()) / clientHeightPx);
    if (!(zoom.scale > 0))
        zoom.scale = 1.0;
    const QSize area = zoom.area().size();
    zoom.offset = QPoint((client.width() - area.width()) / 2, (client.height() - area.height()) / 2);
    return zoom;
}

int Zoom::length(double designPixels) const { return qRound(designPixels * scale); }

int Zoom::visibleLength(double designPixels) const { return std::max(1, length(designPixels)); }

QRect Zoom::rect(int left, int top, int width, int height) const
{
    const int x = length(left);
    const int y = length(top);
    return {x, y, length(left + width) - x, length(top + height) - y};
}

QPoint Zoom::pixel(QPoint designPixel) const
{
    const QRect shown = rect(designPixel.x(), designPixel.y(), 1, 1);
    // Below zoom 1 a design pixel may get no screen pixel of its own: then the one it starts on.
    return shown.topLeft() + QPoint(std::max(0, shown.width() - 1) / 2, std::max(0, shown.height() - 1) / 2);
}

QRect Zoom::area() const { return {offset, QSize(length(clientWidthPx), length(clientHeightPx))}; }

int Zoom::lineWidth() const { return visibleLength(1); }

QRect openingGeometry(const QRect& available, const QMargins& frame, int menuHeight)
{
    const QSize room = available.size().shrunkBy(frame) - QSize(0, menuHeight);
    const double fit = std::min(double(room.width()) / clientWidthPx, double(room.height()) / clientHeightPx);
    Zoom zoom;
    zoom.scale = std::clamp(fit, minimumZoom, 1.0);
    const QSize window = zoom.area().size() + QSize(0, menuHeight);
    const QSize framed = window.grownBy(frame);
    const QPoint corner = available.topLeft()
        + QPoint((available.width() - framed.width()) / 2, (available.height() - framed.height()) / 2);
    return {corner + QPoint(frame.left(), frame.top()), window};
}

} // namespace zanfiro
