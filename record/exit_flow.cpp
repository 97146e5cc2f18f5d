// SPDX-License-Identifier: GPL-3.0-or-later
#include <optional>

#include "app/runtime_error.h"
#include "app/tavola.h"
#include "record/best_score.h"
#include "record/commit.h"
#include "record/record_store.h"
#include "record/text_encoding.h"

namespace zanfiro {

namespace {

constexpr const char* appTitle = "Zanfiro";
constexpr const char* goodbye = "           Ciao a presto.";
constexpr const char* congratulation = "Ok ho registrato il tuo record, C A M P I O N E\"";

// The best stored on disk right now: another copy of the game, or a teacher, may have written
// a higher one since this game loaded. A missing score file adds nothing; one that cannot be
// read is an error, since writing over it could put a lower record over a higher one.
std::optional<double> bestOnDisk(Host& host, const std::string& path)
{
    if (host.fileKind(path) != FileKind::Regular)
        return std::nullopt;
    return scoreValue(readRecordText(host, path));
}

} // namespace

void Tavola::cmdExit_Click()
{
    // One run at a time: ticks at zero keep calling while the goodbye box is open, and the run
    // that is waiting there is the one that ends the program.
    if (m_exitFlowRunning)
        return;
    m_exitFlowRunning = true;
    const GameEnd how = m_clockRanOut ? GameEnd::Clock : GameEnd::Exit;

    m_host.msgBox(goodbye, box::okOnly, appTitle);
    // A short pause: a bare count to 1000, whatever the machine makes of it.
    for (m_state.exitDelay = 1; m_state.exitDelay <= 1000; m_state.exitDelay = addInt16(m_state.exitDelay, 1)) {
    }

    const double best = scoreValue(ctl(Ctl::lblpunti).caption);
    const double current = scoreValue(ctl(Ctl::Punteggio).caption);
    if (finishGame(how, current > best))
        m_host.msgBox(congratulation, box::okOnly, appTitle);
    m_host.endProgram(0);
}

bool Tavola::finishGame(GameEnd how, bool beatsShownBest)
{
    // A game that cannot be a record needs the folder only for its log line, and a log that
    // cannot be written stops nothing.
    if (!beatsShownBest) {
        logGame(how);
        return false;
    }
    const RecordPaths paths = recordPaths(m_state.windowsDir, m_rules);
    bool stored = false;
    try {
        m_host.underRecordLock(paths.folder, [&] {
            try {
                stored = storeRecordIfBest(ctl(Ctl::Punteggio).caption);
            } catch (const RuntimeError&) {
                logGameUnderLock(how, false);
                throw;
            }
            logGameUnderLock(how, stored);
        }, false);
    } catch (const RuntimeError& error) {
        throw aboutRecordFiles(error, paths);
    }
    return stored;
}

// Under the record lock.
bool Tavola::storeRecordIfBest(const std::string& scoreText)
{
    const RecordPaths paths = recordPaths(m_state.windowsDir, m_rules);
    // A copy that stopped half way through its commit is finished first, so the best on disk is
    // a whole record.
    recoverRecordCommit(m_host, paths);
    const std::optional<double> onDisk = bestOnDisk(m_host, paths.score);
    if (onDisk && scoreValue(scoreText) <= *onDisk)
        return false;
    m_state.fileNum = 1;
    m_state.recordText = scoreText;
    const std::string scoreBytes = encodeWindows1252(m_state.recordText) + "\r\n";
    m_state.recordText = ctl(Ctl::lblnome1).caption;
    const std::string nameBytes = encodeWindows1252(m_state.recordText) + "\r\n";
    commitRecord(m_host, paths, scoreBytes, nameBytes);
    return true;
}

} // namespace zanfiro
