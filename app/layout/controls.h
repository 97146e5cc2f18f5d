// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zanfiro {

// A colour as 0x00BBGGRR.
using Colour = std::uint32_t;
inline constexpr Colour cyan = 0xFFFF00;
inline constexpr Colour green = 0x00FF00;
inline constexpr Colour red = 0x0000FF;

inline constexpr int twipsPerPixel = 15;
inline constexpr int clientWidthPx = 608;
inline constexpr int clientHeightPx = 672;

// The controls in creation order, which is also their stacking order from front to back.
enum class Ctl : std::uint8_t {
    disparicmd2, disparicmd1, paricmd2, paricmd1, cmdExit, cmdNext, Inizio, paricmd, disparicmd,
    Timer2, Timer1, txtAnswer, Label6, lblMessage, lblScore, Punteggio, lblpunti, Label13, lblnome,
    Label12, lblnome1, Label14, Label5, lblconto, Label11, Label3, Label1, lblScore2, lblScore1,
    lblTime, lblNum2, Label4, Label2, lblNum1,
};
inline constexpr std::size_t controlCount = 34;

enum class ControlKind : std::uint8_t { Button, Label, TextBox, Timer };
enum class Align : std::uint8_t { Left, Centre };
enum class Picture : std::uint8_t { None, NoEntry, Faces };
enum class Pointer : std::uint8_t { Default, FourArrows };

struct Font {
    std::string_view family; // design family; the view maps it to an installed one
    double pointSize = 0;    // 0: the toolkit's standard font
    bool bold = false;
    bool italic = false;
};

// One control as plain data. Places and sizes are pixels of the design-size client area
// (twips / 15); the window's scale only changes how a new Left or Top is read.
struct Control {
    Ctl id{};
    std::string_view name;
    ControlKind kind = ControlKind::Label;
    std::string caption; // UTF-8; "&" marks an access key on buttons
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::optional<Colour> backColor;
    std::optional<Colour> foreColor;
    Font font;
    bool visible = true;
    bool enabled = true;
    bool graphical = false; // command button Style 1: painted in backColor, shows its picture
    bool border = false;
    Align alignment = Align::Left;
    bool autoSize = false;
    bool opaque = true; // BackStyle 1
    int tabIndex = -1;  // -1: none (timers)
    std::string_view toolTip;
    Picture picture = Picture::None;
    Pointer pointer = Pointer::Default;
    int interval = 0; // timers, ms
};

struct MenuItem {
    std::string_view name;
    std::string_view under; // empty: on the menu bar
    int index = -1;         // -1: not part of a menu array
    std::string_view caption;
};
inline constexpr std::size_t menuCount = 10;

using Controls = std::array<Control, controlCount>;

// The design values every load starts from.
Controls designControls();
const std::array<MenuItem, menuCount>& designMenu();
// The menu of a game played with another divisor: the Help items name it and give its rule.
std::array<MenuItem, menuCount> gameMenu(int divisor);

inline constexpr std::size_t index(Ctl c) { return static_cast<std::size_t>(c); }
std::optional<Ctl> controlByName(std::string_view name);

} // namespace zanfiro
