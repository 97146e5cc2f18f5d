// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include <clocale>

#include "app/qt/artwork.h"
#include "app/qt/qt_host.h"
#include "app/tavola.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Numbers are read and written the same way under every locale.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Zanfiro"));
    // The name prompt and the greeting come before the window: closing them must not quit.
    QApplication::setQuitOnLastWindowClosed(false);
    // One icon for the window and its boxes.
    QApplication::setWindowIcon(zanfiro::artwork::windowIcon());

    zanfiro::QtHost host;
    zanfiro::Tavola tavola(host);
    host.attach(tavola);
    host.start();
    return QApplication::exec();
}
