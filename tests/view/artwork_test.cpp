// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <limits>

#include "app/qt/artwork.h"

using namespace zanfiro::artwork;

namespace {

// The colour at a point of the 32-unit drawing grid, whatever the pixmap's physical size.
QColor colourAt(const QPixmap& pixmap, qreal gridX, qreal gridY)
{
    const QImage image = pixmap.toImage();
    const qreal scale = image.width() / 32.0;
    return image.pixelColor(int(gridX * scale), int(gridY * scale));
}

// Opaque colours, with room for the blend of an antialiased edge nearby.
bool isRed(const QColor& c) { return c.alpha() == 255 && c.red() > 180 && c.green() < 90 && c.blue() < 90; }
bool isWhite(const QColor& c) { return c.alpha() == 255 && qMin(c.red(), qMin(c.green(), c.blue())) > 240; }
bool isBlack(const QColor& c) { return c.alpha() == 255 && c.lightness() < 40; }
bool isYellow(const QColor& c)
{
    return c.alpha() == 255 && c.red() > 230 && c.green() > 180 && c.blue() < 80;
}
bool isClear(const QColor& c) { return c.alpha() == 0; }

int redPixels(const QPixmap& pixmap)
{
    const QImage image = pixmap.toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += isRed(image.pixelColor(x, y));
    return count;
}

struct Scale {
    int logicalSize;
    qreal ratio;
};

class ButtonPictures : public ::testing::TestWithParam<Scale> {};

TEST_P(ButtonPictures, NoEntrySignIsARedDiscWithAWhiteBarAndClearCorners)
{
    const auto [size, ratio] = GetParam();
    const QPixmap sign = noEntrySign(size, ratio);
    EXPECT_EQ(sign.width(), qRound(size * ratio));
    EXPECT_EQ(sign.devicePixelRatio(), ratio);
    EXPECT_EQ(sign.deviceIndependentSize().toSize(), QSize(size, size));
    EXPECT_TRUE(isRed(colourAt(sign, 16, 7)));
    EXPECT_TRUE(isRed(colourAt(sign, 16, 25)));
    EXPECT_TRUE(isWhite(colourAt(sign, 16, 16)));
    EXPECT_TRUE(isWhite(colourAt(sign, 8, 16)));
    for (const auto& [x, y] : {std::pair{0.5, 0.5}, {31.5, 0.5}, {0.5, 31.5}, {31.5, 31.5}})
        EXPECT_TRUE(isClear(colourAt(sign, x, y))) << x << "," << y;
}

TEST_P(ButtonPictures, FacesAreYellowAndOnlyTheLaughingOneShowsARedTongue)
{
    const auto [size, ratio] = GetParam();
    for (const Face which : {Face::Smiling, Face::Neutral, Face::Laughing}) {
        const QPixmap picture = face(which, size, ratio);
        EXPECT_EQ(picture.width(), qRound(size * ratio));
        EXPECT_TRUE(isYellow(colourAt(picture, 5, 15))) << int(which);
        EXPECT_TRUE(isYellow(colourAt(picture, 16, 5))) << int(which);
        EXPECT_TRUE(isClear(colourAt(picture, 0.5, 0.5))) << int(which);
        if (which == Face::Laughing)
            EXPECT_TRUE(isRed(colourAt(picture, 16, 23)));
        else
            EXPECT_EQ(redPixels(picture), 0) << int(which);
    }
    EXPECT_NE(face(Face::Smiling, size, ratio).toImage(), face(Face::Neutral, size, ratio).toImage());
}

INSTANTIATE_TEST_SUITE_P(SizesAndRatios, ButtonPictures,
                         ::testing::Values(Scale{16, 1.0}, Scale{32, 1.0}, Scale{16, 2.0}, Scale{32, 2.0},
                                           Scale{32, 1.5}, Scale{24, 1.25}));

class Pointers : public ::testing::TestWithParam<qreal> {};

TEST_P(Pointers, CrosshairIs32LogicalPixelsWithARedDotUnderItsCentreHotSpot)
{
    const qreal ratio = GetParam();
    const QCursor cursor = crosshairCursor(ratio);
    const QPixmap picture = cursor.pixmap();
    EXPECT_EQ(cursor.hotSpot(), QPoint(16, 16));
    EXPECT_EQ(picture.devicePixelRatio(), ratio);
    EXPECT_EQ(picture.width(), qRound(32 * ratio));
    EXPECT_TRUE(isRed(colourAt(picture, 16.5, 16.5)));
    EXPECT_TRUE(isBlack(colourAt(picture, 4.5, 16.5)));
    EXPECT_TRUE(isBlack(colourAt(picture, 16.5, 28.5)));
    EXPECT_TRUE(isClear(colourAt(picture, 4.5, 4.5)));
}

TEST_P(Pointers, FourArrowsSitAroundADiamondUnderTheHotSpot)
{
    const qreal ratio = GetParam();
    const QCursor cursor = fourArrowsCursor(ratio);
    const QPixmap picture = cursor.pixmap();
    EXPECT_EQ(cursor.hotSpot(), QPoint(10, 10));
    EXPECT_EQ(picture.width(), qRound(32 * ratio));
    EXPECT_TRUE(isBlack(colourAt(picture, 10.5, 10.5)));
    // Arrowheads the same distance up, down, left and right, with white between them and the diamond.
    for (const auto& [dx, dy] : {std::pair{0, -1}, {0, 1}, {-1, 0}, {1, 0}}) {
        EXPECT_TRUE(isBlack(colourAt(picture, 10.5 + 7 * dx, 10.5 + 7 * dy))) << dx << "," << dy;
        EXPECT_TRUE(isWhite(colourAt(picture, 10.5 + 4 * dx, 10.5 + 4 * dy))) << dx << "," << dy;
    }
    EXPECT_TRUE(isClear(colourAt(picture, 26, 26)));
}

INSTANTIATE_TEST_SUITE_P(Ratios, Pointers, ::testing::Values(1.0, 1.25, 1.5, 2.0, 3.0));

TEST(Artwork, AScreenWithoutAUsableRatioGetsPicturesAtRatioOne)
{
    for (const qreal ratio : {0.0, -2.0, std::numeric_limits<qreal>::quiet_NaN()}) {
        EXPECT_EQ(crosshairCursor(ratio).pixmap().width(), 32) << ratio;
        EXPECT_EQ(noEntrySign(16, ratio).devicePixelRatio(), 1.0) << ratio;
    }
    EXPECT_TRUE(noEntrySign(0, 1.0).isNull());
    EXPECT_TRUE(face(Face::Smiling, -16, 1.0).isNull());
}

class WindowIcon : public ::testing::TestWithParam<int> {};

TEST_P(WindowIcon, HasAPixmapDrawnForEachSize)
{
    const int size = GetParam();
    const QIcon icon = windowIcon();
    EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size)));
    const QPixmap picture = icon.pixmap(QSize(size, size));
    EXPECT_EQ(picture.size(), QSize(size, size));
    EXPECT_TRUE(isRed(colourAt(picture, 16, 2.5)));
    EXPECT_TRUE(isClear(colourAt(picture, 0.5, 0.5)));
}

INSTANTIATE_TEST_SUITE_P(Sizes, WindowIcon, ::testing::Values(16, 22, 24, 32, 48, 64, 128, 256));

} // namespace
