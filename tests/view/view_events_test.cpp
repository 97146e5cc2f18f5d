// SPDX-License-Identifier: GPL-3.0-or-later
// Events into handlers: which click runs what, keys, pointers, tooltips, menu, timers, window state.
#include "view_fixture.h"

#include <QHelpEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolTip>

#include <optional>

using namespace zanfiro;
using namespace zanfiro::test;

namespace {

const QPoint bareBackground(300, 400);
// Inside lblMessage, which is hidden: a click there is a click on the window.
const QPoint hiddenLabelArea(124, 258);

struct RouteCase {
    const char* name;
    std::optional<Ctl> pressOn; // nullopt: the bare background
    std::optional<Ctl> releaseOn;
    Qt::MouseButton button;
    const char* runs; // empty: nothing
};

const RouteCase routeCases[] = {
    {"Background", std::nullopt, std::nullopt, Qt::LeftButton, "Form_Click"},
    {"DisabledStartButton", Ctl::cmdNext, Ctl::cmdNext, Qt::LeftButton, "Form_Click"},
    {"StartButtonThenBackground", Ctl::cmdNext, std::nullopt, Qt::LeftButton, "Form_Click"},
    {"VisibleLabel", Ctl::Label11, Ctl::Label11, Qt::LeftButton, ""},
    {"TransparentFrameLabel", Ctl::lblScore, Ctl::lblScore, Qt::LeftButton, ""},
    {"GoodTarget", Ctl::paricmd, Ctl::paricmd, Qt::LeftButton, "paricmd_Click"},
    {"Decoy", Ctl::disparicmd, Ctl::disparicmd, Qt::LeftButton, "disparicmd_Click"},
    {"ExitButton", Ctl::cmdExit, Ctl::cmdExit, Qt::LeftButton, "cmdExit_Click"},
    {"TargetReleasedOnBackground", Ctl::paricmd, std::nullopt, Qt::LeftButton, ""},
    {"BackgroundReleasedOnTarget", std::nullopt, Ctl::paricmd, Qt::LeftButton, ""},
    {"BackgroundReleasedOnLabel", std::nullopt, Ctl::Label11, Qt::LeftButton, ""},
    {"RightButtonOnBackground", std::nullopt, std::nullopt, Qt::RightButton, ""},
};

} // namespace

class ClickRouting : public ViewTest, public ::testing::WithParamInterface<RouteCase> {
protected:
    QPoint pointOf(std::optional<Ctl> id) const { return id ? centreOf(*id) : bareBackground; }
};

TEST_P(ClickRouting, RunsTheRightHandlerOrNone)
{
    showTarget(Ctl::paricmd, 160, 104);
    showTarget(Ctl::disparicmd, 384, 104);
    const RouteCase& route = GetParam();
    QTest::mousePress(view->client(), route.button, {}, pointOf(route.pressOn));
    QTest::mouseRelease(view->client(), route.button, {}, pointOf(route.releaseOn));
    const std::vector<std::string> expected = *route.runs ? std::vector<std::string>{route.runs}
                                                          : std::vector<std::string>{};
    EXPECT_EQ(dispatched, expected);
}

INSTANTIATE_TEST_SUITE_P(Clicks, ClickRouting, ::testing::ValuesIn(routeCases),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ViewTest, AClickInsideAHiddenLabelIsABackgroundClick)
{
    ASSERT_FALSE(widget(Ctl::lblMessage)->isVisible());
    ASSERT_TRUE(widget(Ctl::lblMessage)->geometry().contains(hiddenLabelArea));
    click(hiddenLabelArea);
    EXPECT_EQ(dispatched, std::vector<std::string>{"Form_Click"});
}

TEST_F(ViewTest, AltXClicksExitAndAltCDoesNothing)
{
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    QTest::keyClick(view.get(), Qt::Key_C, Qt::AltModifier);
    QTest::qWait(300); // longer than a button's animated click
    EXPECT_TRUE(dispatched.empty());
    QTest::keyClick(view.get(), Qt::Key_X, Qt::AltModifier);
    QTRY_COMPARE(dispatched, std::vector<std::string>{"cmdExit_Click"});
}

TEST_F(ViewTest, SpaceOnAFocusedTargetClicksIt)
{
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    showTarget(Ctl::paricmd1, 100, 300);
    widget(Ctl::paricmd1)->setFocus();
    QTest::keyClick(widget(Ctl::paricmd1), Qt::Key_Space);
    EXPECT_EQ(dispatched, std::vector<std::string>{"paricmd1_Click"});
}

