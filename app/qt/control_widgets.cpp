// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/control_widgets.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>
#include <QToolTip>

#include <array>
#include <string_view>

#include "app/qt/shipped_fonts.h"

namespace zanfiro {

namespace {

constexpr double referenceDpi = 96.0;
constexpr double pointsPerInch = 72.0;

struct FamilyChoice {
    std::string_view design;
    const char* first;
    const char* second;
    QFont::StyleHint hint;
    bool heavy;
};

// Liberation first: it has the metrics of the Windows faces the layout was measured with; the
// Windows face second, for a build on Windows.
constexpr std::array<FamilyChoice, 4> familyChoices{{
    {"MS Sans Serif", "Liberation Sans", "MS Sans Serif", QFont::SansSerif, false},
    {"Arial", "Liberation Sans", "Arial", QFont::SansSerif, false},
    {"Times New Roman", "Liberation Serif", "Times New Roman", QFont::Serif, false},
    {"Arial Black", "Liberation Sans", "Arial Black", QFont::SansSerif, true},
}};

// The toolkit's standard font, for a control that names none.
constexpr Font standardFont{"MS Sans Serif", 8.25, false, false};

const QColor frameHighlight(0xFF, 0xFF, 0xFF);
const QColor frameLight(0xDF, 0xDF, 0xDF);
const QColor frameShadow(0x80, 0x80, 0x80);
const QColor frameDark(0x00, 0x00, 0x00);
const QColor etchedGrey(0x80, 0x80, 0x80);

// Two rings of the given thickness, light over dark when raised and the other way when pressed;
// the bottom and right edges are drawn last, over the corners they share with the top and left.
void drawBevel(QPainter& painter, const QRect& rect, bool down, int thickness)
{
    const QColor& outerTopLeft = down ? frameDark : frameHighlight;
    const QColor& innerTopLeft = down ? frameShadow : frameLight;
    const QColor& outerBottomRight = down ? frameHighlight : frameDark;
    const QColor& innerBottomRight = down ? frameLight : frameShadow;
    const QRect& outer = rect;
    const QRect inner = outer.adjusted(thickness, thickness, -thickness, -thickness);
    const int t = thickness;
    const auto edges = [&painter, t](const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
        painter.fillRect(QRect(r.left(), r.top(), r.width(), t), topLeft);
        painter.fillRect(QRect(r.left(), r.top(), t, r.height()), topLeft);
        painter.fillRect(QRect(r.left(), r.bottom() - t + 1, r.width(), t), bottomRight);
        painter.fillRect(QRect(r.right() - t + 1, r.top(), t, r.height()), bottomRight);
    };
    edges(outer, outerTopLeft, outerBottomRight);
    edges(inner, innerTopLeft, innerBottomRight);
}

} // namespace

QFont widgetFont(const Font& font, const Zoom& zoom)
{
    registerShippedFonts(); // the faces named below, before anything measures with them
    const Font& chosen = font.pointSize > 0 ? font : standardFont;
    QFont result;
    const FamilyChoice* choice = &familyChoices.front();
    for (const FamilyChoice& candidate : familyChoices)
        if (candidate.design == chosen.family)
            choice = &candidate;
    result.setFamilies({QString::fromLatin1(choice->first), QString::fromLatin1(choice->second)});
    result.setStyleHint(choice->hint);
    result.setPixelSize(zoom.visibleLength(chosen.pointSize * referenceDpi / pointsPerInch));
    if (choice->heavy)
        result.setWeight(QFont::Black);
    else
        result.setBold(chosen.bold);
    result.setItalic(chosen.italic);
    return result;
}

QColor widgetColour(Colour colour)
{
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
        static_cast<int>((colour >> 16) & 0xFF));
}

