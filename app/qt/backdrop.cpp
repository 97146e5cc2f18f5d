// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/backdrop.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "app/qt/control_widgets.h"

namespace zanfiro {

namespace {

// The controls' area shows the bands behind it itself, so a picture of the area alone (a
// screenshot, a test) shows what the pupil sees there, and the backdrop need not paint under it.
class ControlsArea : public QWidget {
public:
    explicit ControlsArea(Backdrop* backdrop) : QWidget(backdrop), m_backdrop(backdrop)
    {
        setObjectName(QStringLiteral("controls"));
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        m_backdrop->paintBands(painter, event->rect().translated(pos()), pos());
    }

private:
    Backdrop* m_backdrop;
};

} // namespace

Backdrop::Backdrop(std::function<void()> onClick, QWidget* parent)
    : QWidget(parent), m_onClick(std::move(onClick)), m_area(new ControlsArea(this))
{
    setAutoFillBackground(true);
    m_area->resize(clientWidthPx, clientHeightPx);
}

QSize Backdrop::sizeHint() const { return {clientWidthPx, clientHeightPx}; }

bool Backdrop::setBands(bool painted, const std::array<Colour, bandCount>& bands)
{
    if (painted == m_painted && (!painted || bands == m_bands))
        return false;
    m_painted = painted;
    m_bands = bands;
    setAutoFillBackground(!painted);
    // Painting its bands, the area hides whatever lies under it; being opaque, it is not
    // repainted with its parent, so it is told on its own.
    m_area->setAttribute(Qt::WA_OpaquePaintEvent, painted);
    update();
    m_area->update();
    return true;
}

// Band i spans i/256 to (i+1)/256 of the client's height. Without antialiasing a shared edge
// rounds the same way for both bands at any device pixel ratio: no seam, no gap.
void Backdrop::paintBands(QPainter& painter, const QRect& rect, QPoint origin) const
{
    if (!m_painted || height() <= 0)
        return;
    const qreal bandHeight = static_cast<qreal>(height()) / bandCount;
    const auto edge = [bandHeight](int i) { return i * bandHeight; };
    // Only the bands the rectangle meets, with one to spare each side for the rounding of a
    // fractional pixel ratio.
    const auto bandAt = [bandHeight](int y) { return std::clamp(static_cast<int>(y / bandHeight), 0, int(bandCount) - 1); };
    const int first = std::max(0, bandAt(rect.top()) - 1);
    const int last = std::min(int(bandCount) - 1, bandAt(rect.bottom()) + 1);
    for (int i = first; i <= last; ++i) {
        const QRectF band(QPointF(rect.left(), edge(i)), QPointF(rect.right() + 1, edge(i + 1)));
        painter.fillRect(band.translated(-origin), widgetColour(m_bands[static_cast<std::size_t>(i)]));
    }
}

void Backdrop::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    paintBands(painter, event->rect(), QPoint());
}

void Backdrop::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    emit resized();
}

// A click is a press and a release of the primary button, both on the bare window (a margin, or
// the area where no enabled control is); a disabled control lets its clicks through to the
// window, as the start button does.
bool Backdrop::isBackgroundAt(const QPoint& point) const
{
    if (!rect().contains(point))
        return false;
    QWidget* child = childAt(point);
    while (child && child != m_area && child->parentWidget() != m_area)
        child = child->parentWidget();
    return !child || child == m_area || !child->isEnabled();
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
