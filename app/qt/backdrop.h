// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <array>
#include <functional>

#include "app/layout/controls.h"
#include "app/tavola.h"

namespace zanfiro {

// The window's client area: it paints the backdrop's horizontal bands over its whole height at
// any size and device pixel ratio, and turns a click on the bare window into one call. The
// controls stand on its area, a child of the design's aspect that clips them, so a control
// placed past the design's edge stays out of sight in the margins too. A click on a margin is
// a click on the bare window.
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

private:
    bool isBackgroundAt(const QPoint& point) const;

    std::function<void()> m_onClick;
    QWidget* m_area = nullptr;
    bool m_painted = false;
    std::array<Colour, bandCount> m_bands{};
    bool m_pressed = false;
};

} // namespace zanfiro
