// SPDX-License-Identifier: GPL-3.0-or-later
// One QApplication for every view test, on the offscreen platform unless told otherwise, with
// the program's own fonts.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/qt/shipped_fonts.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // The fonts the program ships, registered as the program does at start.
    zanfiro::registerShippedFonts();
    return RUN_ALL_TESTS();
}
