// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <array>
#include <functional>

#include "app/layout/controls.h"
#include "app/tavola.h"

namespace zanfiro {

// The window's client area: it paints the backdrop's horizontal bands over its whole height at
// any size and device pixel ratio, and turns a click on the bare window into one call.
class Backdrop : public QWidget {
    Q_OBJECT
public:
    explicit Backdrop(std::function<void()> onClick, QWidget* parent = nullptr);
    // True when the picture changed.
    bool setBands(bool painted, const std::array<Colour, bandCount>& bands);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool isBackgroundAt(const QPoint& point) const;

    std::function<void()> m_onClick;
    bool m_painted = false;
    std::array<Colour, bandCount> m_bands{};
    bool m_pressed = false;
};

} // namespace zanfiro
