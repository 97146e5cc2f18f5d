// SPDX-License-Identifier: GPL-3.0-or-later
// What the window costs on screen: painting the backdrop, and one event of play with the view
// brought in line with the model afterwards. It runs offscreen unless told otherwise, so the
// figures are Qt's raster painting alone, with no X server or compositor in them. The flash's
// held frames are left out: this host holds no frame (or shows it without holding it).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QMainWindow>
#include <QMenuBar>
#include <QWindow>

#include <array>
#include <memory>
#include <optional>

#include "app/qt/backdrop.h"
#include "app/qt/control_widgets.h"
#include "app/qt/tavola_view.h"
#include "app/tavola.h"
#include "bench/quiet_host.h"

namespace {

using namespace zanfiro;

// Its name prompt answers "Anna", so the window carries a name as in play.
struct BenchHost : bench::QuietHost {
    BenchHost() { name = "Anna"; }
};

// Counts the backdrop's paint events, to show that a figure "to screen" did paint.
class PaintCounter : public QObject {
public:
    long long paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// One event of play. A click lands on a target the pupil can see: what showed it is not timed.
struct Event {
    Tavola::Handler handler;
    std::optional<Ctl> clicked;
};

const Event shuffleTick{&Tavola::Timer2_Timer, std::nullopt};
const Event turnRefresh{&Tavola::cmdNext_Click, std::nullopt};
const Event hit{&Tavola::paricmd_Click, Ctl::paricmd};
const Event miss{&Tavola::disparicmd_Click, Ctl::disparicmd};

// A started game with its window built, shown and painted. The window's own timers still fire
// inside processEvents; the dispatcher drops their events, so only the measured handlers play.
struct ShownWindow {
    ShownWindow()
    {
        tavola.start();
        tavola.Form_Click();
        view = std::make_unique<TavolaView>(tavola, [](Tavola::Handler) { });
        view->sync();
        view->show();
        while (!view->windowHandle()->isExposed())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::processEvents();
        view->client()->installEventFilter(&counter);
    }
    // What the event loop does once a handler returns: the changed parts reach the screen.
    static void toScreen() { QCoreApplication::processEvents(); }
    // Outside the timing: the repaints still pending go through, so they never pile up from one
    // iteration to the next, and the target about to be clicked is on screen.
    void prepare(benchmark::State& bench, const Event& event)
    {
        bench.PauseTiming();
        const long long paints = counter.paints;
        tavola.state().score = 0; // a long run of hits would otherwise overflow the score
        if (event.clicked) {
            tavola.ctl(*event.clicked).visible = true;
            view->sync();
        }
        toScreen();
        counter.paints = paints;
        bench.ResumeTiming();
    }
    void report(benchmark::State& bench) const
    {
        bench.counters["backdropPaints"]
            = benchmark::Counter(static_cast<double>(counter.paints), benchmark::Counter::kAvgIterations);
    }

