// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QProxyStyle>
#include <QTimer>

#include <clocale>
#include <optional>

#include "app/qt/artwork.h"
#include "app/qt/game_settings.h"
#include "app/qt/desk/results_window.h"
#include "app/qt/launch_options.h"
#include "app/qt/qt_host.h"
#include "app/qt/shipped_fonts.h"
#include "app/tavola.h"

namespace {

// Boxes with plain text buttons, as the game's boxes have always looked; loading the stock
// button icons would also keep the name prompt waiting.
class GameStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
        QStyleHintReturn* returnData) const override
    {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Numbers are read and written the same way under every locale.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Zanfiro"));
    QApplication::setApplicationVersion(QStringLiteral(ZANFIRO_VERSION));
    QApplication::setStyle(new GameStyle);
    // The name prompt and the greeting come before the window: closing them must not quit.
    QApplication::setQuitOnLastWindowClosed(false);
    const zanfiro::LaunchOptions options = zanfiro::parseLaunchOptions(QApplication::arguments());
    // One icon for the window and its boxes, drawn once the prompt's event loop runs, so the
    // prompt does not wait for it.
    QTimer::singleShot(0, [] { QApplication::setWindowIcon(zanfiro::artwork::windowIcon()); });
    // The window's fonts likewise: the prompt and the greeting use the system's font.
    QTimer::singleShot(0, [] { zanfiro::registerShippedFonts(); });

    // The teacher's table and length; a bad value has shown its box and ends here, before the name prompt.
    const std::optional<zanfiro::GameRules> rules
        = zanfiro::chosenGameRules(zanfiro::recordfiles::systemSettingsPath(), options);
    if (!rules)
        return 1;

    zanfiro::QtHost host(
        zanfiro::recordfiles::readRecordSettings(zanfiro::recordfiles::systemSettingsPath(), options.recordDir));
    if (options.results) {
        // The teacher's window: the host only for its record folder and files, no game at all.
        QApplication::setQuitOnLastWindowClosed(true);
        zanfiro::desk::ResultsWindow results(host, *rules);
        results.show();
        return QApplication::exec();
    }
    host.startFullScreen(options.fullScreen);
    zanfiro::Tavola tavola(host, *rules);
    host.attach(tavola);
    host.start();
    return QApplication::exec();
}
