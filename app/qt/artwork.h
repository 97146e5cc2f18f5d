// SPDX-License-Identifier: GPL-3.0-or-later
// The game's pictures and pointers, drawn in code so they stay crisp at any device pixel ratio.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

#include "app/qt/zoom.h"

namespace zanfiro::artwork {

enum class Face { Smiling, Neutral, Laughing };

// Window icon: title bar and task bar (sizes 16 to 256).
QIcon windowIcon();
// Pointers are 32 x 32 at zoom 1 and grow with the window's zoom.
// Crosshair over the window, its labels and the disabled start button; hot spot at the centre.
QCursor crosshairCursor(qreal devicePixelRatio, const Zoom& zoom = {});
// Four arrowheads around a small diamond, over paricmd only; hot spot (10, 10) at zoom 1.
QCursor fourArrowsCursor(qreal devicePixelRatio, const Zoom& zoom = {});
// Red disc with a white bar, on the exit button.
QPixmap noEntrySign(int logicalSize, qreal devicePixelRatio);
// Yellow faces of the start button.
QPixmap face(Face which, int logicalSize, qreal devicePixelRatio);

} // namespace zanfiro::artwork
