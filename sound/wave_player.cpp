// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/wave_player.h"

#include <QAudioDevice>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

namespace zanfiro {

struct WavePlayer::Impl {
    // One effect per file that only holds the decoded sound in Qt's sample cache and is never
    // played: loading is asynchronous, so a file loaded at the moment of the click would start
    // late or not at all.
    QHash<QString, QSoundEffect*> loaded;
    // The sound asked for last; it starts as soon as its file is loaded, unless a newer one is
    // asked for first.
    QPointer<QSoundEffect> current;
};

WavePlayer::WavePlayer(QObject* parent) : QObject(parent), m_impl(new Impl) {}

WavePlayer::~WavePlayer()
{
    // The effects die after this body, with the QObject children; none may report back by then.
    for (QSoundEffect* effect : findChildren<QSoundEffect*>(Qt::FindDirectChildrenOnly))
        effect->blockSignals(true);
    delete m_impl;
}

void WavePlayer::play(const QString& path)
{
    // Two effects would mix: the one still sounding stops first, even if the new one can't play.
    if (QSoundEffect* const playing = m_impl->current) {
        playing->blockSignals(true);
        playing->stop();
        playing->deleteLater();
        m_impl->current = nullptr;
    }
    // Without a sound server every effect would fail and complain on the console, at every click.
    if (QMediaDevices::defaultAudioOutput().isNull())
        return;
    QSoundEffect* const file = loadedEffect(path);
    if (!file)
        return;
    // A fresh effect for every play, sharing the cached sound: Qt 6.4 shrinks the output buffer
    // of an effect each time it is played again, until its sound stalls, stutters or never starts.
    auto* effect = new QSoundEffect(this);
    m_impl->current = effect;
    effect->setSource(file->source());
    if (effect->status() == QSoundEffect::Ready) {
        effect->play();
        return;
    }
    // Still loading: the sample reports from the loader thread, so the signal can't be missed.
    connect(effect, &QSoundEffect::statusChanged, effect, [effect] {
        if (effect->status() == QSoundEffect::Ready)
            effect->play();
    });
}

void WavePlayer::preloadFolder(const QString& folder)
{
    if (QMediaDevices::defaultAudioOutput().isNull())
        return;
    const QDir dir(folder);
    const QStringList waves = dir.entryList({QStringLiteral("*.wav")}, QDir::Files | QDir::Readable,
                                            QDir::Name | QDir::IgnoreCase);
    for (const QString& name : waves)
        loadedEffect(dir.filePath(name));
}

QSoundEffect* WavePlayer::loadedEffect(const QString& path)
{
    // cleanPath: the folder of a program at a drive's root arrives with a doubled separator.
    const QString key = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (QSoundEffect* known = m_impl->loaded.value(key)) {
        if (known->status() != QSoundEffect::Error)
            return known;
        // A file that failed to load gets another chance: it may have been put right meanwhile.
        m_impl->loaded.remove(key);
        known->deleteLater();
    }
    // Nothing is kept for a missing file, so a sound installed later still plays.
    if (!QFileInfo(key).isFile())
        return nullptr;
    auto* effect = new QSoundEffect(this);
    // fromLocalFile, not QUrl(path): a '#', '%' or '?' in a folder name is part of the name.
    effect->setSource(QUrl::fromLocalFile(key));
    m_impl->loaded.insert(key, effect);
    return effect;
}

} // namespace zanfiro
