// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace zanfiro {

// The faces the layout was measured with travel inside the program, so every system draws the
// same glyphs whether or not it has them installed.
// Registers them with the font database, once; later lookups of their families find these copies.
// Returns false when a face could not be registered (then the system's faces or a fallback draw).
// Reading the faces takes some milliseconds: the program does it while the name prompt waits, and
// the first design font asked for does it if that has not happened yet.
bool registerShippedFonts();

// The resource paths of the shipped faces.
QStringList shippedFontFiles();

} // namespace zanfiro
