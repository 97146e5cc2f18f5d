// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "app/game_rules.h"
#include "app/game_state.h"
#include "app/host.h"
#include "app/layout/controls.h"
#include "play/rnd.h"
#include "record/game_log.h"

namespace zanfiro {

inline constexpr std::size_t bandCount = 256;

// The window's own properties; they return to these values at every load.
struct FormModel {
    std::string caption = "Zanfiro";
    int windowState = 0; // 0 normal, 1 minimised, 2 maximised; the view keeps it current
    bool autoRedraw = false;
    int drawStyle = 0;
    int drawMode = 13;
    int drawWidth = 1;
    int scaleMode = 1;          // 1 twips, 3 pixels, 0 user-defined
    double scaleHeight = 10080; // client height in the current vertical unit
    bool hasBackdrop = false;
    std::array<Colour, bandCount> bands{}; // the persistent image: band i spans y = 2i .. 2i+2 of 512
};

// The window Tavola: its controls, its game state and its handlers.
class Tavola {
public:
    using Handler = void (Tavola::*)();

    // What the teacher's log counts of the game being played.
    struct GameTally {
        std::time_t start = 0;
        int hits = 0;
        int misses = 0;
    };

    // The rules are the teacher's for the whole run: a new game keeps them.
    explicit Tavola(Host& host, GameRules rules = {});

    // Creating the window object starts the program: Form_Initialize, then Show.
    void start();
    // Runs one event's handler; a run-time error shows its box and ends the program.
    void dispatch(Handler handler);
    // The Click handler of a control, or nullptr when it has none.
    static Handler clickHandler(Ctl id);

    bool loaded() const { return m_loaded.has_value(); }
    const Controls& controls() const { return m_loaded->controls; } // only while loaded
    const FormModel& form() const { return m_loaded->form; }        // only while loaded
    GameState& state() { return m_state; }
    const GameState& state() const { return m_state; }
    Rnd& rnd() { return m_rnd; }
    Host& host() { return m_host; }
    const GameRules& rules() const { return m_rules; }

    // Touching a control (or the form) of an unloaded window loads it, running Form_Load.
    Control& ctl(Ctl id);
    FormModel& formModel();
    // Left/Top in the window's current scale, converted to client pixels when set.
    void setLeft(Ctl id, double left);
    void setTop(Ctl id, double top);
    void setWindowState(int state);

    // Window lifecycle (app/tavola.cpp)
    void Form_Initialize();
    void Form_Load();
    void Form_Resize();
    void Next_Click();
    void Show();

    // Turn refresh (play/turn_refresh.cpp)
    void cmdNext_Click();

    // Target buttons and the first deal (play/target_buttons.cpp)
    void Form_Activate();
    void paricmd_Click();
    void paricmd1_Click();
    void paricmd2_Click();
    void disparicmd_Click();
    void disparicmd1_Click();
    void disparicmd2_Click();

    // Target shuffle (play/shuffle.cpp)
    void Timer2_Timer();

    // Countdown clock (play/countdown.cpp)
    void StartClock();
    void Timer1_Timer();
    std::string clockText() const;

    // Start of play (play/start_of_play.cpp)
    void Form_Click();

    // Record store and exit flow (record/record_store.cpp, record/exit_flow.cpp)
    std::string GetSystemDir();
    std::string Leggifiletxt(const std::string& nomefile);
    void readRecords();
    void cmdExit_Click();
    // The teacher's log (record/game_log.cpp). The close box: the game ends at once, with its log
    // line and no record handling.
    void closeBox();
    GameTally& tally() { return m_tally; }

    // Sound (sound/play_wave.cpp)
    void PlayWave(const std::string& path);
    std::string soundPath(const std::string& fileName);

private:
    struct Loaded {
        Controls controls;
        FormModel form;
    };

    void load();
    void unload();
    // The record handling and the log line of a game ended by Exit or the clock, under one hold
    // of the record lock. True when the game's score went in as the new record.
    bool finishGame(GameEnd how, bool beatsShownBest);
    bool storeRecordIfBest(const std::string& scoreText);
    // The game that ends, for the teacher's log; nothing when no game was loaded.
    std::optional<FinishedGame> finishedGame(GameEnd how, bool recordSet);
    // Its line in the log, taking the record lock / under the lock the caller holds.
    void logGame(GameEnd how);
    void logGameUnderLock(GameEnd how, bool recordSet);

    Host& m_host;
    GameRules m_rules;
    GameState m_state;
    Rnd m_rnd;
    std::optional<Loaded> m_loaded;
    bool m_ending = false;
    bool m_exitFlowRunning = false;
    bool m_clockRanOut = false; // the exit flow was started by the clock
    GameTally m_tally;
};

} // namespace zanfiro
