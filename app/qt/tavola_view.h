// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QRegion>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/qt/zoom.h"
#include "app/tavola.h"

class QTimer;

namespace zanfiro {

class Backdrop;

// The window Tavola on screen: its widgets are built from the controls model by one loop and
// brought in line with it after every event. Every event enters the core through run(), as one
// handler call through the dispatcher, which brings the window in line again afterwards.
class TavolaView : public QMainWindow {
    Q_OBJECT
public:
    using Dispatch = std::function<void(Tavola::Handler)>;

    TavolaView(Tavola& tavola, Dispatch dispatch, QWidget* parent = nullptr);
    ~TavolaView() override;

    // Makes every widget, the caption, the backdrop and both timers match the model. Setting a
    // value the widget already has costs a comparison and nothing more.
    void sync();
    // Shows the model on screen at once, then holds it for ms milliseconds handling no event.
    void holdFrame(int ms);
    // The window was unloaded: its timers stop for good, and it goes away once the event that
    // unloaded it has returned.
    void retire();

    // The design's area, where the controls stand; the client area around it is the backdrop.
    QWidget* client() const;
    QWidget* widgetOf(Ctl id) const;
    QTimer* timerOf(Ctl id) const;
    const Zoom& zoom() const { return m_zoom; }
    void toggleFullScreen();

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // What was last given to a widget, so that an unchanged value is never set again.
    struct Applied {
        std::string caption;
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        double scale = 0; // the zoom the place was given at
        bool visible = false;
        bool enabled = false;
        std::optional<Colour> backColor;
        std::optional<Colour> foreColor;
    };
    struct Binding {
        Ctl id{};
        QWidget* widget = nullptr;
        std::optional<Applied> applied;
    };

    void buildControls();
    void buildMenu();
    QWidget* createWidget(const Control& control);
    // Font, frame, pictures and pointer for the zoom of the moment.
    void dress(QWidget* widget, const Control& control);
    void applyPointer(QWidget* widget, const Control& control);
    // The zoom that fits the client as it is now; everything on screen follows it.
    void fitToClient();
    // Brings one widget in line with its control, step by step; true when anything changed. Each
    // step sets what differs from what it last gave the widget, and says whether it did.
    bool apply(Binding& binding, const Control& control);
    bool applyCaption(QWidget* widget, Applied& last, const Control& control, bool first);
    bool applyPlace(QWidget* widget, Applied& last, const Control& control, bool first, bool captionChanged);
    bool applyColours(QWidget* widget, Applied& last, const Control& control, bool first);
    bool applyEnabled(QWidget* widget, Applied& last, const Control& control, bool first);
    bool applyVisible(QWidget* widget, Applied& last, const Control& control, bool first);
    void syncTimers();
    // Every event enters the core here. An event that changes the window's state hands the
    // model its new state first and runs nothing when the model already has it; a null handler
    // only hands over the state.
    void run(Tavola::Handler handler, std::optional<int> windowState = std::nullopt);

    Tavola& m_tavola;
    Dispatch m_dispatch;
    Backdrop* m_backdrop = nullptr;
    std::vector<Binding> m_bindings;
    std::array<QPointer<QTimer>, 2> m_timers;
    std::string m_caption;
    Zoom m_zoom;
    QRegion m_dirty; // what the last sync changed in the controls' area
    bool m_bandsDirty = false; // the last sync changed the backdrop
    bool m_retired = false;
};

} // namespace zanfiro
