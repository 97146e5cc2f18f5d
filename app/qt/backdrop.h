// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>

#include "app/layout/controls.h"
#include "app/tavola.h"

namespace zanfiro {

// The window's client area: it paints the backdrop's horizontal bands over its whole height at
// any size and device pixel ratio, and turns a click on the bare window into one call. The
// controls stand on its area, a child of the design's aspect. Where the zoom leaves margins, a
// control that sticks out of the area is drawn whole, its outer part in the margin, and that part
// takes its clicks; one placed wholly past the design's edge stays out of sight, as at the design
// size. A click on the rest of a margin is a click on the bare window.
class Backdrop : public QWidget {
    Q_OBJECT
public:
    explicit Backdrop(std::function<void()> onClick, QWidget* parent = nullptr);
    // True when the picture changed.
    bool setBands(bool painted, const std::array<Colour, bandCount>& bands);
    QWidget* area() const { return m_area; }
    // Paints the bands that lie under rect, given in this widget's co-ordinates, with the
    // painter's origin at origin.
    void paintBands(QPainter& painter, const QRect& rect, QPoint origin) const;
    QSize sizeHint() const override;

signals:
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isBackgroundAt(const QPoint& point) const;
    // Where a control of the area stands in this widget; null when it is hidden or wholly past
    // the area's edge, out of sight.
    QRect placeInSight(QObject* child) const;
    // The control whose part outside the area is under point, front first.
    QWidget* overhangAt(const QPoint& point) const;
    void paintOverhangs(QPainter& painter, const QRegion& region);
    // Repaints what a control at this place, in the area's co-ordinates, shows in the margins.
    void updateMargins(const QRect& place);
    void forward(QMouseEvent* event);

    std::function<void()> m_onClick;
    QWidget* m_area = nullptr;
    bool m_painted = false;
    std::array<Colour, bandCount> m_bands{};
    bool m_pressed = false;
    QPointer<QWidget> m_forwardTo; // the control a press on its outer part went to
    bool m_rendering = false;      // drawing the outer parts, whose paints need no echo
};

} // namespace zanfiro
