// SPDX-License-Identifier: GPL-3.0-or-later
// The widgets the window's controls become, and where the design's fonts and colours turn into
// Qt's; sizes on screen come from the window's Zoom.
#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QString>

#include <string>

#include "app/layout/controls.h"
#include "app/qt/zoom.h"

namespace zanfiro {

// Sizes in points as a 96-DPI screen draws them at the given zoom, whatever DPI the display
// reports; the design's families mapped to metric-compatible ones that ship with the system.
QFont widgetFont(const Font& font, const Zoom& zoom = {});
QColor widgetColour(Colour colour);
// A caption as a label shows it: CR LF (or a lone CR or LF) is one line break.
QString labelText(const std::string& caption);

// Shows a widget's tooltip as the literal text it is, never as markup.
bool showPlainToolTip(QWidget* widget, QEvent* event);

// A command button painted by itself in its exact BackColor with a raised frame, its picture
// above the caption. Disabled, it keeps its colour and shows its disabled picture and no tooltip.
class ControlButton : public QPushButton {
    Q_OBJECT
public:
    explicit ControlButton(QWidget* parent = nullptr);
    void setFace(const QColor& colour);
    void setPictures(const QPixmap& normal, const QPixmap& down, const QPixmap& disabled);
    // The picture on show now, as drawn for the window's zoom and pixel ratio.
    const QPixmap& currentPicture() const;
    // Frame, focus cue and the pressed look's shift drawn for this zoom.
    void setZoom(const Zoom& zoom);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_face;
    Zoom m_zoom;
    QPixmap m_normal;
    QPixmap m_down;
    QPixmap m_disabled;
};

// A label: a visible label keeps every click to itself, and it has no handler.
class ControlLabel : public QLabel {
    Q_OBJECT
public:
    explicit ControlLabel(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

} // namespace zanfiro
