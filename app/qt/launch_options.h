// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace zanfiro {

// What one launch asks for on its command line. Everything has a default: a plain launch is the
// game as it always was.
struct LaunchOptions {
    bool fullScreen = false;
    // A record folder for this launch only; empty means the machine's setting or the per-user
    // folder.
    QString recordDir;
    // The divisor and the game's length for this launch, as typed; null when not given.
    QString divisor;
    QString minutes;
    // The teacher's window with the class's results instead of the game.
    bool results = false;
};

// Reads the options; --help, --version and an unknown option print their text and end the
// program, as command-line programs do.
LaunchOptions parseLaunchOptions(const QStringList& arguments);

} // namespace zanfiro
