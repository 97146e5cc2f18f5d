// SPDX-License-Identifier: GPL-3.0-or-later
// The widgets the window's controls become, and the one place where design values turn into
// widget pixels, fonts and colours.
#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QString>

#include <string>

#include "app/layout/controls.h"

namespace zanfiro {

// Sizes in points as a 96-DPI screen draws them at the given zoom, whatever DPI the display
// reports; the design's families mapped to metric-compatible ones that ship with the system.
QFont widgetFont(const Font& font, double zoom = 1.0);
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
    QColor face() const { return m_face; }
    void setPictures(const QPixmap& normal, const QPixmap& down, const QPixmap& disabled);
    // The picture on show now, as drawn for the window's zoom and pixel ratio.
    const QPixmap& currentPicture() const;
    // Frame, focus cue and the pressed look's shift drawn for this zoom.
    void setZoom(double zoom);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_face;
    double m_zoom = 1.0;
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
