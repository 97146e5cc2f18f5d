// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for the game's start-up: an empty window with a menu bar and a 608 x 672 client
// area, built with the same compiler flags, and nothing else.
#include <QApplication>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()->addAction(QStringLiteral("Menu"));
    auto* client = new QWidget(&window);
    client->setFixedSize(608, 672);
    window.setCentralWidget(client);
    window.layout()->setSizeConstraint(QLayout::SetFixedSize);
    window.show();
    return QApplication::exec();
}
