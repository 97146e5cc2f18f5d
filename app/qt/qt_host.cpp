// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/qt_host.h"

#include <QCoreApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTime>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "app/qt/tavola_view.h"
#include "app/qt/zoom.h"
#include "app/runtime_error.h"
#include "record/folder_lock.h"
#include "sound/wave_player.h"

namespace zanfiro {

namespace {

// The boxes' own buttons speak the pupil's language, as the system's would on an Italian PC.
const char* const yesText = "Sì";
const char* const noText = "No";
const char* const okText = "OK";
const char* const cancelText = "Annulla";
// Beside a pupil's own record: games that the class log could not take yet.
const char* const unloggedFile = "partite-da-registrare.csv";
const char* const waitingText = "Un momento: sto aspettando il mio turno per il record...";

// A title bar and borders as desktops commonly draw them: the real ones are known only once the
// window is on screen, and a guess on the large side costs a few pixels of zoom at most.
constexpr QMargins frameGuess(8, 40, 8, 8);

QMessageBox::Icon iconOf(int buttons)
{
    switch (buttons & 0x70) {
    case box::critical: return QMessageBox::Critical;
    case box::question: return QMessageBox::Question;
    case 48: return QMessageBox::Warning;
    case 64: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

} // namespace

QtHost::QtHost(recordfiles::RecordSettings settings)
    : m_settings(std::move(settings)), m_sharing(recordfiles::sharingOf(m_settings))
{
}
QtHost::~QtHost() = default;

void QtHost::attach(Tavola& tavola) { m_tavola = &tavola; }

void QtHost::start()
{
    m_tavola->start();
    syncView();
}

void QtHost::dispatch(Tavola::Handler handler)
{
    // The core turns its own run-time errors into the error box; anything else it lets out is a
    // fault of ours, and it must not unwind through Qt's event handling either.
    try {
        m_tavola->dispatch(handler);
    } catch (const std::exception& fault) {
        windowUnloaded(); // nothing may tick behind the box
        msgBox(fault.what(), box::critical, "Zanfiro");
        endProgram(1);
    }
    syncView();
}

void QtHost::syncView()
{
    if (m_view && m_tavola && m_tavola->loaded())
        m_view->sync();
}

QWidget* QtHost::boxParent() const
{
    // A box over a minimised window would hide with it; it stands on its own then.
    if (m_view && m_view->isVisible() && !m_view->isMinimized())
        return m_view;
    return nullptr;
}

int QtHost::msgBox(const std::string& prompt, int buttons, const std::string& title)
{
    // The window and its timers are brought up to date before the box's own event loop runs.
    syncView();
    QMessageBox dialog(boxParent());
    dialog.setTextFormat(Qt::PlainText);
    dialog.setWindowTitle(QString::fromStdString(title));
    dialog.setText(QString::fromStdString(prompt));
    dialog.setIcon(iconOf(buttons));
    if ((buttons & 7) != box::yesNo) {
        QPushButton* ok = dialog.addButton(QString::fromUtf8(okText), QMessageBox::AcceptRole);
        dialog.setDefaultButton(ok);
        dialog.setEscapeButton(ok);
        dialog.exec();
        return answer::ok;
    }
    QPushButton* yes = dialog.addButton(QString::fromUtf8(yesText), QMessageBox::YesRole);
    QPushButton* no = dialog.addButton(QString::fromUtf8(noText), QMessageBox::NoRole);
    dialog.setDefaultButton((buttons & box::defaultButton2) ? no : yes);
    // Escape and the close box answer No: only an explicit Yes says yes.
    dialog.setEscapeButton(no);
    dialog.exec();
    return dialog.clickedButton() == yes ? answer::yes : answer::no;
}

std::string QtHost::inputBox(const std::string& prompt, const std::string& title)
{
    syncView();
    QInputDialog dialog(boxParent());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(QString::fromStdString(title));
    dialog.setLabelText(QString::fromStdString(prompt));
    dialog.setTextValue(QString());
    dialog.setOkButtonText(QString::fromUtf8(okText));
    dialog.setCancelButtonText(QString::fromUtf8(cancelText));
    for (QLabel* label : dialog.findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.textValue().toStdString();
}

WavePlayer& QtHost::player()
{
    if (!m_player) {
        m_player = std::make_unique<WavePlayer>();
        // Read on the sound thread while the window comes up: the first click finds its sound ready.
        m_player->preloadFolder(m_tavola->soundPath({}));
    }
    return *m_player;
}

void QtHost::playWave(const std::string& path)
{
    player().play(path);
}

std::string QtHost::programDir() { return QCoreApplication::applicationDirPath().toStdString(); }
std::string QtHost::recordDir() { return recordfiles::recordDir(m_settings); }
FileKind QtHost::fileKind(const std::string& path) { return disk::fileKind(path); }
FileKind QtHost::entryKind(const std::string& path) { return disk::entryKind(path); }
std::vector<std::string> QtHost::folderEntries(const std::string& folder) { return disk::folderEntries(folder); }
void QtHost::touchAppend(const std::string& path) { disk::createIfMissing(path, m_sharing); }

std::string QtHost::readBytes(const std::string& path, std::size_t maxBytes, std::uint64_t* fileSize)
{
    return disk::readFile(path, maxBytes, fileSize);
}

std::string QtHost::stageFile(const std::string& target, const std::string& bytes)
{
    return disk::stageFile(target, bytes, m_sharing);
}

void QtHost::createFile(const std::string& path, const std::string& bytes) { disk::createFile(path, bytes, m_sharing); }
std::string QtHost::readOwnFile(const std::string& path) { return disk::readOwnFile(path); }
void QtHost::replaceFile(const std::string& from, const std::string& to) { disk::replaceFile(from, to, m_sharing); }
void QtHost::removeFile(const std::string& path) { disk::removeFile(path); }

// A class log that cannot take a game's line (a full disk, a share gone for a moment) does not
// lose it: the line waits in the pupil's own folder and goes into the class log, in the same one
// write, with the next game this account logs there.
void QtHost::appendLine(const std::string& path, const std::string& line, const std::string& headerIfEmpty)
{
    std::string aside;
    std::string waiting;
    if (m_sharing == disk::Sharing::Class) {
        try {
            aside = recordfiles::recordDir(QString()) + unloggedFile;
            if (disk::entryKind(aside) == FileKind::Regular)
                waiting = disk::readFile(aside, std::size_t(1) << 20, nullptr);
        } catch (const RuntimeError&) {
            aside.clear();
        }
    }
    try {
        disk::appendLine(path, waiting + line, headerIfEmpty, m_sharing);
    } catch (const RuntimeError&) {
        if (!aside.empty()) {
            try {
                disk::appendLine(aside, line, {}, disk::Sharing::Private);
            } catch (const RuntimeError&) {
            }
        }
        throw;
    }
    if (!waiting.empty()) {
        try {
            disk::removeFile(aside);
        } catch (const RuntimeError&) {
        }
    }
}

void QtHost::underRecordLock(const std::string& folder, const std::function<void()>& step, bool readOnly)
{
    LockRequest request;
    request.sharing = m_sharing;
    request.readOnly = readOnly;
    request.waiting = [this](bool waiting) { showWaiting(waiting); };
    underFolderLock(folder, request, step);
}

// A wait for the lock that lasts more than a moment says so in a small window of its own, so a
// pupil on a slow share knows the game has not frozen. Only the paint and the system's events
// are let through meanwhile: clicks wait for the record.
void QtHost::showWaiting(bool waiting)
{
    if (!waiting) {
        m_waitingNote.reset();
        return;
    }
    if (!m_waitingNote) {
        auto* note = new QLabel(QString::fromUtf8(waitingText));
        note->setTextFormat(Qt::PlainText);
        note->setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
        note->setWindowTitle(QStringLiteral("Zanfiro"));
        note->setMargin(16);
        note->setCursor(Qt::WaitCursor);
        m_waitingNote.reset(note);
        m_waitingNote->show();
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool QtHost::gameLogOn() { return m_settings.gameLog; }

double QtHost::systemTimer()
{
    // The wall clock gives the seconds since midnight to the millisecond; a steady clock's
    // nanoseconds add the sub-millisecond part, so two reseeds never read the same value.
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch()).count();
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0 + static_cast<double>(nanoseconds % 1000000) / 1e9;
}

void QtHost::holdFrame(int ms)
{
    if (m_view && m_tavola->loaded())
        m_view->holdFrame(ms);
}

void QtHost::windowUnloaded()
{
    if (m_view) {
        m_lastGeometry = m_view->normalGeometry();
        m_lastStates = m_view->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
        m_view->retire();
    }
    m_view = nullptr;
}

void QtHost::windowShown()
{
    if (!m_view) {
        m_view = new TavolaView(*m_tavola, [this](Tavola::Handler handler) { dispatch(handler); });
        m_view->sync();
        placeView();
    }
    m_view->show();
    player();
}

void QtHost::placeView()
{
    if (m_lastGeometry) {
        m_view->setGeometry(*m_lastGeometry);
        m_view->setWindowState(m_lastStates);
        return;
    }
    const QScreen* screen = m_view->screen();
    if (screen) {
        const int menuHeight = m_view->menuBar()->sizeHint().height();
        m_view->setGeometry(openingGeometry(screen->availableGeometry(), frameGuess, menuHeight));
    }
    if (m_fullScreen)
        m_view->setWindowState(Qt::WindowFullScreen);
}

void QtHost::endProgram(int status)
{
    // Leave without unwinding: the interrupted handlers must not resume, static objects must not
    // be torn down under the sound threads, and the record files are already on the disk.
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}

} // namespace zanfiro
