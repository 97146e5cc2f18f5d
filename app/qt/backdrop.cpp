// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/backdrop.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

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
    m_area->installEventFilter(this);
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
    paintOverhangs(painter, event->region());
}

QRect Backdrop::placeInSight(QObject* child) const
{
    const auto* control = qobject_cast<QWidget*>(child);
    if (!control || !control->isVisible())
        return {};
    const QRect place = control->geometry().translated(m_area->pos());
    return place.intersects(m_area->geometry()) ? place : QRect();
}

void Backdrop::paintOverhangs(QPainter& painter, const QRegion& region)
{
    for (QObject* child : m_area->children()) { // back to front
        const QRect place = placeInSight(child);
        if (place.isNull())
            continue;
        const QRegion outside = (QRegion(place) - m_area->geometry()) & region;
        if (outside.isEmpty())
            continue;
        auto* control = static_cast<QWidget*>(child);
        // Drawn whole into a picture of its own first: rendered straight onto this widget's
        // painter during its paint, it landed out of place.
        const QWidget::RenderFlags flags = control->autoFillBackground()
            ? QWidget::DrawWindowBackground | QWidget::DrawChildren : QWidget::RenderFlags(QWidget::DrawChildren);
        QPixmap picture(control->size() * devicePixelRatioF());
        picture.setDevicePixelRatio(devicePixelRatioF());
        picture.fill(Qt::transparent);
        m_rendering = true;
        control->render(&picture, QPoint(), QRegion(control->rect()), flags);
        m_rendering = false;
        painter.save();
        painter.setClipRegion(outside);
        painter.drawPixmap(place.topLeft(), picture);
        painter.restore();
    }
}

void Backdrop::updateMargins(const QRect& place)
{
    const QRegion outside = (QRegion(place.translated(m_area->pos())) - m_area->geometry()) & rect();
    if (!outside.isEmpty())
        update(outside);
}

// The area's controls are watched so that what they show in the margins keeps up with them.
bool Backdrop::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_area) {
        if (event->type() == QEvent::ChildAdded)
            static_cast<QChildEvent*>(event)->child()->installEventFilter(this);
        return false;
    }
    auto* control = qobject_cast<QWidget*>(watched);
    if (!control || control->parentWidget() != m_area || m_rendering)
        return false;
    switch (event->type()) {
    case QEvent::Paint:
    case QEvent::Show:
    case QEvent::Hide:
        updateMargins(control->geometry());
        break;
    case QEvent::Move:
        updateMargins(QRect(static_cast<QMoveEvent*>(event)->oldPos(), control->size()));
        updateMargins(control->geometry());
        break;
    case QEvent::Resize:
        updateMargins(QRect(control->pos(), static_cast<QResizeEvent*>(event)->oldSize()));
        updateMargins(control->geometry());
        break;
    default:
        break;
    }
    return false;
}

void Backdrop::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    emit resized();
}

// A click is a press and a release of the primary button, both on the bare window (a margin, or
// the area, where no enabled control is); a disabled control, or its outer part in a margin, lets
// its clicks through to the window, as the start button does.
bool Backdrop::isBackgroundAt(const QPoint& point) const
{
    if (!rect().contains(point))
        return false;
    if (const QWidget* control = overhangAt(point))
        return !control->isEnabled();
    QWidget* child = childAt(point);
    while (child && child != m_area && child->parentWidget() != m_area)
        child = child->parentWidget();
    return !child || child == m_area || !child->isEnabled();
}

QWidget* Backdrop::overhangAt(const QPoint& point) const
{
    if (m_area->geometry().contains(point))
        return nullptr;
    const QObjectList& children = m_area->children();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (placeInSight(*it).contains(point))
            return static_cast<QWidget*>(*it);
    return nullptr;
}

void Backdrop::forward(QMouseEvent* event)
{
    QMouseEvent copy(event->type(), m_forwardTo->mapFrom(this, event->position()), event->scenePosition(),
        event->globalPosition(), event->button(), event->buttons(), event->modifiers(), event->pointingDevice());
    QCoreApplication::sendEvent(m_forwardTo, &copy);
}

void Backdrop::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (!m_forwardTo) {
        QWidget* control = overhangAt(event->position().toPoint());
        if (control && control->isEnabled())
            m_forwardTo = control;
    }
    if (m_forwardTo) {
        forward(event);
        return;
    }
    if (event->button() == Qt::LeftButton)
        m_pressed = isBackgroundAt(event->position().toPoint());
}

void Backdrop::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    if (m_forwardTo)
        forward(event);
}

void Backdrop::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (m_forwardTo) {
        forward(event);
        if (event->buttons() == Qt::NoButton)
            m_forwardTo = nullptr;
        return;
    }
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    if (isBackgroundAt(event->position().toPoint()))
        m_onClick();
}

} // namespace zanfiro
