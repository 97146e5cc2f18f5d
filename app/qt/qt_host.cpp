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

#include "app/qt/record_files.h"
#include "app/qt/tavola_view.h"
#include "app/qt/zoom.h"
#include "sound/wave_player.h"

namespace zanfiro {

namespace {

// The boxes' own buttons speak the pupil's language, as the system's would on an Italian PC.
const char* const yesText = "Sì";
const char* const noText = "No";
const char* const okText = "OK";
const char* const cancelText = "Annulla";

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

QtHost::QtHost(recordfiles::RecordSettings settings) : m_settings(std::move(settings)) { }
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
std::string QtHost::recordDir() { return recordfiles::recordDir(m_settings.folder); }
FileKind QtHost::fileKind(const std::string& path) { return recordfiles::fileKind(path); }
FileKind QtHost::entryKind(const std::string& path) { return recordfiles::entryKind(path); }

std::vector<std::string> QtHost::folderEntries(const std::string& folder)
{
    return recordfiles::folderEntries(folder);
}

void QtHost::touchAppend(const std::string& path) { recordfiles::touchAppend(path); }

std::string QtHost::readBytes(const std::string& path, std::size_t maxBytes, std::uint64_t* fileSize)
{
    return recordfiles::readBytes(path, maxBytes, fileSize);
}

std::string QtHost::stageFile(const std::string& target, const std::string& bytes)
{
    return recordfiles::stageFile(target, bytes);
}

void QtHost::createFile(const std::string& path, const std::string& bytes) { recordfiles::createFile(path, bytes); }
std::string QtHost::readOwnFile(const std::string& path) { return recordfiles::readOwnFile(path); }
void QtHost::replaceFile(const std::string& from, const std::string& to) { recordfiles::replaceFile(from, to); }
void QtHost::removeFile(const std::string& path) { recordfiles::removeFile(path); }
void QtHost::appendBytes(const std::string& path, const std::string& bytes) { recordfiles::appendBytes(path, bytes); }

void QtHost::underRecordLock(const std::string& folder, const std::function<void()>& step)
{
    recordfiles::underLock(folder, step);
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
