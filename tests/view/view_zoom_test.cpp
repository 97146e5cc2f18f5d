// SPDX-License-Identifier: GPL-3.0-or-later
// The window at other sizes: one zoom for places, fonts, pictures and pointers, the design's
// area centred with the backdrop around it, and clicks and taps landing where the pupil sees
// the controls. The same tests run again at device pixel ratio 2 (QT_SCALE_FACTOR=2).
#include "view_fixture.h"

#include <QFontInfo>
#include <QMenuBar>
#include <QPointingDevice>
#include <QScreen>

#include <cmath>

#include "app/qt/control_widgets.h"
#include "app/qt/zoom.h"

using namespace zanfiro;
using namespace zanfiro::test;

namespace {

struct ZoomCase {
    double scale;
    QSize margins; // client size beyond the zoomed design, split evenly both sides
};

std::string zoomName(const ::testing::TestParamInfo<ZoomCase>& info)
{
    const ZoomCase& zoom = info.param;
    return "x" + std::to_string(std::lround(zoom.scale * 100)) + (zoom.margins.width() > 0 ? "_sides" : "_topBottom");
}

constexpr Ctl targets[] = {Ctl::paricmd, Ctl::paricmd1, Ctl::paricmd2, Ctl::disparicmd, Ctl::disparicmd1, Ctl::disparicmd2};

// A pixel of a grabbed picture, whatever its device pixel ratio, at a point in logical pixels.
QColor pixel(const QImage& image, QPoint at)
{
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor(qFloor((at.x() + 0.5) * ratio), qFloor((at.y() + 0.5) * ratio));
}

QColor rgb(Colour colour) { return widgetColour(colour); }

} // namespace

class Zoomed : public ViewTest, public ::testing::WithParamInterface<ZoomCase> {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        const ZoomCase& zoom = GetParam();
        scale = zoom.scale;
        offset = QPoint(zoom.margins.width() / 2, zoom.margins.height() / 2);
        const QSize client = QSize(qRound(608 * scale), qRound(672 * scale)) + zoom.margins;
        view->resize(client + QSize(0, view->menuBar()->height()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return backdrop()->size() == client; }));
        dispatched.clear(); // the resize's Form_Resize
        // A run at another ratio says which; a screen setting Qt ignored would pass unnoticed.
        if (const QByteArray ratio = qgetenv("ZANFIRO_TEST_PIXEL_RATIO"); !ratio.isEmpty()) {
            ASSERT_EQ(view->devicePixelRatioF(), ratio.toDouble());
        }
    }

    QWidget* backdrop() const { return view->centralWidget(); }
    // Where a rectangle of the design shows in the client area, by the zoom's definition.
    QRect expected(int left, int top, int width, int height) const
    {
        const auto px = [this](double v) { return qRound(v * scale); };
        return QRect(QPoint(px(left), px(top)), QPoint(px(left + width) - 1, px(top + height) - 1)).translated(offset);
    }
    QRect shown(Ctl id) const { return QRect(widget(id)->mapTo(backdrop(), QPoint(0, 0)), widget(id)->size()); }
    QPoint scaledCentre(Ctl id)
    {
        const Control& c = model(id);
        return expected(c.left, c.top, c.width, c.height).center();
    }
    void bandsOnly()
    {
        tavola.formModel().hasBackdrop = true;
        for (std::size_t i = 0; i < bandCount; ++i)
            tavola.formModel().bands[i] = 0x0000FFu * (i / 16 % 2) | static_cast<Colour>(i) << 8;
        view->sync();
    }

    double scale = 1;
    QPoint offset;
};

TEST_P(Zoomed, EveryControlIsItsDesignRectangleTimesTheZoomPlusTheOffset)
{
    for (const Control& control : tavola.controls()) {
        if (control.kind == ControlKind::Timer)
            continue;
        const QRect want = expected(control.left, control.top, control.width, control.height);
        const QRect got = shown(control.id);
        EXPECT_LE((got.topLeft() - want.topLeft()).manhattanLength(), 1) << control.name;
        if (!(control.kind == ControlKind::Label && control.autoSize)) {
            EXPECT_NEAR(got.width(), want.width(), 1) << control.name;
            EXPECT_NEAR(got.height(), want.height(), 1) << control.name;
        }
        const double points = control.font.pointSize > 0 ? control.font.pointSize : 8.25;
        EXPECT_NEAR(QFontInfo(widget(control.id)->font()).pixelSize(), points * 96 / 72 * scale, 1) << control.name;
    }
    EXPECT_EQ(view->client()->geometry(), expected(0, 0, 608, 672));
}

