// SPDX-License-Identifier: GPL-3.0-or-later
// The class table and one pupil's chart on A4 pages, for the class register.
#pragma once

#include <QAbstractItemModel>
#include <QString>
#include <QStringList>

#include "app/qt/desk/score_chart.h"

class QPagedPaintDevice;

namespace zanfiro::desk {

struct ResultsPage {
    QStringList heading; // title first, then one line each
    const QAbstractItemModel* table = nullptr; // as the window sorts it
    std::vector<ChartPoint> chart;
    QString chartTitle; // empty: no chart
};

// Paints onto any paged device: a PDF file or, where there is print support, a printer. False
// when the device cannot be painted on.
bool paintResults(QPagedPaintDevice& device, const ResultsPage& page);
// False when the file cannot be written.
bool saveResultsPdf(const QString& path, const ResultsPage& page);

} // namespace zanfiro::desk
