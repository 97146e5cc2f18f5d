// SPDX-License-Identifier: GPL-3.0-or-later
// Every design value of the window's 34 controls and 10 menu items. Places are pixels of the
// 608 x 672 client area (the design's twips divided by 15).
#include "app/layout/controls.h"

#include "app/game_rules.h"

// Each entry names only the values that differ from a plain control; the rest keep the defaults.
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif

namespace zanfiro {

namespace {

constexpr Font sansBold24{"MS Sans Serif", 24, true, false};
constexpr Font sansBold825{"MS Sans Serif", 8.25, true, false};
constexpr Font sans24{"MS Sans Serif", 24, false, false};
constexpr Font sans18{"MS Sans Serif", 18, false, false};
constexpr Font sansBold18{"MS Sans Serif", 18, true, false};
constexpr Font sansBoldItalic24{"MS Sans Serif", 24, true, true};
constexpr Font timesBold36{"Times New Roman", 36, true, false};
constexpr Font arialBold48{"Arial", 48, true, false};

Control target(Ctl id, std::string_view name, std::string caption, int left, int top, int tabIndex,
    Pointer pointer = Pointer::Default)
{
    return {.id = id, .name = name, .kind = ControlKind::Button, .caption = std::move(caption),
        .left = left, .top = top, .width = 81, .height = 81, .backColor = cyan, .font = sansBold24,
        .visible = false, .graphical = true, .tabIndex = tabIndex, .pointer = pointer};
}

} // namespace

Controls designControls()
{
    using enum Ctl;
    using K = ControlKind;
    Controls c{{
        target(disparicmd2, "disparicmd2", "", 336, 456, 31),
        target(disparicmd1, "disparicmd1", "63", 456, 344, 30),
        target(paricmd2, "paricmd2", "", 104, 432, 29),
        target(paricmd1, "paricmd1", "", 192, 280, 28),
        {.id = cmdExit, .name = "cmdExit", .kind = K::Button, .caption = "E&xit", .left = 408, .top = 0,
            .width = 209, .height = 49, .backColor = 0xC000C0, .font = sansBold825, .graphical = true,
            .tabIndex = 23, .toolTip = "Ti prego resta ancora, forse riuscirai a farmi uscire ",
            .picture = Picture::NoEntry},
        {.id = cmdNext, .name = "cmdNext", .kind = K::Button, .caption = "&Clicca per iniziare",
            .left = 200, .top = 0, .width = 214, .height = 49, .backColor = 0x00C000, .font = sansBold825,
            .enabled = false, .graphical = true, .tabIndex = 22, .toolTip = "Go", .picture = Picture::Faces},
        {.id = Inizio, .name = "Inizio", .kind = K::Button, .caption = "Inizio", .left = 256, .top = 8,
            .width = 81, .height = 33, .visible = false, .tabIndex = 21},
        target(paricmd, "paricmd", "", 160, 104, 20, Pointer::FourArrows),
        target(disparicmd, "disparicmd", "", 384, 104, 19),
        {.id = Timer2, .name = "Timer2", .kind = K::Timer, .enabled = false, .interval = 1300},
        {.id = Timer1, .name = "Timer1", .kind = K::Timer, .interval = 1000},
        {.id = txtAnswer, .name = "txtAnswer", .kind = K::TextBox, .left = 368, .top = 112, .width = 185,
            .height = 80, .backColor = cyan, .font = arialBold48, .visible = false, .enabled = false,
            .tabIndex = 4, .toolTip = "Inserisci il risultato e  premi il tasto  Invio"},
        {.id = Label6, .name = "Label6", .caption = "Punti complessivi", .left = -8, .top = 0, .width = 209,
            .height = 49, .backColor = 0xFF0000, .foreColor = 0x80FFFF, .font = sans18, .border = true,
            .alignment = Align::Centre, .autoSize = true, .opaque = false, .tabIndex = 27},
        {.id = lblMessage, .name = "lblMessage", .left = 104, .top = 248, .width = 441, .height = 41,
            .backColor = cyan, .foreColor = red, .font = sansBoldItalic24, .visible = false,
            .alignment = Align::Centre, .opaque = false, .tabIndex = 26},
        {.id = lblScore, .name = "lblScore", .left = 40, .top = 56, .width = 81, .height = 65,
            .backColor = 0x00FFFF, .font = timesBold36, .border = true, .alignment = Align::Centre,
            .opaque = false, .tabIndex = 25, .toolTip = "Questo è il tuo punteggio. Forza con il  record"},
        {.id = Punteggio, .name = "Punteggio", .caption = "0", .left = 64, .top = 72, .width = 33, .height = 41,
            .font = sans24, .alignment = Align::Centre, .autoSize = true, .opaque = false, .tabIndex = 24},
        {.id = lblpunti, .name = "lblpunti", .caption = "0", .left = 560, .top = 520, .width = 18,
            .height = 37, .foreColor = 0xC000C0, .font = sans24, .autoSize = true, .opaque = false,
            .tabIndex = 18},
        {.id = Label13, .name = "Label13", .caption = "con punti", .left = 448, .top = 528, .width = 97,
            .height = 29, .foreColor = 0xC000C0, .font = sans18, .autoSize = true, .opaque = false,
            .tabIndex = 17},
        {.id = lblnome, .name = "lblnome", .caption = "nome", .left = 176, .top = 528, .width = 66,
            .height = 29, .foreColor = 0xFF0000, .font = sansBold18, .autoSize = true, .opaque = false,
            .tabIndex = 16},
        {.id = Label12, .name = "Label12", .caption = "Il record  è di ", .left = 8, .top = 528, .width = 153,
            .height = 25, .foreColor = 0xC000C0, .font = sans18, .opaque = false, .tabIndex = 15},
        {.id = lblnome1, .name = "lblnome1", .left = 128, .top = 304, .width = 8, .height = 29,
            .foreColor = 0x008000, .font = sansBold18, .autoSize = true, .opaque = false, .tabIndex = 14},
        {.id = Label14, .name = "Label14", .caption = "Sfidante", .left = 9, .top = 304, .width = 93,
            .height = 33, .foreColor = 0x008000, .font = sans18, .border = true, .alignment = Align::Centre,
            .autoSize = true, .opaque = false, .tabIndex = 13},
        {.id = Label5, .name = "Label5", .left = 64, .top = 512, .width = 441, .height = 41, .backColor = cyan,
            .foreColor = red, .font = sansBoldItalic24, .visible = false, .alignment = Align::Centre,
            .opaque = false, .tabIndex = 12},
        {.id = lblconto, .name = "lblconto", .caption = "00.00.00", .left = 8, .top = 160, .width = 105,
            .height = 33, .foreColor = 0x00FFFF, .font = {"Arial Black", 12, true, false}, .border = true,
            .opaque = false, .tabIndex = 11},
        {.id = Label11, .name = "Label11", .caption = "Tempo restante", .left = 8, .top = 128, .width = 105,
            .height = 25, .foreColor = 0x00FFFF, .font = {"MS Sans Serif", 9.75, false, false}, .opaque = false,
            .tabIndex = 10},
        {.id = Label3, .name = "Label3", .caption = "Risposte totali", .left = 376, .top = 256, .width = 156,
            .height = 33, .foreColor = 0xFF0000, .font = sans18, .visible = false, .border = true,
            .autoSize = true, .opaque = false, .tabIndex = 9},
        {.id = Label1, .name = "Label1", .caption = "Risposte errate", .left = 384, .top = 208, .width = 168,
            .height = 33, .foreColor = red, .font = sans18, .visible = false, .border = true, .autoSize = true,
            .opaque = false, .tabIndex = 8},
        {.id = lblScore2, .name = "lblScore2", .caption = "0", .left = 504, .top = 192, .width = 37,
            .height = 59, .foreColor = 0xFF0000, .font = timesBold36, .visible = false, .border = true,
            .alignment = Align::Centre, .autoSize = true, .opaque = false, .tabIndex = 7},
        {.id = lblScore1, .name = "lblScore1", .caption = "0", .left = 464, .top = 240, .width = 36,
            .height = 59, .foreColor = red, .font = timesBold36, .visible = false, .border = true,
            .alignment = Align::Centre, .autoSize = true, .opaque = false, .tabIndex = 0},
        {.id = lblTime, .name = "lblTime", .left = 560, .top = 120, .width = 6, .height = 20,
            .font = {"MS Sans Serif", 12, true, false}, .visible = false, .autoSize = true, .tabIndex = 6,
            .toolTip = "Clicca sotto di me per attivare il Timer"},
        {.id = lblNum2, .name = "lblNum2", .left = 472, .top = 136, .width = 23, .height = 79,
            .backColor = cyan, .font = arialBold48, .visible = false, .enabled = false, .border = true,
            .alignment = Align::Centre, .autoSize = true, .tabIndex = 5},
        {.id = Label4, .name = "Label4", .caption = "=", .left = 488, .top = 136, .width = 41, .height = 65,
            .backColor = 0xFFFF80, .font = arialBold48, .visible = false, .enabled = false,
            .alignment = Align::Centre, .tabIndex = 3},
        {.id = Label2, .name = "Label2", .caption = "X", .left = 488, .top = 120, .width = 41, .height = 65,
            .backColor = 0xFFFF80, .font = {"Arial", 48, false, false}, .visible = false, .enabled = false,
            .alignment = Align::Centre, .tabIndex = 2},
        {.id = lblNum1, .name = "lblNum1", .left = 456, .top = 112, .width = 23, .height = 79,
            .backColor = cyan, .font = arialBold48, .visible = false, .enabled = false, .border = true,
            .alignment = Align::Centre, .autoSize = true, .tabIndex = 1},
    }};
    return c;
}

const std::array<MenuItem, menuCount>& designMenu()
{
    static const std::array<MenuItem, menuCount> menu = gameMenu(GameRules{}.divisor);
    return menu;
}

std::array<MenuItem, menuCount> gameMenu(int divisor)
{
    const DivisorHelp help = divisorHelp(divisor);
    // The two information menus carry the project's own name, what it is, and its licence.
    return {{
        {"INFOMAZIONI", "", 1, "Zanfiro"},
        {"ca", "INFOMAZIONI", -1, "Un gioco di aritmetica per la scuola primaria"},
        {"copy", "", -1, "Licenza"},
        {"via", "copy", -1, "Software libero: GPL-3.0-or-later"},
        {"Next", "", -1, "Nuovo gioco"},
        {"hf", "", -1, "Help"},
        {"Ciao", "hf", 1, help.reminder},
        {"ok", "hf", -1, "Ogni errore  ti farà perdere 4 punti."},
        {"d", "hf", -1, help.rule},
        {"h", "hf", -1, help.example},
    }};
}

std::optional<Ctl> controlByName(std::string_view name)
{
    static const Controls design = designControls();
    for (const Control& control : design)
        if (control.name == name)
            return control.id;
    return std::nullopt;
}

} // namespace zanfiro
