// SPDX-License-Identifier: GPL-3.0-or-later
// One pupil's score game after game, oldest on the left: a line with a dot per game, the
// zero line, the highest and lowest score on the left and the first and last date below.
#pragma once

#include <QWidget>

#include <vector>

#include "record/log_reader.h"

namespace zanfiro::desk {

struct ChartPoint {
    LocalTime when;
    int score = 0;
};

// Paints the chart into `area`; the same drawing goes on screen and into the PDF.
void paintScoreChart(QPainter& painter, const QRectF& area, const std::vector<ChartPoint>& points,
    const QString& title);

class ScoreChart : public QWidget {
    Q_OBJECT
public:
    explicit ScoreChart(QWidget* parent = nullptr);
    void setPoints(std::vector<ChartPoint> points, QString title);
    const std::vector<ChartPoint>& points() const { return m_points; }
    const QString& title() const { return m_title; }
    QSize sizeHint() const override { return {480, 220}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<ChartPoint> m_points;
    QString m_title;
};

} // namespace zanfiro::desk
