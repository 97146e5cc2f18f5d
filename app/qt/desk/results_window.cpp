// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/desk/results_window.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include "app/host.h"
#include "app/qt/desk/results_model.h"
#include "app/qt/desk/score_chart.h"
#include "app/runtime_error.h"
#include "record/record_store.h"

namespace zanfiro::desk {

namespace {

// In the order of the period list.
constexpr Period periods[] = {Period::Today, Period::ThisWeek, Period::ThisMonth, Period::All};

std::string caseFolded(std::string_view name)
{
    return QString::fromUtf8(name.data(), qsizetype(name.size())).toCaseFolded().toStdString();
}

QString endText(GameEnd how)
{
    switch (how) {
    case GameEnd::Clock: return QStringLiteral("tempo scaduto");
    case GameEnd::Exit: return QStringLiteral("uscita");
    case GameEnd::NewGame: return QStringLiteral("nuova gara");
    case GameEnd::CloseBox: return QStringLiteral("finestra chiusa");
    }
    return {};
}

QStandardItem* numberItem(int value)
{
    auto* item = new QStandardItem(QString::number(value));
    item->setData(value, ResultsModel::sortRole);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QTableView* newTable(QWidget* parent, const QString& name)
{
    auto* view = new QTableView(parent);
    view->setAccessibleName(name);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSortingEnabled(true);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}

} // namespace

QString errorText(const RuntimeError& error)
{
    return QString::fromStdString(errorDescription(error.number())) + QStringLiteral(" (")
        + QDir::toNativeSeparators(QDir::cleanPath(QString::fromStdString(error.detail()))) + u')';
}

ResultsWindow::ResultsWindow(Host& host, GameRules rules, QWidget* parent)
    : QMainWindow(parent), m_host(host), m_rules(rules)
{
    setWindowTitle(QStringLiteral("Zanfiro: risultati della classe"));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(buildTop());

    m_model = new ResultsModel(this);
    m_sorted = new QSortFilterProxyModel(this);
    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(ResultsModel::sortRole);
    m_sorted->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_sorted->setSortLocaleAware(true);
    m_table = newTable(central, QStringLiteral("Risultati della classe"));
    m_table->setModel(m_sorted);
    m_table->sortByColumn(ResultsModel::Name, Qt::AscendingOrder);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &ResultsWindow::showPupil);

    auto* below = new QSplitter(Qt::Horizontal, central);
    m_chart = new ScoreChart(below);
    m_gameList = newTable(below, QStringLiteral("Partite"));
    below->addWidget(m_chart);
    below->addWidget(m_gameList);
    below->setStretchFactor(0, 1);
    below->setStretchFactor(1, 1);

