// SPDX-License-Identifier: GPL-3.0-or-later
// Bringing the window in line with the controls model after every event, one step per property.
#include <QLineEdit>

#include "app/qt/backdrop.h"
#include "app/qt/control_widgets.h"
#include "app/qt/tavola_view.h"

namespace zanfiro {

namespace {

constexpr Colour buttonFace = 0xF0F0F0;
constexpr Colour labelFace = 0xF0F0F0;

} // namespace

void TavolaView::sync()
{
    if (m_retired || !m_tavola.loaded())
        return;
    m_dirty = QRegion();
    m_bandsDirty = false;
    const Controls& controls = m_tavola.controls();
    for (Binding& binding : m_bindings)
        apply(binding, controls[index(binding.id)]);
    const FormModel& form = m_tavola.form();
    if (m_caption != form.caption) {
        m_caption = form.caption;
        setWindowTitle(QString::fromStdString(form.caption));
    }
    m_bandsDirty = m_backdrop->setBands(form.hasBackdrop, form.bands);
    syncTimers();
}

bool TavolaView::apply(Binding& binding, const Control& control)
{
    const bool first = !binding.applied;
    if (first)
        binding.applied.emplace();
    Applied& last = *binding.applied;
    QWidget* widget = binding.widget;
    const QRect before = widget->isVisible() ? widget->geometry() : QRect();
    // Every step runs, the caption before the place: a label that sizes itself measures its new caption.
    const bool captionChanged = applyCaption(widget, last, control, first);
    const bool placeChanged = applyPlace(widget, last, control, first, captionChanged);
    const bool coloursChanged = applyColours(widget, last, control, first);
    const bool enabledChanged = applyEnabled(widget, last, control, first);
    const bool visibleChanged = applyVisible(widget, last, control, first);
    const bool changed = captionChanged || placeChanged || coloursChanged || enabledChanged || visibleChanged;
    if (changed)
        m_dirty += before.united(widget->isVisible() ? widget->geometry() : QRect());
    return changed;
}

bool TavolaView::applyCaption(QWidget* widget, Applied& last, const Control& control, bool first)
{
    if (!first && last.caption == control.caption)
        return false;
    last.caption = control.caption;
    const QString caption = QString::fromStdString(control.caption);
    switch (control.kind) {
    case ControlKind::Button: static_cast<ControlButton*>(widget)->setText(caption); break;
    case ControlKind::Label: static_cast<ControlLabel*>(widget)->setText(labelText(control.caption)); break;
    case ControlKind::TextBox: static_cast<QLineEdit*>(widget)->setText(caption); break;
    case ControlKind::Timer: break;
    }
    return true;
}

bool TavolaView::applyPlace(QWidget* widget, Applied& last, const Control& control, bool first, bool captionChanged)
{
    const bool sizesItself = control.kind == ControlKind::Label && control.autoSize;
    const bool moved = first || last.scale != m_zoom.scale || last.left != control.left || last.top != control.top
        || last.width != control.width || last.height != control.height;
    if (!moved && !(sizesItself && captionChanged))
        return false;
    const QRect place = m_zoom.rect(control.left, control.top, control.width, control.height);
    if (sizesItself) {
        // The label grows from its top-left corner to fit its caption.
        widget->move(place.topLeft());
        widget->adjustSize();
    } else {
        widget->setGeometry(place);
    }
    last.left = control.left;
    last.top = control.top;
    last.width = control.width;
    last.height = control.height;
    last.scale = m_zoom.scale;
    return true;
}

bool TavolaView::applyColours(QWidget* widget, Applied& last, const Control& control, bool first)
{
    if (!first && last.backColor == control.backColor && last.foreColor == control.foreColor)
        return false;
    last.backColor = control.backColor;
    last.foreColor = control.foreColor;
    if (control.kind == ControlKind::Button) {
        // A standard-style button keeps the system face whatever its BackColor.
        const bool ownColour = control.graphical && control.backColor;
        static_cast<ControlButton*>(widget)->setFace(widgetColour(ownColour ? *control.backColor : buttonFace));
        return true;
    }
    QPalette palette = widget->palette();
    const QColor back = widgetColour(control.backColor.value_or(labelFace));
    const QColor fore = widgetColour(control.foreColor.value_or(0));
    const bool isLabel = control.kind == ControlKind::Label;
    palette.setColor(isLabel ? QPalette::Window : QPalette::Base, back);
    palette.setColor(isLabel ? QPalette::WindowText : QPalette::Text, fore);
    widget->setPalette(palette);
    return true;
}

bool TavolaView::applyEnabled(QWidget* widget, Applied& last, const Control& control, bool first)
{
    if (!first && last.enabled == control.enabled)
        return false;
    last.enabled = control.enabled;
    widget->setEnabled(control.enabled);
    applyPointer(widget, control);
    return true;
}

bool TavolaView::applyVisible(QWidget* widget, Applied& last, const Control& control, bool first)
{
    if (!first && last.visible == control.visible)
        return false;
    last.visible = control.visible;
    widget->setVisible(control.visible);
    return true;
}

} // namespace zanfiro