TEST_P(Zoomed, PicturesAndPointersAreDrawnForTheZoomAndThePixelRatio)
{
    const qreal ratio = view->devicePixelRatioF();
    for (const Ctl id : {Ctl::cmdExit, Ctl::cmdNext}) {
        const QPixmap picture = static_cast<ControlButton*>(widget(id))->currentPicture();
        EXPECT_NEAR(picture.deviceIndependentSize().width(), 32 * scale, 1) << index(id);
        EXPECT_EQ(picture.devicePixelRatio(), ratio);
    }
    model(Ctl::paricmd).visible = true;
    view->sync();
    for (const QCursor& pointer : {widget(Ctl::paricmd)->cursor(), backdrop()->cursor()}) {
        EXPECT_NEAR(pointer.pixmap().deviceIndependentSize().width(), 32 * scale, 1);
        EXPECT_EQ(pointer.pixmap().devicePixelRatio(), ratio);
    }
    EXPECT_NEAR(widget(Ctl::paricmd)->cursor().hotSpot().x(), 10.5 * scale, 1);
}

TEST_P(Zoomed, TheBandsSpanTheWholeClientMarginsIncluded)
{
    bandsOnly();
    for (QWidget* w : view->client()->findChildren<QWidget*>())
        w->hide();
    const QImage image = backdrop()->grab().toImage();
    const auto& bands = tavola.form().bands;
    const int bottom = backdrop()->height() - 1;
    const int right = backdrop()->width() - 1;
    for (const int x : {0, right / 2, right}) {
        EXPECT_EQ(pixel(image, {x, 0}), rgb(bands.front())) << x;
        EXPECT_EQ(pixel(image, {x, bottom}), rgb(bands.back())) << x;
    }
    // Each row is one band across margins and area alike, and the bands follow each other down.
    int band = 0;
    for (int y = 0; y <= bottom; ++y) {
        const QColor left = pixel(image, {0, y});
        EXPECT_EQ(pixel(image, {right / 2, y}), left) << "row " << y;
        EXPECT_EQ(pixel(image, {right, y}), left) << "row " << y;
        while (band < int(bandCount) - 1 && rgb(bands[std::size_t(band)]) != left)
            ++band;
        EXPECT_EQ(rgb(bands[std::size_t(band)]), left) << "row " << y << " is out of order";
        EXPECT_NEAR(band, (y + 0.5) * bandCount / backdrop()->height(), 1) << "row " << y;
    }
}

// A target moved past the design's edge stays out of sight, though the client goes on there.
TEST_P(Zoomed, AControlPastTheDesignAreaIsNotDrawnInTheMargin)
{
    bandsOnly();
    showTarget(Ctl::disparicmd2, 300, 680);
    showTarget(Ctl::disparicmd1, 612, 300);
    const QImage image = backdrop()->grab().toImage();
    const QRect margins = backdrop()->rect();
    int checked = 0;
    for (const Ctl id : {Ctl::disparicmd2, Ctl::disparicmd1}) {
        const QRect place = expected(model(id).left, model(id).top, 81, 81).intersected(margins);
        for (int y = place.top(); y <= place.bottom(); y += 3)
            for (int x = place.left(); x <= place.right(); x += 3, ++checked)
                ASSERT_NE(pixel(image, {x, y}), QColor(Qt::cyan)) << "at " << x << "," << y;
    }
    EXPECT_EQ(checked > 0, !GetParam().margins.isNull());
}

