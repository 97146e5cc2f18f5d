// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/wave_player.h"

#include <QAudioDevice>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>

namespace zanfiro {

// The sound thread's side: every Qt Multimedia object is made, played and destroyed there, so
// its streams are fed however long the window keeps its own thread busy.
class SoundDesk : public QObject {
public:
    explicit SoundDesk(std::atomic<bool>& deviceMissing) : m_deviceMissing(deviceMissing) {}
    // Connecting to the sound server happens here, off the window's thread.
    void lookForDevice();
    void play(const QString& path);
    void preloadFolder(const QString& folder);
    // Stops every stream before the thread ends: effects must die on the thread that feeds them.
    void release();

private:
    QSoundEffect* loadedEffect(const QString& path);

    std::atomic<bool>& m_deviceMissing;
    // One effect per file that only holds the decoded sound in Qt's sample cache and is never
    // played: loading is asynchronous, so a file loaded at the moment of the click would start
    // late or not at all.
    QHash<QString, QSoundEffect*> m_loaded;
    // The sound asked for last; it starts as soon as its file is loaded, unless a newer one is
    // asked for first.
    QPointer<QSoundEffect> m_current;
};

void SoundDesk::lookForDevice()
{
    // Without a sound server every effect would fail and complain on the console, at every
    // click, and an idle thread would wait for commands that can only be silence.
    if (QMediaDevices::defaultAudioOutput().isNull()) {
        m_deviceMissing = true;
        QThread::currentThread()->quit();
    }
}

void SoundDesk::play(const QString& path)
{
    // Two effects would mix: the one still sounding stops first, even if the new one can't play.
    if (QSoundEffect* const playing = m_current) {
        playing->blockSignals(true);
        playing->stop();
        playing->deleteLater();
        m_current = nullptr;
    }
    // The server may have gone away since the thread started.
    if (QMediaDevices::defaultAudioOutput().isNull())
        return;
    QSoundEffect* const file = loadedEffect(path);
    if (!file)
        return;
    // A fresh effect for every play, sharing the cached sound: Qt 6.4 shrinks the output buffer
    // of an effect each time it is played again, until its sound stalls, stutters or never starts.
    auto* effect = new QSoundEffect(this);
    m_current = effect;
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

void SoundDesk::preloadFolder(const QString& folder)
{
    const QDir dir(folder);
    const QStringList waves = dir.entryList({QStringLiteral("*.wav")}, QDir::Files | QDir::Readable,
                                            QDir::Name | QDir::IgnoreCase);
    for (const QString& name : waves)
        loadedEffect(dir.filePath(name));
}

QSoundEffect* SoundDesk::loadedEffect(const QString& path)
{
    // cleanPath: the folder of a program at a drive's root arrives with a doubled separator.
    const QString key = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (QSoundEffect* known = m_loaded.value(key)) {
        if (known->status() != QSoundEffect::Error)
            return known;
        // A file that failed to load gets another chance: it may have been put right meanwhile.
        m_loaded.remove(key);
        known->deleteLater();
    }
    // Nothing is kept for a missing file, so a sound installed later still plays.
    if (!QFileInfo(key).isFile())
        return nullptr;
    auto* effect = new QSoundEffect(this);
    // fromLocalFile, not QUrl(path): a '#', '%' or '?' in a folder name is part of the name.
    effect->setSource(QUrl::fromLocalFile(key));
    m_loaded.insert(key, effect);
    return effect;
}

void SoundDesk::release()
{
    const QList<QSoundEffect*> effects = findChildren<QSoundEffect*>(Qt::FindDirectChildrenOnly);
    for (QSoundEffect* effect : effects)
        effect->blockSignals(true);
    qDeleteAll(effects);
    m_loaded.clear();
}

WavePlayer::WavePlayer(QObject* parent)
    : QObject(parent), m_thread(std::make_unique<QThread>()), m_desk(std::make_unique<SoundDesk>(m_deviceMissing))
{
    m_thread->setObjectName(QStringLiteral("zanfiro sound"));
    m_desk->moveToThread(m_thread.get());
    // finished is emitted on the ending thread itself, the desk's own.
    connect(m_thread.get(), &QThread::finished, m_desk.get(), [desk = m_desk.get()] { desk->release(); },
            Qt::DirectConnection);
    m_thread->start();
    post([](SoundDesk& desk) { desk.lookForDevice(); });
}

WavePlayer::~WavePlayer()
{
    m_thread->quit();
    // A sound server that stopped answering must not keep the program from ending: after a
    // while the thread is left to the end of the process, with the desk it still uses.
    if (!m_thread->wait(QDeadlineTimer(3000))) {
        (void)m_thread.release();
        (void)m_desk.release();
    }
}

void WavePlayer::play(const QString& path)
{
    post([path](SoundDesk& desk) { desk.play(path); });
}

void WavePlayer::preloadFolder(const QString& folder)
{
    post([folder](SoundDesk& desk) { desk.preloadFolder(folder); });
}

template <typename Call>
void WavePlayer::post(Call call)
{
    // A command for a thread that has ended would only wait in its queue until the desk goes.
    if (m_deviceMissing)
        return;
    QMetaObject::invokeMethod(m_desk.get(), [desk = m_desk.get(), call] { call(*desk); }, Qt::QueuedConnection);
}

} // namespace zanfiro
