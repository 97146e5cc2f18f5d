// SPDX-License-Identifier: GPL-3.0-or-later
// The window as built: every control where the layout table puts it, looking as it says.
#include "view_fixture.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMenuBar>

#include <algorithm>
#include <cmath>
#include <map>

#include "app/qt/control_widgets.h"

using namespace zanfiro;
using namespace zanfiro::test;

namespace {

std::vector<Ctl> onScreenControls()
{
    std::vector<Ctl> ids;
    for (const Control& control : designControls())
        if (control.kind != ControlKind::Timer)
            ids.push_back(control.id);
    return ids;
}

std::string controlName(const ::testing::TestParamInfo<Ctl>& info)
{
    return std::string(designControls()[index(info.param)].name);
}

QColor rgb(Colour colour)
{
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

} // namespace

class ControlLayout : public ViewTest, public ::testing::WithParamInterface<Ctl> {};

TEST_P(ControlLayout, MatchesTheDesignTable)
{
    const Control& control = design(GetParam());
    QWidget* w = widget(control.id);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->objectName().toStdString(), control.name);
    EXPECT_EQ(w->parentWidget(), view->client());
    if (control.kind == ControlKind::Label && control.autoSize) {
        EXPECT_EQ(w->pos(), QPoint(control.left, control.top)) << "an auto-sized label keeps its top-left corner";
    } else {
        EXPECT_EQ(w->geometry(), QRect(control.left, control.top, control.width, control.height));
    }
    EXPECT_EQ(w->isVisibleTo(view->client()), control.visible);
    EXPECT_EQ(w->isEnabled(), control.enabled);
    EXPECT_EQ(w->toolTip().toStdString(), control.toolTip);
}

TEST_P(ControlLayout, FontResolvesToAnInstalledFaceOfTheDesignSize)
{
    const Control& control = design(GetParam());
    static const std::map<std::string_view, QString> installed{{"MS Sans Serif", "Liberation Sans"},
        {"Arial", "Liberation Sans"}, {"Arial Black", "Liberation Sans"}, {"Times New Roman", "Liberation Serif"}};
    const Font expected = control.font.pointSize > 0 ? control.font : Font{"MS Sans Serif", 8.25};
    const QFontInfo info(widget(control.id)->font());
    EXPECT_EQ(info.family(), installed.at(expected.family));
    // Points as a 96-DPI screen draws them, whatever the display's DPI.
    EXPECT_EQ(info.pixelSize(), std::lround(expected.pointSize * 96 / 72));
    EXPECT_EQ(info.bold(), expected.bold);
    EXPECT_EQ(info.italic(), expected.italic);
}

INSTANTIATE_TEST_SUITE_P(AllControls, ControlLayout, ::testing::ValuesIn(onScreenControls()), controlName);

TEST_F(ViewTest, ClientAreaIsTheDesignSizeBelowTheMenuBar)
{
    EXPECT_EQ(view->client()->size(), QSize(608, 672));
    EXPECT_EQ(view->size(), QSize(608, 672 + view->menuBar()->height()));
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Zanfiro"));
}

// Earlier in the control list covers later; every label lies under every other control.
TEST_F(ViewTest, StackingFollowsTheControlListWithLabelsBelow)
{
    const QObjectList stack = view->client()->children(); // back to front
    const auto depth = [&stack, this](Ctl id) { return stack.indexOf(widget(id)); };
    const auto ids = onScreenControls();
    for (Ctl front : ids) {
        for (Ctl back : ids) {
            const bool frontIsLabel = design(front).kind == ControlKind::Label;
            const bool backIsLabel = design(back).kind == ControlKind::Label;
            const bool covers = frontIsLabel == backIsLabel ? index(front) < index(back) : backIsLabel;
            if (covers) {
                EXPECT_GT(depth(front), depth(back)) << design(front).name << " should cover " << design(back).name;
            }
        }
    }
}

TEST_F(ViewTest, AtStartOnlyTheExitButtonCanTakeTheFocus)
{
    std::vector<std::string> focusable;
    for (QWidget* w : view->findChildren<QWidget*>())
        if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) && w->parentWidget() == view->client())
            focusable.push_back(w->objectName().toStdString());
    EXPECT_EQ(focusable, std::vector<std::string>{"cmdExit"});
}

TEST_F(ViewTest, TabOrderFollowsTabIndex)
{
    std::vector<int> indices;
    for (const Control& control : designTable)
        if (control.kind == ControlKind::Button || control.kind == ControlKind::TextBox)
            indices.push_back(control.tabIndex);
    std::sort(indices.begin(), indices.end());

    std::vector<int> chain;
    for (QWidget* w = widget(Ctl::txtAnswer); chain.size() < indices.size(); w = w->nextInFocusChain()) {
        const auto id = controlByName(w->objectName().toStdString());
        if (id && design(*id).kind != ControlKind::Label)
            chain.push_back(design(*id).tabIndex);
    }
    EXPECT_EQ(chain, indices);
}