    BenchHost host;
    Tavola tavola{host};
    PaintCounter counter;
    std::unique_ptr<TavolaView> view;
};

QImage deviceImage(QSize size, qreal ratio)
{
    QImage image((QSizeF(size) * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    return image;
}

qreal ratioOf(const benchmark::State& bench) { return static_cast<qreal>(bench.range(0)); }

// The 256 bands alone over the whole client, as a turn leaves them.
void backdropPaint(benchmark::State& bench)
{
    BenchHost host;
    Tavola tavola{host};
    tavola.start();
    Backdrop backdrop([] { });
    backdrop.setFixedSize(clientWidthPx, clientHeightPx);
    backdrop.setBands(true, tavola.form().bands);
    // The bands once: on screen the controls' area paints its part instead of the backdrop, but
    // a widget never shown would render both.
    backdrop.area()->hide();
    QImage image = deviceImage(backdrop.size(), ratioOf(bench));
    image.fill(Qt::magenta);
    backdrop.render(&image);
    // A bottom row still magenta would mean the bands were never painted.
    if (image.pixelColor(image.width() - 1, image.height() - 1) != widgetColour(tavola.form().bands.back())) {
        bench.SkipWithError("the backdrop did not paint its bands");
        return;
    }
    for (auto _ : bench) {
        backdrop.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(backdropPaint)->ArgName("ratio")->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The backdrop over a 4K whiteboard's whole client, against a bare widget of the same size that
// fills itself with one colour: the least any window of that size pays for a full repaint.
void largeBackdropPaint(benchmark::State& bench)
{
    const QSize whiteboard(3840, 2160);
    BenchHost host;
    Tavola tavola{host};
    tavola.start();
    Backdrop backdrop([] { });
    backdrop.setFixedSize(whiteboard);
    backdrop.setBands(true, tavola.form().bands);
    backdrop.area()->hide();
    QWidget bare;
    bare.setFixedSize(whiteboard);
    bare.setAutoFillBackground(true);
    QWidget& painted = bench.range(0) ? static_cast<QWidget&>(backdrop) : bare;
    QImage image = deviceImage(whiteboard, 1.0);
    for (auto _ : bench) {
        painted.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(largeBackdropPaint)->ArgName("backdrop")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A shown window resized between the design size and a full-HD screen, the events that follow
// handled and the window repainted: the game, whose every control follows the new zoom, against
// a bare main window with a menu bar, which only repaints.
void relayoutAfterResize(benchmark::State& bench)
{
    std::optional<ShownWindow> game;
    std::optional<QMainWindow> bare;
    QMainWindow* window = nullptr;
    if (bench.range(0)) {
        game.emplace();
        window = game->view.get();
    } else {
        bare.emplace();
        bare->menuBar()->addMenu(QStringLiteral("Zanfiro"));
        bare->setCentralWidget(new QWidget);
        bare->resize(608, 691);
        bare->show();
        window = &*bare;
    }
    QCoreApplication::processEvents();
    const std::array<QSize, 2> sizes{QSize(1920, 1080), window->size()};
    std::size_t next = 0;
    for (auto _ : bench) {
        window->resize(sizes[next]);
        next = 1 - next;
        QCoreApplication::processEvents();
    }
}
BENCHMARK(relayoutAfterResize)->ArgName("game")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The whole client with every control on it: what a full repaint costs.
void clientPaint(benchmark::State& bench)
{
    ShownWindow window;
    QWidget* client = window.view->client();
    QImage image = deviceImage(client->size(), ratioOf(bench));
    for (auto _ : bench) {
        client->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(clientPaint)->ArgName("ratio")->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The handler and the sync that follows it.
void handlerAndSync(benchmark::State& bench, Event event)
{
    ShownWindow window;
    for (auto _ : bench) {
        window.prepare(bench, event);
        (window.tavola.*event.handler)();
        window.view->sync();
    }
}
BENCHMARK_CAPTURE(handlerAndSync, shuffleTick, shuffleTick)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(handlerAndSync, turnRefresh, turnRefresh)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(handlerAndSync, hitWithoutHeldFrames, hit)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(handlerAndSync, missWithoutHeldFrames, miss)->Unit(benchmark::kMicrosecond);

// The handler, the sync and the repaint of what changed, as one event costs in the program.
// The flash's frames are shown as the program shows them, only not held.
void handlerToScreen(benchmark::State& bench, Event event)
{
    ShownWindow window;
    window.host.onFrame = [&window] { window.view->holdFrame(0); };
    for (auto _ : bench) {
        if (event.clicked)
            window.prepare(bench, event);
        (window.tavola.*event.handler)();
        window.view->sync();
        ShownWindow::toScreen();
    }
    window.report(bench);
}
BENCHMARK_CAPTURE(handlerToScreen, shuffleTick, shuffleTick)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(handlerToScreen, turnRefresh, turnRefresh)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(handlerToScreen, hitFramesShownNotHeld, hit)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(handlerToScreen, missFramesShownNotHeld, miss)->Unit(benchmark::kMicrosecond);

// The offscreen platform warns each time the fixed-size window tells it its size hints; that is
// no news here, and it would bury the table. Every other message goes through.
QtMessageHandler qtDefaultHandler = nullptr;

void dropSizeHintWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.contains(QLatin1String("propagateSizeHints")))
        qtDefaultHandler(type, context, message);
}

} // namespace

int main(int argc, char** argv)
{
    qtDefaultHandler = qInstallMessageHandler(dropSizeHintWarnings);
    // Offscreen unless told otherwise: the figures are our painting, not an X server's.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