    auto* both = new QSplitter(Qt::Vertical, central);
    both->addWidget(m_table);
    both->addWidget(below);
    both->setStretchFactor(1, 2);
    layout->addWidget(both, 1);
    setCentralWidget(central);
    resize(1000, 700);
    reload();
}

QWidget* ResultsWindow::buildTop()
{
    auto* top = new QWidget(this);
    auto* lines = new QVBoxLayout(top);
    lines->setContentsMargins(0, 0, 0, 0);
    m_recordLine = new QLabel(top);
    m_logLine = new QLabel(top);
    for (QLabel* label : {m_recordLine, m_logLine}) {
        label->setTextFormat(Qt::PlainText); // a name is shown as typed, never as markup
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        lines->addWidget(label);
    }
    QFont big = m_recordLine->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    big.setBold(true);
    m_recordLine->setFont(big);

    auto* row = new QHBoxLayout;
    auto* periodLabel = new QLabel(QStringLiteral("Periodo:"), top);
    m_period = new QComboBox(top);
    m_period->addItems({QStringLiteral("oggi"), QStringLiteral("questa settimana"), QStringLiteral("questo mese"),
        QStringLiteral("tutto")});
    m_period->setCurrentIndex(3);
    periodLabel->setBuddy(m_period);
    connect(m_period, &QComboBox::currentIndexChanged, this, &ResultsWindow::refilter);
    row->addWidget(periodLabel);
    row->addWidget(m_period);
    row->addStretch(1);
    const auto button = [&](const QString& text, auto slot) {
        auto* b = new QPushButton(text, top);
        connect(b, &QPushButton::clicked, this, slot);
        row->addWidget(b);
        return b;
    };
    button(QStringLiteral("Aggiorna"), &ResultsWindow::reload);
    button(QStringLiteral("Salva in PDF…"), &ResultsWindow::savePdf);
#ifdef ZANFIRO_PRINT
    button(QStringLiteral("Stampa…"), &ResultsWindow::print);
#endif
    m_reset = button(QStringLiteral("Azzera il record…"), &ResultsWindow::resetRecord);
    lines->addLayout(row);
    return top;
}

void ResultsWindow::reload()
{
    m_log = {};
    m_record = {};
    m_paths = {};
    QString logText;
    try {
        m_paths = recordPaths(recordFolderOf(m_host), m_rules);
        logText = readLog(QString::fromStdString(m_paths.folder) + QString::fromUtf8(gameLogFile));
    } catch (const RuntimeError& error) {
        logText = QStringLiteral("Non trovo la cartella del record: %1").arg(errorText(error));
    }
    if (m_log.skippedLines == 1)
        logText += QStringLiteral("  ·  1 riga saltata perché non è una partita di Zanfiro");
    else if (m_log.skippedLines > 1)
        logText += QStringLiteral("  ·  %1 righe saltate perché non sono partite di Zanfiro").arg(m_log.skippedLines);
    m_logLine->setText(logText);
    showRecord();
    refilter();
}

// Reads the log into m_log; says what was read.
QString ResultsWindow::readLog(const QString& path)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("Nessuna partita registrata finora in %1").arg(shown);
    // A folder or a FIFO in its place is no log, and reading a FIFO would wait for ever.
    if (!info.isFile())
        return QStringLiteral("%1 non è un file di partite").arg(shown);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Non riesco a leggere %1: %2").arg(shown, file.errorString());
    const QByteArray bytes = file.readAll();
    m_log = readGameLog(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    return QStringLiteral("Registro: %1").arg(shown);
}

void ResultsWindow::showRecord()
{
    if (!m_paths.folder.empty()) {
        try {
            m_record = readClassRecord(m_host, m_paths);
        } catch (const RuntimeError& error) {
            m_record = {};
            m_recordLine->setText(QStringLiteral("Non riesco a leggere il record: %1").arg(errorText(error)));
            m_reset->setEnabled(false);
            return;
        }
    }
    // A table or a length other than the game's own has a record of its own: the line names it.
    const QString which = m_rules.divisor == 5 && m_rules.minutes == 5
        ? QString()
        : QStringLiteral(" (multipli di %1, %2 minuti)").arg(m_rules.divisor).arg(m_rules.minutes);
    m_recordLine->setText(m_record.any()
            ? QStringLiteral("Il record della classe%3 è di %1 con %2 punti.")
                  .arg(QString::fromStdString(m_record.name), QString::fromStdString(m_record.score).trimmed(), which)
            : QStringLiteral("Nessun record per ora%1.").arg(which));
    m_reset->setEnabled(m_record.any());
}

void ResultsWindow::refilter()
{
    const Period period = periods[std::max(0, m_period->currentIndex())];
    m_model->setPupils(classResults(m_log.games, period, localNow(), caseFolded));
    if (m_sorted->rowCount() > 0)
        m_table->selectRow(0);
    else
        showPupil();
}

void ResultsWindow::showPupil()
{
    // A new model filled before the list sees it: a row at a time into a shown list costs a
    // layout per row, seconds for a pupil with thousands of games.
    auto* games = new QStandardItemModel(this);
    games->setSortRole(ResultsModel::sortRole);
    const QModelIndex current = m_sorted->mapToSource(m_table->currentIndex());
    if (!current.isValid()) {
        m_chart->setPoints({}, QStringLiteral("Scegli un alunno nella tabella."));
        replaceGames(games);
        return;
    }
    const PupilResults& pupil = m_model->pupils()[std::size_t(current.row())];
    games->setHorizontalHeaderLabels({QStringLiteral("Inizio"), QStringLiteral("Punti"), QStringLiteral("Colpiti"),
        QStringLiteral("Errori"), QStringLiteral("Come è finita"), QStringLiteral("Record")});
    std::vector<ChartPoint> points;
    points.reserve(pupil.games.size());
    for (const std::size_t i : pupil.games) {
        const LoggedGame& game = m_log.games[i];
        points.push_back({game.start, game.score});
        auto* when = new QStandardItem(shownDate(game.start, true));
        when->setData(qlonglong(game.start.time_since_epoch().count()), ResultsModel::sortRole);
        games->appendRow({when, numberItem(game.score), numberItem(game.hits), numberItem(game.misses),
            new QStandardItem(endText(game.how)), new QStandardItem(game.record ? QStringLiteral("sì") : QStringLiteral("no"))});
    }
    games->sort(0, Qt::DescendingOrder);
    replaceGames(games);
    m_gameList->setAccessibleName(QStringLiteral("Partite di %1").arg(QString::fromStdString(pupil.name)));
    m_chart->setPoints(std::move(points), QStringLiteral("Punti di %1, partita dopo partita").arg(QString::fromStdString(pupil.name)));
}

void ResultsWindow::replaceGames(QStandardItemModel* games)
{
    m_gameList->setModel(games);
    m_gameList->horizontalHeader()->setSortIndicator(0, Qt::DescendingOrder);
    delete m_games;
    m_games = games;
}

} // namespace zanfiro::desk
