// SPDX-License-Identifier: GPL-3.0-or-later
// Every font the window asks for is drawn from a face shipped inside the program, so the layout
// looks the same on a system without those fonts installed.
#include "view_fixture.h"

#include <QFile>
#include <QRawFont>

#include <set>

#include "app/layout/controls.h"
#include "app/qt/control_widgets.h"
#include "app/qt/shipped_fonts.h"

using namespace zanfiro;

namespace {

QByteArray shippedFace(const QString& name)
{
    QFile file(QStringLiteral(":/fonts/") + name + QStringLiteral(".ttf"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The face a design font should be drawn with: the heavy "Arial Black" has no Liberation match
// heavier than bold.
QString expectedFace(const Font& font)
{
    const bool serif = font.family == "Times New Roman";
    const bool bold = font.bold || font.family == "Arial Black";
    QString name = serif ? QStringLiteral("LiberationSerif-") : QStringLiteral("LiberationSans-");
    if (bold)
        name += QStringLiteral("Bold");
    if (font.italic)
        name += QStringLiteral("Italic");
    return bold || font.italic ? name : name + QStringLiteral("Regular");
}

// The font header holds each file's own checksum and dates: equal headers, same file.
QByteArray header(const QRawFont& font) { return font.fontTable("head"); }

} // namespace

TEST(ShippedFonts, EveryFaceIsInsideTheProgramAndRegisters)
{
    for (const QString& file : shippedFontFiles())
        EXPECT_TRUE(QFile::exists(file)) << file.toStdString();
    EXPECT_TRUE(registerShippedFonts());
}

TEST(ShippedFonts, EveryControlsFontResolvesToAShippedFace)
{
    std::set<QString> seen;
    std::vector<Font> fonts{Font{}}; // the standard font of a control that names none
    for (const Control& control : designControls())
        fonts.push_back(control.font);
    for (const Font& font : fonts) {
        const QString face = expectedFace(font.pointSize > 0 ? font : Font{"MS Sans Serif", 8.25});
        const QByteArray shipped = shippedFace(face);
        ASSERT_FALSE(shipped.isEmpty()) << face.toStdString() << " is not shipped";
        const QRawFont drawn = QRawFont::fromFont(widgetFont(font));
        ASSERT_TRUE(drawn.isValid());
        EXPECT_EQ(header(drawn), header(QRawFont(shipped, drawn.pixelSize())))
            << std::string(font.family) << " " << font.pointSize << " drawn with " << drawn.familyName().toStdString()
            << " " << drawn.styleName().toStdString() << ", not " << face.toStdString();
        seen.insert(face);
    }
    // Every shipped face is used by some control: none travels for nothing.
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(shippedFontFiles().size()));
}

namespace zanfiro::test {

// The window with every control shown, saved where ZANFIRO_FONT_SHOT says. The end-to-end test
// shipped_fonts.sh compares it between a system with the Liberation fonts and one without.
TEST_F(ViewTest, WindowShotForTheFontComparison)
{
    const QString out = qEnvironmentVariable("ZANFIRO_FONT_SHOT");
    if (out.isEmpty())
        GTEST_SKIP() << "ZANFIRO_FONT_SHOT names no file to save the window in";
    for (const Control& control : designControls())
        model(control.id).visible = control.kind != ControlKind::Timer;
    view->sync();
    ASSERT_TRUE(view->grab().save(out));
}

} // namespace zanfiro::test
