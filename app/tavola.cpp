// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tavola.h"

#include <cmath>

#include "app/runtime_error.h"

namespace zanfiro {

namespace {

constexpr const char* appTitle = "Zanfiro";

// A pasted name may hold line breaks; the name file holds one line, so each break (CR LF, CR or
// LF) becomes one space, in the label as in the file.
std::string oneLine(const std::string& name)
{
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\r' && i + 1 < name.size() && name[i + 1] == '\n')
            ++i;
        out += name[i] == '\r' || name[i] == '\n' ? ' ' : name[i];
    }
    return out;
}

} // namespace

Tavola::Tavola(Host& host, GameRules rules) : m_host(host), m_rules(rules) { }

void Tavola::start()
{
    dispatch(&Tavola::Form_Initialize);
    dispatch(&Tavola::Show);
}

void Tavola::dispatch(Handler handler)
{
    if (m_ending)
        return;
    try {
        (this->*handler)();
    } catch (const RuntimeError& error) {
        // The program is over: nothing may tick behind the error box.
        m_ending = true;
        if (m_loaded) {
            m_loaded->controls[index(Ctl::Timer1)].enabled = false;
            m_loaded->controls[index(Ctl::Timer2)].enabled = false;
        }
        m_host.msgBox(error.boxText(), box::critical, appTitle);
        m_host.endProgram(1);
    }
}

Tavola::Handler Tavola::clickHandler(Ctl id)
{
    switch (id) {
    case Ctl::paricmd: return &Tavola::paricmd_Click;
    case Ctl::paricmd1: return &Tavola::paricmd1_Click;
    case Ctl::paricmd2: return &Tavola::paricmd2_Click;
    case Ctl::disparicmd: return &Tavola::disparicmd_Click;
    case Ctl::disparicmd1: return &Tavola::disparicmd1_Click;
    case Ctl::disparicmd2: return &Tavola::disparicmd2_Click;
    case Ctl::cmdExit: return &Tavola::cmdExit_Click;
    case Ctl::cmdNext: return &Tavola::cmdNext_Click;
    default: return nullptr;
    }
}

Control& Tavola::ctl(Ctl id)
{
    load();
    return m_loaded->controls[index(id)];
}

FormModel& Tavola::formModel()
{
    load();
    return m_loaded->form;
}

void Tavola::setLeft(Ctl id, double left)
{
    const FormModel& form = formModel();
    const double pixels = form.scaleMode == 1 ? left / twipsPerPixel : left;
    ctl(id).left = static_cast<int>(std::lround(pixels));
}

void Tavola::setTop(Ctl id, double top)
{
    const FormModel& form = formModel();
    double pixels = top;
    if (form.scaleMode == 1)
        pixels = top / twipsPerPixel;
    else if (form.scaleMode == 0)
        pixels = top * clientHeightPx / form.scaleHeight;
    ctl(id).top = static_cast<int>(std::lround(pixels));
}

void Tavola::setWindowState(int state)
{
    formModel().windowState = state;
}

void Tavola::load()
{
    if (m_loaded)
        return;
    m_loaded.emplace(Loaded{designControls(), FormModel{}});
    Form_Load();
}

void Tavola::unload()
{
    m_loaded.reset();
    m_host.windowUnloaded();
}

void Tavola::Show()
{
    load();
    m_host.windowShown();
    Form_Resize();
    Form_Activate();
}

void Tavola::Form_Initialize()
{
    cmdNext_Click();
}

void Tavola::Form_Load()
{
    ctl(Ctl::Timer1).enabled = false;
    ctl(Ctl::Timer2).enabled = false;
    const std::string name = oneLine(m_host.inputBox("Come ti chiami?", appTitle));
    m_host.msgBox(" " + name + " vediamo se sei un vero campione  ", box::okOnly, appTitle);
    ctl(Ctl::lblnome1).caption = name;
    StartClock();
    m_tally = {std::time(nullptr), 0, 0};
    m_state.windowsDir = GetSystemDir();
    readRecords();
    ctl(Ctl::lblconto).caption = clockText();
    cmdNext_Click();
}

void Tavola::Form_Resize()
{
    if (formModel().windowState == 1)
        formModel().caption = "Brovenza"; // stays after a restore, until the next load
}

void Tavola::Next_Click()
{
    const int reply = m_host.msgBox("INIZIAMO UNA NUOVA GARA  ?", box::yesNoQuestionDefaultNo, "INIZIARE NUOVA GARA");
    if (reply != answer::yes)
        return;
    logGame(GameEnd::NewGame);
    unload();
    Show();
}

} // namespace zanfiro
