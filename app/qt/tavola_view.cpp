// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/tavola_view.h"

#include <QCloseEvent>
#include <QResizeEvent>
#include <QShortcut>
#include <QTimer>

#include <chrono>
#include <thread>

#include "app/qt/artwork.h"
#include "app/qt/backdrop.h"

namespace zanfiro {

namespace {

constexpr std::array<Ctl, 2> timerControls{Ctl::Timer1, Ctl::Timer2};

} // namespace

TavolaView::TavolaView(Tavola& tavola, Dispatch dispatch, QWidget* parent)
    : QMainWindow(parent), m_tavola(tavola), m_dispatch(std::move(dispatch))
{
    setObjectName(QStringLiteral("Tavola"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    m_backdrop = new Backdrop([this] { run(&Tavola::Form_Click); }, this);
    m_backdrop->setObjectName(QStringLiteral("client"));
    m_backdrop->setMinimumSize(Zoom{minimumZoom, {}}.area().size());
    m_backdrop->setCursor(artwork::crosshairCursor(devicePixelRatioF()));
    connect(m_backdrop, &Backdrop::resized, this, &TavolaView::fitToClient);
    setCentralWidget(m_backdrop);
    // The whiteboard's key; the design's menus stay as they are.
    connect(new QShortcut(QKeySequence(Qt::Key_F11), this), &QShortcut::activated, this, &TavolaView::toggleFullScreen);
    buildMenu();
    buildControls();
    for (std::size_t i = 0; i < timerControls.size(); ++i) {
        auto* timer = new QTimer(this);
        timer->setObjectName(QString::fromUtf8(m_tavola.controls()[index(timerControls[i])].name.data()));
        // The countdown's 301 ticks must not drift by the few per cent a coarse timer allows.
        timer->setTimerType(Qt::PreciseTimer);
        const Tavola::Handler handler = timerControls[i] == Ctl::Timer1 ? &Tavola::Timer1_Timer : &Tavola::Timer2_Timer;
        connect(timer, &QTimer::timeout, this, [this, handler] { run(handler); });
        m_timers[i] = timer;
    }
    // The design size until told otherwise; a window sized by Qt would be cut to the screen.
    resize(sizeHint());
}

TavolaView::~TavolaView() = default;

QWidget* TavolaView::client() const { return m_backdrop->area(); }

QWidget* TavolaView::widgetOf(Ctl id) const
{
    for (const Binding& binding : m_bindings)
        if (binding.id == id)
            return binding.widget;
    return nullptr;
}

QTimer* TavolaView::timerOf(Ctl id) const
{
    for (std::size_t i = 0; i < timerControls.size(); ++i)
        if (timerControls[i] == id)
            return m_timers[i];
    return nullptr;
}

void TavolaView::run(Tavola::Handler handler, std::optional<int> windowState)
{
    // A retired window's events, and those that reach it while the model is unloaded, are lost.
    if (m_retired || !m_tavola.loaded())
        return;
    if (windowState) {
        if (*windowState == m_tavola.form().windowState)
            return;
        m_tavola.setWindowState(*windowState);
    }
    if (handler)
        m_dispatch(handler);
}

void TavolaView::syncTimers()
{
    const Controls& controls = m_tavola.controls();
    for (std::size_t i = 0; i < timerControls.size(); ++i) {
        QTimer* timer = m_timers[i];
        if (!timer)
            continue;
        const Control& control = controls[index(timerControls[i])];
        if (timer->interval() != control.interval)
            timer->setInterval(control.interval);
        const bool on = control.enabled && control.interval > 0;
        // Switching on a running timer keeps its phase: start() would restart it.
        if (on && !timer->isActive())
            timer->start();
        else if (!on && timer->isActive())
            timer->stop();
    }
}

void TavolaView::holdFrame(int ms)
{
    sync();
    if (isVisible() && m_bandsDirty)
        m_backdrop->repaint();
    // The controls' area paints its own part of the backdrop.
    if (isVisible() && (m_bandsDirty || !m_dirty.isEmpty()))
        client()->repaint(m_bandsDirty ? QRegion(client()->rect()) : m_dirty);
    // And what a control sticking out of the area shows in a margin.
    const QRegion margins = (m_dirty.translated(client()->pos()) - client()->geometry()) & m_backdrop->rect();
    if (isVisible() && !m_bandsDirty && !margins.isEmpty())
        m_backdrop->repaint(margins);
    // The flash owns the program for this long: no click, tick or repaint gets in.
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void TavolaView::retire()
{
    m_retired = true;
    for (QPointer<QTimer>& timer : m_timers) {
        if (timer)
            timer->stop();
        delete timer.data();
    }
    hide();
    deleteLater();
}

void TavolaView::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    const Qt::WindowStates states = windowState();
    // Full screen is the whiteboard's way of maximising.
    const bool maximised = states & (Qt::WindowMaximized | Qt::WindowFullScreen);
    const int state = (states & Qt::WindowMinimized) ? 1 : maximised ? 2 : 0;
    // A window about to be shown gets its Form_Resize from the show itself.
    run(isVisible() ? &Tavola::Form_Resize : nullptr, state);
}

void TavolaView::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (event->oldSize().isValid() && event->oldSize() != event->size())
        run(&Tavola::Form_Resize);
}

void TavolaView::toggleFullScreen()
{
    // Leaving full screen goes back to a maximised window if it was one.
    setWindowState(windowState() ^ Qt::WindowFullScreen);
}

void TavolaView::fitToClient()
{
    const Zoom zoom = Zoom::fitting(m_backdrop->size());
    client()->setGeometry(zoom.area());
    const bool rescaled = zoom.scale != m_zoom.scale;
    m_zoom = zoom;
    if (!rescaled || m_retired || !m_tavola.loaded())
        return;
    m_backdrop->setCursor(artwork::crosshairCursor(devicePixelRatioF(), m_zoom));
    const Controls& controls = m_tavola.controls();
    for (Binding& binding : m_bindings)
        dress(binding.widget, controls[index(binding.id)]);
    // Places follow the fonts: a label that sizes itself measures its caption in the new one.
    for (Binding& binding : m_bindings)
        apply(binding, controls[index(binding.id)]);
}

void TavolaView::closeEvent(QCloseEvent* event)
{
    // The close box ends the game at once, silently: no record is kept, only the teacher's log
    // line is written.
    event->ignore();
    run(&Tavola::closeBox);
}

} // namespace zanfiro