// Where the zoom leaves a margin, a control partly past the design's edge shows whole there, and
// its outer part takes its clicks: no "Punti complessivi" without its P, no Exit without its border.
TEST_P(Zoomed, AControlPartlyPastTheDesignAreaIsDrawnWholeInTheMargin)
{
    if (GetParam().margins.isNull())
        GTEST_SKIP() << "no margin: the window's edge cuts the controls, as at the design size";
    bandsOnly();
    showTarget(Ctl::disparicmd2, 300, 600);
    const QImage image = backdrop()->grab().toImage();
    const QRect area = view->client()->geometry();
    if (GetParam().margins.height() > 0) {
        EXPECT_EQ(pixel(image, {shown(Ctl::disparicmd2).center().x(), area.bottom() + 2}), QColor(Qt::cyan));
        return;
    }
    const QRect exit = shown(Ctl::cmdExit);
    const QRect label = shown(Ctl::Label6);
    ASSERT_GT(exit.right(), area.right());
    ASSERT_LT(label.left(), area.left());
    EXPECT_EQ(pixel(image, {exit.right(), exit.center().y()}), QColor(Qt::black)) << "Exit's right border";
    const int y = label.center().y();
    EXPECT_NE(pixel(image, {label.left(), y}), pixel(image, {label.left() - 1, y})) << "the label's left border";
    dispatched.clear();
    QTest::mouseClick(backdrop(), Qt::LeftButton, {}, QPoint(exit.right() - 1, exit.center().y()));
    EXPECT_EQ(dispatched, std::vector<std::string>{"cmdExit_Click"});
}

// What reaches the screen is what the window draws: each new backdrop reaches the controls'
// area as well as the margins, and a target that moves or hides leaves no trail.
TEST_P(Zoomed, TheScreenKeepsUpWithTurnsAndShuffles)
{
    if (view->devicePixelRatioF() != 1.0)
        GTEST_SKIP() << "the offscreen platform grabs its screen at ratio 1 only";
    runHandlers = true;
    tavola.dispatch(&Tavola::Form_Click);
    for (int i = 0; i < 24; ++i) {
        tavola.dispatch(i % 3 == 0 ? &Tavola::cmdNext_Click : &Tavola::Timer2_Timer);
        view->sync();
        QTest::qWait(2);
    }
    QTest::qWait(20);
    const QImage onScreen = view->screen()->grabWindow(view->winId()).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage drawn = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(onScreen.size(), drawn.size());
    int stale = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            stale += onScreen.pixel(x, y) != drawn.pixel(x, y);
    EXPECT_EQ(stale, 0);
}

TEST_P(Zoomed, AClickAtEachTargetsScaledCentreHitsIt)
{
    for (const Ctl id : targets) {
        for (const Ctl other : targets)
            model(other).visible = other == id;
        view->sync();
        dispatched.clear();
        QTest::mouseClick(backdrop(), Qt::LeftButton, {}, scaledCentre(id));
        EXPECT_EQ(dispatched, std::vector<std::string>{handlerName(Tavola::clickHandler(id))});
    }
    dispatched.clear();
    QTest::mouseClick(backdrop(), Qt::LeftButton, {}, scaledCentre(Ctl::cmdExit));
    QTest::mouseClick(backdrop(), Qt::LeftButton, {}, scaledCentre(Ctl::cmdNext));
    QTest::mouseClick(backdrop(), Qt::LeftButton, {}, QPoint(backdrop()->width() - 1, backdrop()->height() - 1));
    EXPECT_EQ(dispatched, (std::vector<std::string>{"cmdExit_Click", "Form_Click", "Form_Click"}));
}