// The style must not blend or grey a face: the flash colours have to be exactly what they say.
TEST_F(ViewTest, GraphicalButtonsShowTheirExactColourEnabledOrNot)
{
    for (const Control& control : designTable) {
        if (!control.graphical)
            continue;
        model(control.id).visible = true;
        view->sync();
        const QColor face = pixelAt(widget(control.id), QPoint(6, 6));
        EXPECT_EQ(face, rgb(*control.backColor)) << control.name;
    }
    model(Ctl::paricmd).backColor = green;
    model(Ctl::disparicmd).backColor = red;
    view->sync();
    EXPECT_EQ(pixelAt(widget(Ctl::paricmd), QPoint(6, 6)), QColor(0, 255, 0));
    EXPECT_EQ(pixelAt(widget(Ctl::disparicmd), QPoint(6, 6)), QColor(255, 0, 0));
}

TEST_F(ViewTest, LabelsUseTheirForeColourAndOnlyOpaqueOnesFillTheirBack)
{
    for (const Control& control : designTable) {
        if (control.kind != ControlKind::Label)
            continue;
        auto* label = static_cast<QLabel*>(widget(control.id));
        EXPECT_EQ(label->palette().color(QPalette::WindowText), rgb(control.foreColor.value_or(0))) << control.name;
        EXPECT_EQ(label->autoFillBackground(), control.opaque) << control.name;
        if (control.opaque && control.backColor) {
            EXPECT_EQ(label->palette().color(QPalette::Window), rgb(*control.backColor)) << control.name;
        }
    }
}

TEST_F(ViewTest, TextsShowAsTheCharactersTheyAre)
{
    model(Ctl::lblnome1).caption = "<b>Anna</b>";
    view->sync();
    auto* label = static_cast<QLabel*>(widget(Ctl::lblnome1));
    EXPECT_EQ(label->text(), QStringLiteral("<b>Anna</b>"));
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    // The label sized itself to the literal text, tags included.
    EXPECT_GE(label->width(), QFontMetrics(label->font()).horizontalAdvance(QStringLiteral("<b>Anna</b>")));
}

TEST_F(ViewTest, CarriageReturnLineFeedIsOneLineBreak)
{
    auto* label = static_cast<QLabel*>(widget(Ctl::lblnome));
    model(Ctl::lblnome).caption = "Anna";
    view->sync();
    const int oneLine = label->height();
    model(Ctl::lblnome).caption = "Anna\r\n";
    view->sync();
    EXPECT_EQ(label->text(), QStringLiteral("Anna\n"));
    EXPECT_EQ(label->height(), oneLine + QFontMetrics(label->font()).lineSpacing());
}

TEST_F(ViewTest, AutoSizedLabelsGrowToTheRightWhileFixedOnesKeepTheirSize)
{
    QWidget* name = widget(Ctl::lblnome1);
    const QPoint corner = name->pos();
    model(Ctl::lblnome1).caption = "Anna";
    view->sync();
    const int shortWidth = name->width();
    model(Ctl::lblnome1).caption = "Annamaria Cristina Benedetta";
    view->sync();
    EXPECT_EQ(name->pos(), corner);
    EXPECT_GT(name->width(), shortWidth);

    QWidget* clock = widget(Ctl::lblconto);
    const QRect place = clock->geometry();
    model(Ctl::lblconto).caption = "-32768:-32768:-32768";
    view->sync();
    EXPECT_EQ(clock->geometry(), place);
}

// lblScore lies over the score but, being transparent, shows only its frame: the digits show.
TEST_F(ViewTest, ScoreShowsThroughTheFrameAboveIt)
{
    tavola.formModel().bands.fill(0xFFFFFF);
    tavola.formModel().hasBackdrop = true;
    for (const char* score : {"0", " 42", "-128"}) {
        model(Ctl::Punteggio).caption = score;
        view->sync();
        const QRect digits = widget(Ctl::Punteggio)->geometry().intersected(widget(Ctl::lblScore)->geometry());
        const QImage image = view->client()->grab(digits).toImage();
        int ink = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ink += image.pixelColor(x, y).lightness() < 40 ? 1 : 0;
        EXPECT_GT(ink, 20) << score;
    }
}

// A place past the client's edge is kept as it is: the button is simply out of sight.
TEST_F(ViewTest, PlacesPastTheEdgeAreNeverPulledBackIntoView)
{
    showTarget(Ctl::disparicmd2, 590, 700);
    const QRect place = widget(Ctl::disparicmd2)->geometry();
    EXPECT_EQ(place, QRect(590, 700, 81, 81));
    EXPECT_TRUE(widget(Ctl::disparicmd2)->isVisibleTo(view->client()));
    EXPECT_FALSE(view->client()->rect().intersects(place));
}
