// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/backdrop.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/qt/control_widgets.h"

namespace zanfiro {

Backdrop::Backdrop(std::function<void()> onClick, QWidget* parent) : QWidget(parent), m_onClick(std::move(onClick))
{
    setAutoFillBackground(true);
}

bool Backdrop::setBands(bool painted, const std::array<Colour, bandCount>& bands)
{
    if (painted == m_painted && (!painted || bands == m_bands))
        return false;
    m_painted = painted;
    m_bands = bands;
    setAutoFillBackground(!painted);
    update();
    return true;
}

void Backdrop::paintEvent(QPaintEvent*)
{
    if (!m_painted)
        return;
    // Band i spans i/256 to (i+1)/256 of the height. Without antialiasing a shared edge rounds
    // the same way for both bands at any device pixel ratio: no seam, no gap.
    QPainter painter(this);
    const auto edge = [this](std::size_t i) { return static_cast<qreal>(i) * height() / bandCount; };
    for (std::size_t i = 0; i < bandCount; ++i)
        painter.fillRect(QRectF(QPointF(0, edge(i)), QPointF(width(), edge(i + 1))), widgetColour(m_bands[i]));
}

// A click is a press and a release of the primary button, both on the bare window; a disabled
// control lets its clicks through to the window, as the start button does.
bool Backdrop::isBackgroundAt(const QPoint& point) const
{
    if (!rect().contains(point))
        return false;
    QWidget* child = childAt(point);
    while (child && child->parentWidget() != this)
        child = child->parentWidget();
    return !child || !child->isEnabled();
}

void Backdrop::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = isBackgroundAt(event->position().toPoint());
    event->accept();
}

void Backdrop::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    if (isBackgroundAt(event->position().toPoint()))
        m_onClick();
}

} // namespace zanfiro
