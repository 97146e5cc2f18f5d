// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/desk/pdf_export.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>

namespace zanfiro::desk {

namespace {

constexpr int pdfDpi = 300;

// Column widths from the widest text in each column, the name column taking what is left.
std::vector<qreal> columnWidths(const QAbstractItemModel& table, const QFontMetricsF& metrics, qreal width)
{
    const int columns = table.columnCount();
    std::vector<qreal> widths(std::size_t(columns), 0);
    const qreal gap = metrics.height();
    for (int c = 0; c < columns; ++c) {
        qreal widest = metrics.horizontalAdvance(table.headerData(c, Qt::Horizontal).toString());
        for (int r = 0; r < table.rowCount(); ++r)
            widest = std::max(widest, metrics.horizontalAdvance(table.index(r, c).data().toString()));
        widths[std::size_t(c)] = widest + gap;
    }
    qreal total = 0;
    for (const qreal w : widths)
        total += w;
    if (total > width) // too wide for the page: every column gives up the same share
        for (qreal& w : widths)
            w *= width / total;
    else
        widths[0] += width - total;
    return widths;
}

void paintRow(QPainter& painter, qreal y, qreal rowHeight, const std::vector<qreal>& widths, const QStringList& cells,
    qreal left)
{
    qreal x = left;
    for (std::size_t c = 0; c < widths.size(); ++c) {
        const QRectF cell(x, y, widths[c] - rowHeight / 3, rowHeight);
        const Qt::Alignment align = (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter;
        painter.drawText(cell, int(align), painter.fontMetrics().elidedText(cells.value(int(c)), Qt::ElideRight,
            int(cell.width())));
        x += widths[c];
    }
}

} // namespace

bool paintResults(QPagedPaintDevice& device, const ResultsPage& page)
{
    QPainter painter(&device);
    if (!painter.isActive())
        return false;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(9);
    painter.setFont(font);
    const QRectF paper(QPointF(0, 0), QSizeF(painter.viewport().size()));
    const qreal row = painter.fontMetrics().height() * 1.4;
    qreal y = 0;

    QFont titleFont = font;
    titleFont.setPointSizeF(15);
    titleFont.setBold(true);
    painter.setFont(titleFont);
    painter.drawText(QRectF(0, y, paper.width(), row * 2), Qt::AlignLeft | Qt::AlignVCenter, page.heading.value(0));
    y += row * 2;
    painter.setFont(font);
    for (const QString& line : page.heading.mid(1)) {
        painter.drawText(QRectF(0, y, paper.width(), row), Qt::AlignLeft | Qt::AlignVCenter, line);
        y += row;
    }
    y += row / 2;

    const QAbstractItemModel& table = *page.table;
    const std::vector<qreal> widths = columnWidths(table, QFontMetricsF(painter.font()), paper.width());
    QStringList headers;
    for (int c = 0; c < table.columnCount(); ++c)
        headers << table.headerData(c, Qt::Horizontal).toString();
    const auto paintHeader = [&] {
        QFont bold = font;
        bold.setBold(true);
        painter.setFont(bold);
        paintRow(painter, y, row, widths, headers, 0);
        painter.setFont(font);
        y += row;
        painter.drawLine(QPointF(0, y), QPointF(paper.width(), y));
    };
    paintHeader();
    for (int r = 0; r < table.rowCount(); ++r) {
        if (y + row > paper.height()) {
            device.newPage();
            y = 0;
            paintHeader();
        }
        QStringList cells;
        for (int c = 0; c < table.columnCount(); ++c)
            cells << table.index(r, c).data().toString();
        paintRow(painter, y, row, widths, cells, 0);
        y += row;
    }

    if (page.chartTitle.isEmpty())
        return true;
    const qreal chartHeight = paper.width() * 0.45;
    y += row;
    if (y + chartHeight > paper.height()) {
        device.newPage();
        y = 0;
    }
    paintScoreChart(painter, QRectF(0, y, paper.width(), chartHeight), page.chart, page.chartTitle);
    return true;
}

bool saveResultsPdf(const QString& path, const ResultsPage& page)
{
    // Written whole or not at all: an older PDF of the same name stays until the new one is done.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QPdfWriter writer(&file);
    writer.setResolution(pdfDpi);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
        QPageLayout::Millimeter));
    writer.setTitle(page.heading.value(0));
    writer.setCreator(QStringLiteral("Zanfiro"));
    return paintResults(writer, page) && file.commit();
}

} // namespace zanfiro::desk