QString labelText(const std::string& caption)
{
    QString text = QString::fromStdString(caption);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

bool showPlainToolTip(QWidget* widget, QEvent* event)
{
    const QString text = widget->toolTip();
    // A disabled control shows no tooltip, unlike a disabled Qt widget.
    if (!widget->isEnabled() || text.isEmpty()) {
        QToolTip::hideText();
        return true;
    }
    const QString shown = Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpacePre) : text;
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), shown, widget);
    return true;
}

ControlButton::ControlButton(QWidget* parent) : QPushButton(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoDefault(false);
}

void ControlButton::setFace(const QColor& colour)
{
    if (colour == m_face)
        return;
    m_face = colour;
    update();
}

void ControlButton::setPictures(const QPixmap& normal, const QPixmap& down, const QPixmap& disabled)
{
    m_normal = normal;
    m_down = down;
    m_disabled = disabled;
    update();
}

void ControlButton::setZoom(const Zoom& zoom)
{
    // Where the design's area stands does not change how a button looks.
    if (zoom.scale == m_zoom.scale)
        return;
    m_zoom = zoom;
    update();
}

const QPixmap& ControlButton::currentPicture() const
{
    if (!isEnabled())
        return m_disabled;
    return isDown() ? m_down : m_normal;
}

bool ControlButton::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ToolTip:
        return showPlainToolTip(this, event);
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        // A disabled Qt button keeps its clicks; a disabled control hands them to the window.
        if (!isEnabled()) {
            event->ignore();
            return false;
        }
        break;
    default:
        break;
    }
    return QPushButton::event(event);
}

void ControlButton::paintEvent(QPaintEvent*)
{
    // The classic desktop's one-pixel lines and three-pixel margins, grown with the zoom.
    const int line = m_zoom.lineWidth();
    const int margin = m_zoom.visibleLength(3);
    QPainter painter(this);
    painter.fillRect(rect(), m_face);
    drawBevel(painter, rect(), isDown(), line);

    // A pressed button's contents move one pixel down and right, as on the classic desktop.
    const QPoint shift = isDown() ? QPoint(line, line) : QPoint(0, 0);
    const QRect content = rect().adjusted(margin, margin, -margin, -margin).translated(shift);
    const QPixmap& picture = currentPicture();
    const QSizeF pictureSize = picture.isNull() ? QSizeF() : picture.deviceIndependentSize();
    const int textHeight = text().isEmpty() ? 0 : fontMetrics().height();
    const int blockHeight = qRound(pictureSize.height()) + textHeight;
    const int blockTop = content.top() + (content.height() - blockHeight) / 2;
    if (!picture.isNull()) {
        const QPointF at(content.left() + (content.width() - pictureSize.width()) / 2.0, blockTop);
        painter.drawPixmap(at, picture);
    }
    if (textHeight > 0) {
        const QRect textRect(content.left(), blockTop + qRound(pictureSize.height()), content.width(), textHeight);
        const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextShowMnemonic | Qt::TextSingleLine;
        painter.setFont(font());
        if (!isEnabled()) {
            painter.setPen(frameHighlight);
            painter.drawText(textRect.translated(line, line), flags, text());
            painter.setPen(etchedGrey);
        } else {
            painter.setPen(Qt::black);
        }
        painter.drawText(textRect, flags, text());
    }
    if (hasFocus()) {
        QPen dotted(Qt::black, line, Qt::DotLine);
        painter.setPen(dotted);
        const int inset = m_zoom.visibleLength(4);
        painter.drawRect(rect().adjusted(inset, inset, -inset - line, -inset - line));
    }
}

ControlLabel::ControlLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::NoTextInteraction);
    setMargin(0);
    setIndent(0);
    setFocusPolicy(Qt::NoFocus);
}

bool ControlLabel::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip)
        return showPlainToolTip(this, event);
    return QLabel::event(event);
}

void ControlLabel::mousePressEvent(QMouseEvent* event) { event->accept(); }
void ControlLabel::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }
void ControlLabel::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

} // namespace zanfiro
