// SPDX-License-Identifier: GPL-3.0-or-later
// A window built from a started game on a scripted host. The dispatcher only writes down which
// handler an event would run, unless a test asks for the handlers to run for real.
#pragma once

// Mouse events go through the window, as a real click does, so routing between widgets counts.
#define QTEST_QPA_MOUSE_HANDLING

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../core/scripted_host.h"
#include "app/qt/tavola_view.h"
#include "app/tavola.h"

namespace zanfiro::test {

// The handler names events can reach, for readable failures.
std::string handlerName(Tavola::Handler handler);

class ViewHost : public ScriptedHost {
public:
    TavolaView* view = nullptr;
    std::function<void()> whileHeld; // runs inside each held frame, after the window is shown

    void holdFrame(int ms) override
    {
        ScriptedHost::holdFrame(ms);
        if (view)
            view->holdFrame(0);
        if (whileHeld)
            whileHeld();
    }
};

class ViewTest : public ::testing::Test {
protected:
    ViewHost host;
    Tavola tavola{host};
    std::unique_ptr<TavolaView> view;
    std::vector<std::string> dispatched;
    bool runHandlers = false;

    void SetUp() override
    {
        host.names = {"Anna"};
        tavola.start();
        // The clock stands still: a tick a second would land in any test that a loaded machine
        // slows past a second. The tests of the timers switch them on themselves.
        model(Ctl::Timer1).enabled = false;
        view = std::make_unique<TavolaView>(tavola, [this](Tavola::Handler handler) {
            dispatched.push_back(handlerName(handler));
            if (runHandlers)
                tavola.dispatch(handler);
            view->sync();
        });
        host.view = view.get();
        view->sync();
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }

    void TearDown() override
    {
        host.view = nullptr;
        view.reset();
    }

    QWidget* widget(Ctl id) const { return view->widgetOf(id); }
    Control& model(Ctl id) { return tavola.ctl(id); }
    const Controls designTable = designControls();
    const Control& design(Ctl id) const { return designTable[index(id)]; }

    // Centre of a control's widget in client co-ordinates.
    QPoint centreOf(Ctl id) const { return widget(id)->geometry().center(); }
    void click(QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(view->client(), button, {}, at);
    }
    void showTarget(Ctl id, int left, int top)
    {
        model(id).visible = true;
        model(id).left = left;
        model(id).top = top;
        view->sync();
    }
    QColor pixelAt(QWidget* widget, QPoint at) const { return widget->grab().toImage().pixelColor(at); }
};

} // namespace zanfiro::test
