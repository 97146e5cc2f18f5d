// SPDX-License-Identifier: GPL-3.0-or-later
// The real host's boxes, answered by a robot that works them with the keyboard as a pupil
// would, and the real window through a whole start-up and a new game.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>

#include "app/qt/qt_host.h"
#include "app/qt/tavola_view.h"
#include "app/tavola.h"

using namespace zanfiro;

namespace {

// Polls for the open modal box and gives each new one to the next step of its script.
class BoxRobot {
public:
    std::deque<std::function<void(QWidget*)>> steps;

    BoxRobot()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }

private:
    void poll()
    {
        QWidget* box = QApplication::activeModalWidget();
        if (!box || box->property("answered").toBool() || steps.empty())
            return;
        box->setProperty("answered", true);
        const auto step = std::move(steps.front());
        steps.pop_front();
        step(box);
    }

    QTimer m_timer;
};

std::function<void(QWidget*)> press(Qt::Key key)
{
    return [key](QWidget* box) { QTest::keyClick(box, key); };
}

std::function<void(QWidget*)> typeName(const QString& name)
{
    return [name](QWidget* box) {
        QTest::keyClicks(box->findChild<QLineEdit*>(), name);
        QTest::keyClick(box, Qt::Key_Return);
    };
}

struct BoxCase {
    const char* name;
    int buttons;
    std::function<void(QWidget*)> act;
    int answer;
};

QPushButton* buttonNamed(QWidget* box, const QString& text)
{
    for (QPushButton* button : box->findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    return nullptr;
}

const BoxCase boxCases[] = {
    {"OkByEnter", box::okOnly, press(Qt::Key_Return), answer::ok},
    {"OkByEscape", box::okOnly, press(Qt::Key_Escape), answer::ok},
    {"OkByCloseBox", box::okOnly, [](QWidget* box) { box->close(); }, answer::ok},
    {"NoIsTheDefault", box::yesNoQuestionDefaultNo, press(Qt::Key_Return), answer::no},
    {"EscapeSaysNo", box::yesNoQuestionDefaultNo, press(Qt::Key_Escape), answer::no},
    {"CloseBoxSaysNo", box::yesNoQuestionDefaultNo, [](QWidget* box) { box->close(); }, answer::no},
    {"OnlyYesSaysYes", box::yesNoQuestionDefaultNo,
        [](QWidget* box) { buttonNamed(box, QString::fromUtf8("Sì"))->click(); }, answer::yes},
    {"YesIsTheDefaultWithoutTheFlag", box::yesNo, press(Qt::Key_Return), answer::yes},
};

} // namespace

class HostBox : public ::testing::TestWithParam<BoxCase> {};

