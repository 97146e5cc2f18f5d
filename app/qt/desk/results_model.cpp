// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/desk/results_model.h"

#include <QLocale>

#include <array>

namespace zanfiro::desk {

namespace {

const std::array<const char*, ResultsModel::ColumnCount> headers = {"Nome", "Partite", "Migliore", "Quando",
    "Ultima", "Media ultime 5", "Colpiti", "Errori", "Precisione", "Ultima partita"};

qlonglong seconds(LocalTime when) { return qlonglong(when.time_since_epoch().count()); }

} // namespace

QString shownDate(LocalTime when, bool withTime)
{
    const QString text = QString::fromStdString(formatLocalTime(when));
    // "2026-12-07 09:15:02" shown as "07/12/2026" or "07/12/2026 09:15".
    const QString date = text.mid(8, 2) + u'/' + text.mid(5, 2) + u'/' + text.left(4);
    return withTime ? date + u' ' + text.mid(11, 5) : date;
}

QString shownAverage(double value) { return QLocale(QLocale::Italian).toString(value, 'f', 1); }

QString shownAccuracy(double percent)
{
    return percent < 0 ? QStringLiteral("–") : QLocale(QLocale::Italian).toString(percent, 'f', 0) + u'%';
}

void ResultsModel::setPupils(std::vector<PupilResults> pupils)
{
    beginResetModel();
    m_pupils = std::move(pupils);
    endResetModel();
}

int ResultsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(m_pupils.size()); }

int ResultsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant ResultsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_pupils.size()))
        return {};
    const PupilResults& p = m_pupils[std::size_t(index.row())];
    if (role == Qt::TextAlignmentRole)
        return index.column() == Name ? QVariant() : QVariant(int(Qt::AlignRight | Qt::AlignVCenter));
    if (role != Qt::DisplayRole && role != sortRole)
        return {};
    const bool text = role == Qt::DisplayRole;
    switch (Column(index.column())) {
    case Name: return QString::fromStdString(p.name);
    case Games: return qlonglong(p.games.size());
    case Best: return p.bestScore;
    case BestWhen: return text ? QVariant(shownDate(p.bestWhen)) : QVariant(seconds(p.bestWhen));
    case Last: return p.lastScore;
    case LastFive: return text ? QVariant(shownAverage(p.lastFiveAverage)) : QVariant(p.lastFiveAverage);
    case Hits: return qlonglong(p.hits);
    case Misses: return qlonglong(p.misses);
    case Accuracy: return text ? QVariant(shownAccuracy(p.accuracy)) : QVariant(p.accuracy);
    case LastGame: return text ? QVariant(shownDate(p.lastGame, true)) : QVariant(seconds(p.lastGame));
    case ColumnCount: break;
    }
    return {};
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromUtf8(headers[std::size_t(section)]);
}

} // namespace zanfiro::desk
