// SPDX-License-Identifier: GPL-3.0-or-later
// Building the window from the controls model and the menu table, one loop each.
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>
#include <map>
#include <string_view>

#include "app/qt/artwork.h"
#include "app/qt/backdrop.h"
#include "app/qt/control_widgets.h"
#include "app/qt/tavola_view.h"

namespace zanfiro {

namespace {

constexpr int pictureSize = 32;

struct MenuHandler {
    std::string_view item;
    Tavola::Handler handler;
};

// The only menu item with a handler; the others open their lists or are there to be read.
const std::array<MenuHandler, 1> menuHandlers{{{"Next", &Tavola::Next_Click}}};

struct Titled {
    Ctl title;
    Ctl value;
};

// The caption that names each value on screen, so that a screen reader says what a bare "0" is.
constexpr std::array<Titled, 5> titledValues{{{Ctl::Label6, Ctl::Punteggio}, {Ctl::Label11, Ctl::lblconto},
    {Ctl::Label14, Ctl::lblnome1}, {Ctl::Label12, Ctl::lblnome}, {Ctl::Label13, Ctl::lblpunti}}};

Tavola::Handler menuHandler(std::string_view item)
{
    for (const MenuHandler& entry : menuHandlers)
        if (entry.item == item)
            return entry.handler;
    return nullptr;
}

// Qt stacks a later sibling over an earlier one, while the control list runs from front to back
// with every label under every other control: so labels are created first, each group from
// the back of the list to its front.
int creationRank(const Control& control)
{
    const int fromBack = static_cast<int>(controlCount - index(control.id));
    return control.kind == ControlKind::Label ? fromBack : static_cast<int>(controlCount) + fromBack;
}

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

void TavolaView::buildControls()
{
    std::vector<const Control*> order;
    for (const Control& control : m_tavola.controls())
        if (control.kind != ControlKind::Timer)
            order.push_back(&control);
    std::stable_sort(order.begin(), order.end(),
        [](const Control* a, const Control* b) { return creationRank(*a) < creationRank(*b); });
    for (const Control* control : order)
        m_bindings.push_back({control->id, createWidget(*control), std::nullopt});

    std::vector<const Control*> tabOrder;
    for (const Control* control : order)
        if (control->kind != ControlKind::Label)
            tabOrder.push_back(control);
    std::sort(tabOrder.begin(), tabOrder.end(),
        [](const Control* a, const Control* b) { return a->tabIndex < b->tabIndex; });
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        setTabOrder(widgetOf(tabOrder[i - 1]->id), widgetOf(tabOrder[i]->id));

    // A buddy is how Qt says "labelled by" to the accessibility bridge; these captions have no
    // access key, so nothing else about the labels changes.
    for (const Titled& pair : titledValues)
        static_cast<QLabel*>(widgetOf(pair.title))->setBuddy(widgetOf(pair.value));
}

QWidget* TavolaView::createWidget(const Control& control)
{
    QWidget* widget = nullptr;
    switch (control.kind) {
    case ControlKind::Button: {
        auto* button = new ControlButton(client());
        if (const Tavola::Handler handler = Tavola::clickHandler(control.id))
            connect(button, &QPushButton::clicked, this, [this, handler] { run(handler); });
        widget = button;
        break;
    }
    case ControlKind::Label: {
        auto* label = new ControlLabel(client());
        const Qt::Alignment across = control.alignment == Align::Centre ? Qt::AlignHCenter : Qt::AlignLeft;
        label->setAlignment(across | Qt::AlignTop);
        // A label that does not size itself breaks its text at word boundaries within its width.
        label->setWordWrap(!control.autoSize);
        if (control.border)
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAutoFillBackground(control.opaque);
        widget = label;
        break;
    }
    case ControlKind::TextBox:
    case ControlKind::Timer:
        widget = new QLineEdit(client());
        break;
    }
    widget->setObjectName(toQString(control.name));
    widget->setToolTip(toQString(control.toolTip));
    dress(widget, control);
    return widget;
}

void TavolaView::dress(QWidget* widget, const Control& control)
{
    widget->setFont(widgetFont(control.font, m_zoom));
    if (control.kind == ControlKind::Label && control.border)
        static_cast<QLabel*>(widget)->setLineWidth(m_zoom.lineWidth());
    applyPointer(widget, control);
    if (control.kind != ControlKind::Button)
        return;
    auto* button = static_cast<ControlButton*>(widget);
    button->setZoom(m_zoom);
    // Drawn for the zoom and the pixel ratio together, so a picture is never a blown-up bitmap.
    const int size = m_zoom.length(pictureSize);
    const qreal ratio = devicePixelRatioF();
    if (control.picture == Picture::NoEntry) {
        const QPixmap sign = artwork::noEntrySign(size, ratio);
        button->setPictures(sign, sign, sign);
    } else if (control.picture == Picture::Faces) {
        // The start button is never enabled, so its laughing face is the one the pupil sees.
        button->setPictures(artwork::face(artwork::Face::Smiling, size, ratio),
            artwork::face(artwork::Face::Neutral, size, ratio), artwork::face(artwork::Face::Laughing, size, ratio));
    }
}

void TavolaView::applyPointer(QWidget* widget, const Control& control)
{
    if (control.kind == ControlKind::Label)
        return;
    // Over a disabled control the mouse belongs to the window, and so does its pointer.
    if (!control.enabled)
        widget->unsetCursor();
    else if (control.pointer == Pointer::FourArrows)
        widget->setCursor(artwork::fourArrowsCursor(devicePixelRatioF(), m_zoom));
    else
        widget->setCursor(control.kind == ControlKind::TextBox ? Qt::IBeamCursor : Qt::ArrowCursor);
}

void TavolaView::buildMenu()
{
    const auto items = gameMenu(m_tavola.rules().divisor);
    std::map<std::string_view, QMenu*> lists;
    for (const MenuItem& item : items) {
        const bool hasList = std::any_of(items.begin(), items.end(),
            [&item](const MenuItem& other) { return other.under == item.name; });
        const QString caption = toQString(item.caption);
        QAction* action = nullptr;
        if (hasList) {
            QMenu* list = menuBar()->addMenu(caption);
            list->setObjectName(toQString(item.name));
            lists[item.name] = list;
            action = list->menuAction();
        } else if (item.under.empty()) {
            action = menuBar()->addAction(caption);
        } else {
            action = lists.at(item.under)->addAction(caption);
        }
        action->setObjectName(toQString(item.name));
        if (const Tavola::Handler handler = menuHandler(item.name))
            connect(action, &QAction::triggered, this, [this, handler] { run(handler); });
    }
}

} // namespace zanfiro