TEST_P(HostBox, AnswersAsThePupilClosedIt)
{
    QtHost host{recordfiles::RecordSettings{}};
    BoxRobot robot;
    robot.steps.push_back(GetParam().act);
    EXPECT_EQ(host.msgBox("Domanda", GetParam().buttons, "Zanfiro"), GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(Boxes, HostBox, ::testing::ValuesIn(boxCases),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QtHost, BoxesShowTheirTextLiterallyWithTitleAndIcon)
{
    QtHost host{recordfiles::RecordSettings{}};
    BoxRobot robot;
    QString text;
    QString title;
    QMessageBox::Icon icon{};
    robot.steps.push_back([&](QWidget* box) {
        auto* message = qobject_cast<QMessageBox*>(box);
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(message->textFormat(), Qt::PlainText);
        text = message->text();
        title = message->windowTitle();
        icon = message->icon();
        message->close();
    });
    host.msgBox("  <b>Anna</b> <img src=x>\n", box::question, "INIZIARE NUOVA GARA");
    EXPECT_EQ(text, QStringLiteral("  <b>Anna</b> <img src=x>\n"));
    EXPECT_EQ(title, QStringLiteral("INIZIARE NUOVA GARA"));
    EXPECT_EQ(icon, QMessageBox::Question);
}

TEST(QtHost, InputBoxReturnsWhatWasTypedOrNothingOnCancel)
{
    QtHost host{recordfiles::RecordSettings{}};
    BoxRobot robot;
    robot.steps.push_back([](QWidget* box) {
        for (QLabel* label : box->findChildren<QLabel*>())
            EXPECT_EQ(label->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Zanfiro"));
        typeName(QStringLiteral("<b>Anna</b>"))(box);
    });
    robot.steps.push_back([](QWidget* box) {
        QTest::keyClicks(box->findChild<QLineEdit*>(), QStringLiteral("Bea"));
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(host.inputBox("Come ti chiami?", "Zanfiro"), "<b>Anna</b>");
    EXPECT_EQ(host.inputBox("Come ti chiami?", "Zanfiro"), "");
}

// Start-up, then "Nuovo gioco" answered Yes from the window's own menu: the old window and its
// timers are gone before the name is asked again, and a window with the design values comes up.
TEST(QtHost, NewGameReplacesTheWindowWhileItsMenuIsStillRunning)
{
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QtHost host{recordfiles::RecordSettings{}};
    Tavola tavola(host);
    host.attach(tavola);
    BoxRobot robot;
    QStringList boxes;
    const auto note = [&boxes](QWidget* box) {
        if (auto* message = qobject_cast<QMessageBox*>(box))
            boxes << message->text();
        else
            boxes << box->windowTitle();
    };
    robot.steps.push_back([&](QWidget* box) { note(box); typeName(QStringLiteral("Anna"))(box); });
    robot.steps.push_back([&](QWidget* box) { note(box); press(Qt::Key_Return)(box); });
    host.start();

    QPointer<TavolaView> first = host.view();
    ASSERT_FALSE(first.isNull());
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->findChild<QLabel*>(QStringLiteral("lblnome1"))->text(), QStringLiteral("Anna"));

    bool oldWindowGoneDuringPrompt = false;
    robot.steps.push_back([&](QWidget* box) { note(box); buttonNamed(box, QString::fromUtf8("Sì"))->click(); });
    robot.steps.push_back([&](QWidget* box) {
        note(box);
        oldWindowGoneDuringPrompt = first && !first->isVisible() && !first->timerOf(Ctl::Timer1)
            && !first->timerOf(Ctl::Timer2);
        typeName(QStringLiteral("Bea"))(box);
    });
    robot.steps.push_back([&](QWidget* box) { note(box); press(Qt::Key_Return)(box); });
    // From the event loop, as a click on the menu comes: the old window may go only when the
    // handler has returned to it.
    QEventLoop loop;
    QTimer::singleShot(0, [&] {
        first->findChild<QAction*>(QStringLiteral("Next"))->trigger();
        loop.quit();
    });
    loop.exec();

    EXPECT_TRUE(oldWindowGoneDuringPrompt);
    EXPECT_EQ(boxes, (QStringList{"Zanfiro", " Anna vediamo se sei un vero campione  ",
                         "INIZIAMO UNA NUOVA GARA  ?", "Zanfiro", " Bea vediamo se sei un vero campione  "}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    TavolaView* second = host.view();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(second->windowTitle(), QStringLiteral("Zanfiro"));
    EXPECT_EQ(second->findChild<QLabel*>(QStringLiteral("lblnome1"))->text(), QStringLiteral("Bea"));
    EXPECT_FALSE(second->findChild<QWidget*>(QStringLiteral("paricmd"))->isVisible());
    EXPECT_FALSE(second->timerOf(Ctl::Timer2)->isActive());
    delete second;
}

class OpeningWindow : public ::testing::TestWithParam<bool> {};

std::string shown(const QRect& r)
{
    return QStringLiteral("%1x%2%3%4%5%6").arg(r.width()).arg(r.height()).arg(r.x() < 0 ? "" : "+").arg(r.x())
        .arg(r.y() < 0 ? "" : "+").arg(r.y()).toStdString();
}

// The first window opens where it fits on the screen, or full screen when asked; a new game's
// window opens just as the last one was.
TEST_P(OpeningWindow, OpensWhereItFitsAndANewGameKeepsItsPlace)
{
    const bool fullScreen = GetParam();
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QtHost host{recordfiles::RecordSettings{}};
    host.startFullScreen(fullScreen);
    Tavola tavola(host);
    host.attach(tavola);
    BoxRobot robot;
    robot.steps.push_back(typeName(QStringLiteral("Anna")));
    robot.steps.push_back(press(Qt::Key_Return));
    host.start();
    QPointer<TavolaView> first = host.view();
    ASSERT_FALSE(first.isNull());
    // The state is set at once, the geometry when the window system has answered: Windows answers
    // later than X11 does.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return first->isFullScreen() == fullScreen && (!fullScreen || first->geometry() == first->screen()->geometry());
    })) << "at " << shown(first->geometry());
    const QRect place = first->geometry();
    if (!fullScreen) {
        EXPECT_EQ(first->client()->size(), QSize(608, 672)) << "the design size fits an 800-pixel screen";
        EXPECT_TRUE(first->screen()->availableGeometry().contains(place));
    }

    robot.steps.push_back([](QWidget* box) { buttonNamed(box, QString::fromUtf8("Sì"))->click(); });
    robot.steps.push_back(typeName(QStringLiteral("Bea")));
    robot.steps.push_back(press(Qt::Key_Return));
    QEventLoop loop;
    QTimer::singleShot(0, [&] {
        first->findChild<QAction*>(QStringLiteral("Next"))->trigger();
        loop.quit();
    });
    loop.exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    TavolaView* second = host.view();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return second->isFullScreen() == fullScreen && second->geometry() == place; }))
        << "full screen " << second->isFullScreen() << ", at " << shown(second->geometry()) << " for " << shown(place);
    delete second;
}

INSTANTIATE_TEST_SUITE_P(AsAskedFor, OpeningWindow, ::testing::Values(false, true),
    [](const auto& info) { return info.param ? "FullScreen" : "WhereItFits"; });