TEST_P(Zoomed, ATapIsAClickAndASlideOffATargetIsNot)
{
    runHandlers = true;
    static QPointingDevice* const screen = QTest::createTouchDevice(QInputDevice::DeviceType::TouchScreen);
    // A touch reaches only a window on a screen: the window moves so that the tap is in the
    // screen's middle, however large the zoomed window.
    const auto tap = [this](QPoint from, QPoint to) {
        const QPoint middle = view->screen()->geometry().center();
        view->move(view->pos() + middle - backdrop()->mapToGlobal(from));
        QTest::touchEvent(backdrop(), screen).press(0, from, backdrop());
        QTest::touchEvent(backdrop(), screen).move(0, (from + to) / 2, backdrop());
        QTest::touchEvent(backdrop(), screen).move(0, to, backdrop());
        QTest::touchEvent(backdrop(), screen).release(0, to, backdrop());
        QCoreApplication::processEvents();
    };
    showTarget(Ctl::paricmd, 160, 104);
    const QPoint target = scaledCentre(Ctl::paricmd);
    tap(target, target + QPoint(qRound(50 * scale), 0));
    EXPECT_TRUE(dispatched.empty()) << "a slide off the target";
    tap(target, target);
    EXPECT_EQ(dispatched, std::vector<std::string>{"paricmd_Click"});
    EXPECT_EQ(model(Ctl::Punteggio).caption, " 1");
    dispatched.clear();
    runHandlers = false;
    tap(scaledCentre(Ctl::cmdNext), scaledCentre(Ctl::cmdNext));
    tap(scaledCentre(Ctl::cmdExit), scaledCentre(Ctl::cmdExit));
    EXPECT_EQ(dispatched, (std::vector<std::string>{"Form_Click", "cmdExit_Click"}));
}

INSTANTIATE_TEST_SUITE_P(Scales, Zoomed,
    ::testing::Values(ZoomCase{0.75, {120, 0}}, ZoomCase{0.75, {0, 90}}, ZoomCase{1.0, {120, 0}}, ZoomCase{1.0, {0, 0}},
        ZoomCase{1.5, {0, 90}}, ZoomCase{1.5, {200, 0}}, ZoomCase{2.5, {120, 0}}, ZoomCase{2.5, {0, 90}}),
    zoomName);

TEST_F(ViewTest, F11TogglesFullScreenAndTheZoomFollowsTheClientHeight)
{
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    QTest::keyClick(view.get(), Qt::Key_F11);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->isFullScreen(); }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->zoom().scale == double(view->centralWidget()->height()) / 672; }))
        << view->zoom().scale << " for a client " << view->centralWidget()->height() << " high";
    EXPECT_EQ(tavola.form().windowState, 2);
    QTest::keyClick(view.get(), Qt::Key_F11);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isFullScreen(); }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->client()->size() == QSize(608, 672); }));
    EXPECT_EQ(tavola.form().windowState, 0);
}

TEST_F(ViewTest, MaximisingRunsFormResizeAndZoomsTheWindowIn)
{
    view->setWindowState(Qt::WindowMaximized);
    EXPECT_EQ(tavola.form().windowState, 2);
    ASSERT_FALSE(dispatched.empty());
    EXPECT_EQ(dispatched.front(), "Form_Resize");
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->zoom().scale > 1.0; })) << "a window maximised on an 800-pixel screen";
}

struct Opening {
    QRect available;
    double zoom;
};

class OpeningPlace : public ::testing::TestWithParam<Opening> {};

// The design size where it fits with its frame and menu; else the largest zoom that does,
// never below one half; centred either way.
TEST_P(OpeningPlace, FitsTheAvailableAreaWithItsFrame)
{
    const QMargins frame(4, 30, 4, 4);
    const int menu = 22;
    const Opening& opening = GetParam();
    const QRect window = openingGeometry(opening.available, frame, menu);
    EXPECT_NEAR(window.height() - menu, 672 * opening.zoom, 1);
    EXPECT_NEAR(window.width(), 608 * opening.zoom, 1);
    const QRect framed = window.marginsAdded(frame);
    if (opening.zoom > 0.5) {
        EXPECT_TRUE(opening.available.contains(framed)) << "the whole window in the work area";
    }
    EXPECT_LE(std::abs((framed.center() - opening.available.center()).manhattanLength()), 2);
}

INSTANTIATE_TEST_SUITE_P(Screens, OpeningPlace,
    ::testing::Values(Opening{QRect(0, 0, 1920, 1040), 1.0}, Opening{QRect(0, 0, 1280, 672), (672.0 - 56) / 672},
        Opening{QRect(0, 48, 1366, 720), (720.0 - 56) / 672}, Opening{QRect(100, 0, 1024, 560), (560.0 - 56) / 672},
        Opening{QRect(0, 0, 640, 300), 0.5}));
