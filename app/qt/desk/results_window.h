// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's desk: the class's results from the game log of the record folder, one pupil's
// chart and games, the class record, a PDF for the class register, and the record's reset.
// A window of its own, started with --risultati; it reads the log and never writes it.
#pragma once

#include <QMainWindow>

#include <string>

#include "app/game_rules.h"
#include "record/class_record.h"
#include "record/class_results.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

namespace zanfiro {
class Host;
class RuntimeError;
}

namespace zanfiro::desk {

class ResultsModel;

// An error on one line: what went wrong and where.
QString errorText(const RuntimeError& error);
class ScoreChart;
struct ResultsPage;

class ResultsWindow : public QMainWindow {
    Q_OBJECT
public:
    // The record shown and reset is the one of the table and length the machine's settings choose.
    ResultsWindow(Host& host, GameRules rules, QWidget* parent = nullptr);
    // Reads the record folder again: the record, the log, and the table.
    void reload();
    QTableView& table() { return *m_table; }

private:
    QWidget* buildTop();
    QString readLog(const QString& path);
    void refilter();
    void showPupil();
    void showRecord();
    void replaceGames(QStandardItemModel* games);
    ResultsPage page() const;
    void savePdf();
    void print();
    void resetRecord();

    Host& m_host;
    GameRules m_rules;
    RecordPaths m_paths;
    GameLogContents m_log;
    ClassRecord m_record;
    QLabel* m_recordLine = nullptr;
    QLabel* m_logLine = nullptr;
    QComboBox* m_period = nullptr;
    QPushButton* m_reset = nullptr;
    ResultsModel* m_model = nullptr;
    QSortFilterProxyModel* m_sorted = nullptr;
    QTableView* m_table = nullptr;
    ScoreChart* m_chart = nullptr;
    QStandardItemModel* m_games = nullptr;
    QTableView* m_gameList = nullptr;
};

} // namespace zanfiro::desk
