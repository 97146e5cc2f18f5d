// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class QThread;

namespace zanfiro {

class SoundDesk;

// Plays one wave file at a time without waiting: the newest sound cuts the one playing, and a
// missing or unplayable file, or a machine without a sound device, means silence.
//
// The sounds are fed from a thread of their own, so a window that holds a flash, shows a box or
// repaints never starves one. Every call returns at once and is carried out there, in order.
// Without a sound device the thread ends as soon as it has looked for one.
class WavePlayer : public QObject {
    Q_OBJECT
public:
    explicit WavePlayer(QObject* parent = nullptr);
    ~WavePlayer() override;
    void play(const QString& path);
    // Loads every wave file of the folder ahead of its first play, so that first play starts at
    // once too. A missing folder loads nothing.
    void preloadFolder(const QString& folder);

private:
    template <typename Call>
    void post(Call call);

    std::unique_ptr<QThread> m_thread;
    std::unique_ptr<SoundDesk> m_desk; // used on m_thread only, until that thread has finished
    // Set on the sound thread before it ends by itself; read here, so nothing more is sent.
    std::atomic<bool> m_deviceMissing = false;
};

} // namespace zanfiro
