// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/desk/score_chart.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

#include "app/qt/desk/results_model.h"

namespace zanfiro::desk {

namespace {

const QColor lineColour(0x1f, 0x5f, 0xbf);
const QColor axisColour(0x80, 0x80, 0x80);

// The line through every game; when there are more games than pixels across, each pixel column
// keeps its highest and lowest score, which looks the same and paints in a moment.
template <typename X, typename Y>
QPolygonF linePoints(std::size_t count, X xOf, Y yOf, qreal width)
{
    QPolygonF line;
    if (qreal(count) <= 2 * width) {
        for (std::size_t i = 0; i < count; ++i)
            line << QPointF(xOf(i), yOf(i));
        return line;
    }
    qreal column = -1, low = 0, high = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const qreal x = std::floor(xOf(i)), y = yOf(i);
        if (x != column) {
            if (column >= 0)
                line << QPointF(column, low) << QPointF(column, high);
            column = x;
            low = high = y;
        }
        low = std::min(low, y);
        high = std::max(high, y);
    }
    line << QPointF(column, low) << QPointF(column, high);
    return line;
}

} // namespace

void paintScoreChart(QPainter& painter, const QRectF& area, const std::vector<ChartPoint>& points,
    const QString& title)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetricsF metrics(painter.font());
    const qreal line = metrics.height();
    painter.setPen(Qt::black);
    painter.drawText(QRectF(area.left(), area.top(), area.width(), line), Qt::AlignLeft | Qt::AlignVCenter, title);
    if (points.empty()) {
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("Nessuna partita nel periodo scelto."));
        painter.restore();
        return;
    }
    const auto [low, high] = std::minmax_element(points.begin(), points.end(),
        [](const ChartPoint& a, const ChartPoint& b) { return a.score < b.score; });
    // Zero is always on the scale, so a lost game reads as one below the line.
    const int top = std::max(high->score, 0);
    const int bottom = std::min(low->score, 0);
    const int span = std::max(top - bottom, 1);
    const qreal labelWidth = std::max(metrics.horizontalAdvance(QString::number(top)),
                                 metrics.horizontalAdvance(QString::number(bottom))) + line / 2;
    const QRectF plot(area.left() + labelWidth, area.top() + line * 1.5, area.width() - labelWidth - line / 2,
        area.height() - line * 3);
    const auto yOf = [&](int score) { return plot.bottom() - plot.height() * (score - bottom) / span; };
    const auto xOf = [&](std::size_t i) {
        return points.size() == 1 ? plot.center().x() : plot.left() + plot.width() * qreal(i) / qreal(points.size() - 1);
    };

    painter.setPen(QPen(axisColour, 0));
    painter.drawLine(QPointF(plot.left(), plot.top()), QPointF(plot.left(), plot.bottom()));
    painter.drawLine(QPointF(plot.left(), yOf(0)), QPointF(plot.right(), yOf(0)));
    painter.setPen(Qt::black);
    const auto scaleLabel = [&](int score) {
        painter.drawText(QRectF(area.left(), yOf(score) - line / 2, labelWidth - line / 4, line),
            Qt::AlignRight | Qt::AlignVCenter, QString::number(score));
    };
    scaleLabel(top);
    if (bottom != top)
        scaleLabel(bottom);
    const QRectF dates(plot.left(), plot.bottom() + line / 4, plot.width(), line);
    painter.drawText(dates, Qt::AlignLeft | Qt::AlignVCenter, shownDate(points.front().when));
    if (points.size() > 1)
        painter.drawText(dates, Qt::AlignRight | Qt::AlignVCenter, shownDate(points.back().when));

    painter.setPen(QPen(lineColour, std::max(1.0, line / 8)));
    // Segment by segment: one stroked path over hundreds of zigzags takes the raster engine
    // a tenth of a second.
    const QPolygonF through = linePoints(points.size(), xOf, [&](std::size_t i) { return yOf(points[i].score); }, plot.width());
    QList<QLineF> segments;
    segments.reserve(through.size());
    for (qsizetype i = 1; i < through.size(); ++i)
        segments << QLineF(through[i - 1], through[i]);
    painter.drawLines(segments);
    // Dots only while they stay apart; hundreds of games read better as a line.
    if (plot.width() / qreal(points.size()) > line / 2) {
        painter.setBrush(lineColour);
        const qreal r = line / 6;
        for (std::size_t i = 0; i < points.size(); ++i)
            painter.drawEllipse(QPointF(xOf(i), yOf(points[i].score)), r, r);
    }
    painter.restore();
}

ScoreChart::ScoreChart(QWidget* parent) : QWidget(parent)
{
    setMinimumHeight(160);
    setAccessibleName(QStringLiteral("Grafico dei punti"));
}

void ScoreChart::setPoints(std::vector<ChartPoint> points, QString title)
{
    m_points = std::move(points);
    m_title = std::move(title);
    setAccessibleDescription(m_title);
    update();
}

void ScoreChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    paintScoreChart(painter, QRectF(rect()).adjusted(6, 4, -6, -4), m_points, m_title);
}

} // namespace zanfiro::desk
