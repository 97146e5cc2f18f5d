// SPDX-License-Identifier: GPL-3.0-or-later
// The one mapping from the design's pixels to the window's: a uniform scale and the offset that
// centres the design's area in the client area. Every place, size, font, picture, pointer and
// frame on screen is given a whole Zoom and goes through it, and length() is its one rounding
// rule; the controls model keeps the design's pixels whatever the zoom.
#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace zanfiro {

// Below this a caption in the design's smallest font can no longer be read.
inline constexpr double minimumZoom = 0.5;

struct Zoom {
    double scale = 1.0;
    QPoint offset; // of the design's area in the client area

    // The largest zoom at which the whole design area fits the client, centred in it.
    static Zoom fitting(QSize client);

    // A length in design pixels on screen, to the nearest pixel: the rounding everything uses.
    int length(double designPixels) const;
    // A length that must not vanish, such as a line, a frame's margin or a font's size: at least
    // one pixel.
    int visibleLength(double designPixels) const;
    // A rectangle's edges are rounded, not its size, so neighbours that touch in the design still
    // touch. In the design area's co-ordinates.
    QRect rect(int left, int top, int width, int height) const;
    // The screen pixel that stands for a design pixel: the middle one of those the zoom gives it.
    QPoint pixel(QPoint designPixel) const;
    // The design's area, in client co-ordinates.
    QRect area() const;
    // How thick a one-pixel line of the design is drawn.
    int lineWidth() const;
};

// Where the window opens in the available part of a screen: at the design size when it fits
// there with its frame and menu bar, else at the largest zoom that does (never below the
// minimum), centred. The result is the window's own geometry, frame excluded.
QRect openingGeometry(const QRect& available, const QMargins& frame, int menuHeight);

} // namespace zanfiro
