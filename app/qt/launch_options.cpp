// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/launch_options.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace zanfiro {

LaunchOptions parseLaunchOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Zanfiro: colpisci i multipli di 5."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption fullScreen({QStringLiteral("fullscreen"), QStringLiteral("schermo-intero")},
        QStringLiteral("Avvia il gioco a schermo intero (F11 per uscire)."));
    const QCommandLineOption recordDir({QStringLiteral("record-dir"), QStringLiteral("cartella-record")},
        QStringLiteral("Cartella del record per questo avvio."), QStringLiteral("cartella"));
    const QCommandLineOption results(QStringLiteral("risultati"),
        QStringLiteral("Apre i risultati della classe, per l'insegnante, invece del gioco."));
    parser.addOption(fullScreen);
    parser.addOption(recordDir);
    parser.addOption(results);
    parser.process(arguments);

    LaunchOptions options;
    options.fullScreen = parser.isSet(fullScreen);
    options.recordDir = parser.value(recordDir);
    options.results = parser.isSet(results);
    return options;
}

} // namespace zanfiro
