// SPDX-License-Identifier: GPL-3.0-or-later
// The class table: one row per pupil. Each cell shows Italian text and sorts by its number
// (sortRole), so 10 comes after 9 and a date sorts as a date.
#pragma once

#include <QAbstractTableModel>

#include <vector>

#include "record/class_results.h"

namespace zanfiro::desk {

class ResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Name, Games, Best, BestWhen, Last, LastFive, Hits, Misses, Accuracy, LastGame, ColumnCount };
    static constexpr int sortRole = Qt::UserRole;

    using QAbstractTableModel::QAbstractTableModel;
    void setPupils(std::vector<PupilResults> pupils);
    const std::vector<PupilResults>& pupils() const { return m_pupils; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<PupilResults> m_pupils;
};

// How the window and the PDF write a date, a score and an average.
QString shownDate(LocalTime when, bool withTime = false);
QString shownAverage(double value);
QString shownAccuracy(double percent);

} // namespace zanfiro::desk
