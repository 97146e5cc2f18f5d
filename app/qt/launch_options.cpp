// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/launch_options.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include "app/qt/game_settings.h"
#include "app/qt/record_folder.h"

namespace zanfiro {

LaunchOptions parseLaunchOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption fullScreen({QStringLiteral("fullscreen"), QStringLiteral("schermo-intero")},
        QStringLiteral("Avvia il gioco a schermo intero (F11 per uscire)."));
    const QCommandLineOption recordDir({QStringLiteral("record-dir"), QStringLiteral("cartella-record")},
        QStringLiteral("Cartella del record per questo avvio."), QStringLiteral("cartella"));
    const QCommandLineOption results(QStringLiteral("risultati"),
        QStringLiteral("Apre i risultati della classe, per l'insegnante, invece del gioco."));
    const QCommandLineOption divisor(QStringLiteral("divisore"),
        QStringLiteral("Divisore di questo avvio: 2, 3, 4, 5, 6, 9, 10 o 25."), QStringLiteral("N"));
    const QCommandLineOption minutes(QStringLiteral("minuti"),
        QStringLiteral("Durata della partita in minuti, da 1 a 10."), QStringLiteral("M"));
    parser.addOption(fullScreen);
    parser.addOption(recordDir);
    parser.addOption(divisor);
    parser.addOption(minutes);
    parser.addOption(results);
    // A first look, which never ends the program, finds the divisor the help is to name.
    parser.parse(arguments);
    const QString chosen = parser.isSet(divisor) ? parser.value(divisor) : QString();
    parser.setApplicationDescription(QStringLiteral("Zanfiro: colpisci i multipli di %1.")
            .arg(describedDivisor(recordfiles::systemSettingsPath(), chosen)));
    parser.process(arguments);

    LaunchOptions options;
    options.fullScreen = parser.isSet(fullScreen);
    options.recordDir = parser.value(recordDir);
    if (parser.isSet(divisor))
        options.divisor = parser.value(divisor);
    if (parser.isSet(minutes))
        options.minutes = parser.value(minutes);
    options.results = parser.isSet(results);
    return options;
}

} // namespace zanfiro
