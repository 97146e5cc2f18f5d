// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <memory>
#include <optional>

#include "app/host.h"
#include "app/qt/record_folder.h"
#include "app/qt/tavola_view.h"
#include "app/tavola.h"

namespace zanfiro {

class WavePlayer;

// The real world behind the window: Qt boxes, the wave player, the record files on disk, the
// clock, and the window on screen, which it builds when the core shows the window.
class QtHost : public Host {
public:
    // The record settings, read once at start by whoever makes the host: the program reads the
    // machine's, a test passes its own.
    explicit QtHost(recordfiles::RecordSettings settings);
    ~QtHost() override;
    QtHost(const QtHost&) = delete;
    QtHost& operator=(const QtHost&) = delete;

    void attach(Tavola& tavola);
    // The window opens full screen (for the whiteboard) instead of where it fits.
    void startFullScreen(bool on) { m_fullScreen = on; }
    // Creates the window object (load, name prompt, show) and shows it as the model has it.
    void start();
    // Runs one event's handler, then brings the window on screen in line with the model.
    void dispatch(Tavola::Handler handler);
    TavolaView* view() const { return m_view; }

    int msgBox(const std::string& prompt, int buttons, const std::string& title) override;
    std::string inputBox(const std::string& prompt, const std::string& title) override;
    void playWave(const std::string& path) override;
    std::string programDir() override;
    std::string recordDir() override;
    FileKind fileKind(const std::string& path) override;
    FileKind entryKind(const std::string& path) override;
    std::vector<std::string> folderEntries(const std::string& folder) override;
    void touchAppend(const std::string& path) override;
    std::string readBytes(const std::string& path, std::size_t maxBytes, std::uint64_t* fileSize) override;
    std::string stageFile(const std::string& target, const std::string& bytes) override;
    void createFile(const std::string& path, const std::string& bytes) override;
    std::string readOwnFile(const std::string& path) override;
    void replaceFile(const std::string& from, const std::string& to) override;
    void removeFile(const std::string& path) override;
    void appendLine(const std::string& path, const std::string& line, const std::string& headerIfEmpty) override;
    void underRecordLock(const std::string& folder, const std::function<void()>& step, bool readOnly) override;
    bool gameLogOn() override;
    double systemTimer() override;
    void holdFrame(int ms) override;
    void windowUnloaded() override;
    void windowShown() override;
    [[noreturn]] void endProgram(int status) override;

private:
    void syncView();
    QWidget* boxParent() const;
    WavePlayer& player();
    void placeView();
    void showWaiting(bool waiting);

    Tavola* m_tavola = nullptr;
    QPointer<TavolaView> m_view;
    std::unique_ptr<WavePlayer> m_player;
    recordfiles::RecordSettings m_settings;
    disk::Sharing m_sharing;
    std::unique_ptr<QWidget> m_waitingNote;
    bool m_fullScreen = false;
    // Where the last window was and how (maximised, full screen): a new game's window opens
    // the same way.
    std::optional<QRect> m_lastGeometry;
    Qt::WindowStates m_lastStates;
};

} // namespace zanfiro
