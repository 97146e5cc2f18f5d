// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QSoundEffect;

namespace zanfiro {

// Plays one wave file at a time without waiting: the newest sound cuts the one playing, and a
// missing or unplayable file, or a machine without a sound server, means silence.
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
    struct Impl;
    Impl* m_impl;

    QSoundEffect* loadedEffect(const QString& path);
};

} // namespace zanfiro
