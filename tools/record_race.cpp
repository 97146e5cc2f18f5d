// SPDX-License-Identifier: GPL-3.0-or-later
// One pupil at the end of a game, for the record stress run: the real window, record folder and
// record files, with a pupil who types the name given, ends the game with the score given, and
// closes the goodbye box at the moment given (milliseconds since the epoch), so that many copies
// close theirs together. Every other box is closed at once; an error box is printed on stderr,
// and the program then ends with status 1, as the game does.
// With SCORE "chiude" the game ends by the window's close box instead. Without --record-dir the
// folder is the one the machine's settings name, or the pupil's own.
// Usage: record_race [--record-dir DIR] NAME SCORE|chiude CLOSE_AT_MS
#include <QApplication>
#include <QDateTime>
#include <QRegularExpression>
#include <QThread>

#include <cstdio>
#include <cstdlib>

#include "app/qt/launch_options.h"
#include "app/qt/qt_host.h"
#include "app/tavola.h"

namespace {

using namespace zanfiro;

class RacingPupil final : public QtHost {
public:
    RacingPupil(recordfiles::RecordSettings settings, std::string name, qint64 closeAtMs)
        : QtHost(std::move(settings)), m_name(std::move(name)), m_closeAtMs(closeAtMs)
    {
    }

    std::string inputBox(const std::string&, const std::string&) override { return m_name; }
    int msgBox(const std::string& prompt, int buttons, const std::string&) override
    {
        if (buttons & box::critical)
            std::fprintf(stderr, "%s\n", prompt.c_str());
        if (prompt.rfind("           Ciao", 0) == 0)
            while (QDateTime::currentMSecsSinceEpoch() < m_closeAtMs)
                QThread::usleep(200);
        return answer::ok;
    }

private:
    std::string m_name;
    qint64 m_closeAtMs;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const LaunchOptions options = parseLaunchOptions(QApplication::arguments());
    const QStringList rest = QApplication::arguments().mid(1).filter(QRegularExpression(QStringLiteral("^[^-]")));
    if (rest.size() < 3) {
        std::fprintf(stderr, "usage: record_race [--record-dir DIR] NAME SCORE|chiude CLOSE_AT_MS\n");
        return 2;
    }
    RacingPupil pupil(recordfiles::readRecordSettings(recordfiles::systemSettingsPath(), options.recordDir),
        rest.at(rest.size() - 3).toStdString(), rest.last().toLongLong());
    Tavola tavola(pupil);
    pupil.attach(tavola);
    pupil.start();
    if (rest.at(rest.size() - 2) == QStringLiteral("chiude"))
        pupil.dispatch(&Tavola::closeBox);
    tavola.ctl(Ctl::Punteggio).caption = " " + rest.at(rest.size() - 2).toStdString();
    pupil.dispatch(&Tavola::cmdExit_Click);
    return 3; // the exit flow never returns
}
