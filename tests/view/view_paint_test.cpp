// SPDX-License-Identifier: GPL-3.0-or-later
// What reaches the screen: the backdrop's bands at any pixel ratio, and the flash of a target.
#include "view_fixture.h"

#include <QImage>
#include <QPainter>

using namespace zanfiro;
using namespace zanfiro::test;

namespace {

QImage renderClient(QWidget* client, qreal ratio)
{
    QImage image((QSizeF(client->size()) * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::magenta);
    client->render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    return image;
}

} // namespace

class BackdropRatio : public ViewTest, public ::testing::WithParamInterface<qreal> {};

TEST_P(BackdropRatio, BandsCoverTheWholeClientFromTopToBottom)
{
    runHandlers = true;
    // Nothing but the backdrop: the controls would hide the bands they cover.
    for (QWidget* w : view->client()->findChildren<QWidget*>())
        w->hide();
    tavola.dispatch(&Tavola::cmdNext_Click);
    view->sync();
    const int red = tavola.state().factor1 * 20;
    const int green = tavola.state().factor2 * 20;

    const QImage image = renderClient(view->client(), GetParam());
    ASSERT_EQ(image.height(), qRound(672 * GetParam()));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(red, green, 0));
    EXPECT_EQ(image.pixelColor(image.width() - 1, 0), QColor(red, green, 0));
    const QColor bottom = image.pixelColor(image.width() / 2, image.height() - 1);
    EXPECT_EQ(bottom, QColor(red, green, 255));
    // Every row is one band colour across the whole width, and blue never falls going down.
    int lastBlue = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QColor left = image.pixelColor(0, y);
        EXPECT_EQ(image.pixelColor(image.width() - 1, y), left) << "row " << y;
        EXPECT_EQ(left.red(), red) << "row " << y;
        EXPECT_EQ(left.green(), green) << "row " << y;
        EXPECT_GE(left.blue(), lastBlue) << "row " << y;
        lastBlue = left.blue();
    }
}

INSTANTIATE_TEST_SUITE_P(PixelRatios, BackdropRatio, ::testing::Values(1.0, 1.25, 2.0));

TEST_F(ViewTest, WithoutABackdropTheClientShowsTheDefaultBackground)
{
    tavola.formModel().hasBackdrop = false;
    view->sync();
    const QImage image = renderClient(view->client(), 1.0);
    EXPECT_EQ(image.pixelColor(300, 400), view->client()->palette().color(QPalette::Window));
}

TEST_F(ViewTest, TwoRefreshesLeaveOnlyTheSecondBackdrop)
{
    runHandlers = true;
    tavola.dispatch(&Tavola::cmdNext_Click);
    view->sync();
    tavola.formModel().bands.fill(0x123456);
    view->sync();
    EXPECT_EQ(renderClient(view->client(), 1.0).pixelColor(300, 400), QColor(0x56, 0x34, 0x12));
}

struct FlashCase {
    Ctl target;
    QColor colour;
};

class TargetFlash : public ViewTest, public ::testing::WithParamInterface<FlashCase> {};

// The flash runs with no event handled in between: only a held frame can show it.
TEST_P(TargetFlash, HeldFramesShowTheFlashColour)
{
    runHandlers = true;
    const Ctl target = GetParam().target;
    showTarget(target, 200, 300);
    std::vector<QColor> seen;
    host.whileHeld = [&] { seen.push_back(view->client()->grab().toImage().pixelColor(206, 306)); };
    click(centreOf(target));
    ASSERT_FALSE(seen.empty());
    for (const QColor& colour : seen)
        EXPECT_EQ(colour, GetParam().colour);
    EXPECT_FALSE(widget(target)->isVisible()) << "a hit or a miss hides the target";
}

INSTANTIATE_TEST_SUITE_P(HitAndMiss, TargetFlash,
    ::testing::Values(FlashCase{Ctl::paricmd, QColor(0, 255, 0)}, FlashCase{Ctl::disparicmd, QColor(255, 0, 0)}),
    [](const auto& info) { return std::string(designControls()[index(info.param.target)].name); });