TEST_F(ViewTest, PointersBelongToTheWindowExceptOverEnabledButtons)
{
    showTarget(Ctl::paricmd, 160, 104);
    showTarget(Ctl::paricmd2, 260, 304);
    const auto own = [this](Ctl id) { return widget(id)->testAttribute(Qt::WA_SetCursor); };
    EXPECT_EQ(view->client()->cursor().shape(), Qt::BitmapCursor) << "the crosshair over the window";
    EXPECT_FALSE(own(Ctl::Label11)) << "labels show the window's pointer";
    EXPECT_FALSE(own(Ctl::cmdNext)) << "the disabled start button shows the window's pointer";
    EXPECT_EQ(widget(Ctl::cmdExit)->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(widget(Ctl::paricmd2)->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(widget(Ctl::paricmd)->cursor().shape(), Qt::BitmapCursor) << "the four arrows";
    EXPECT_EQ(widget(Ctl::paricmd)->cursor().hotSpot(), QPoint(10, 10));
}

TEST_F(ViewTest, TheDisabledStartButtonShowsNoTooltip)
{
    const auto hover = [](QWidget* w) {
        QToolTip::hideText();
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), w->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(w, &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_TRUE(hover(widget(Ctl::cmdNext)).isEmpty());
    EXPECT_EQ(hover(widget(Ctl::cmdExit)), QStringLiteral("Ti prego resta ancora, forse riuscirai a farmi uscire "));
    QToolTip::hideText();
}

TEST_F(ViewTest, MenuBarHoldsTheDesignItemsAndOnlyNewGameRunsAHandler)
{
    QStringList top;
    for (QAction* action : view->menuBar()->actions())
        top << action->text();
    EXPECT_EQ(top, (QStringList{"Zanfiro", "Licenza", "Nuovo gioco", "Help"}));
    const QMenu* help = view->menuBar()->findChild<QMenu*>(QStringLiteral("hf"));
    ASSERT_NE(help, nullptr);
    ASSERT_EQ(help->actions().size(), 4);
    EXPECT_EQ(help->actions()[1]->text(), QString::fromUtf8("Ogni errore  ti farà perdere 4 punti."));

    for (const MenuItem& item : designMenu()) {
        auto* action = view->findChild<QAction*>(QString::fromUtf8(item.name.data(), qsizetype(item.name.size())));
        ASSERT_NE(action, nullptr) << item.name;
        if (action->menu())
            continue;
        dispatched.clear();
        action->trigger();
        const std::vector<std::string> expected = item.name == "Next" ? std::vector<std::string>{"Next_Click"}
                                                                      : std::vector<std::string>{};
        EXPECT_EQ(dispatched, expected) << item.name;
    }
}

TEST_F(ViewTest, TimersMirrorTheModelWithoutLosingTheirPhase)
{
    QTimer* shuffle = view->timerOf(Ctl::Timer2);
    ASSERT_NE(shuffle, nullptr);
    EXPECT_FALSE(shuffle->isActive());
    EXPECT_EQ(shuffle->timerType(), Qt::PreciseTimer);
    model(Ctl::Timer2).enabled = true;
    view->sync();
    ASSERT_TRUE(shuffle->isActive());
    EXPECT_EQ(shuffle->interval(), 1300);
    QTest::qWait(40);
    view->sync(); // switched on again while on: a restart would put the next tick 1300 ms away
    EXPECT_LT(shuffle->remainingTime(), 1290);
    model(Ctl::Timer2).enabled = false;
    view->sync();
    EXPECT_FALSE(shuffle->isActive());
}

TEST_F(ViewTest, TimerTicksRunTheirHandlers)
{
    model(Ctl::Timer1).enabled = true;
    model(Ctl::Timer1).interval = 5;
    view->sync();
    QTRY_VERIFY(!dispatched.empty());
    EXPECT_EQ(dispatched.front(), "Timer1_Timer");
}

TEST_F(ViewTest, MinimisingRenamesTheWindowAndRestoringKeepsTheName)
{
    runHandlers = true;
    view->setWindowState(Qt::WindowMinimized);
    EXPECT_EQ(tavola.form().windowState, 1);
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Brovenza"));
    view->setWindowState(Qt::WindowNoState);
    EXPECT_EQ(tavola.form().windowState, 0);
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Brovenza"));
    EXPECT_EQ(dispatched, (std::vector<std::string>{"Form_Resize", "Form_Resize"}));
}

TEST_F(ViewTest, AnUnloadedWindowStopsTickingAtOnceAndGoesAway)
{
    model(Ctl::Timer2).enabled = true;
    view->sync();
    QPointer<TavolaView> retired = view.release();
    retired->retire();
    EXPECT_EQ(retired->timerOf(Ctl::Timer1), nullptr);
    EXPECT_EQ(retired->timerOf(Ctl::Timer2), nullptr);
    EXPECT_FALSE(retired->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(retired.isNull());
    EXPECT_TRUE(dispatched.empty());
}
