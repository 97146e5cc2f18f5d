// SPDX-License-Identifier: GPL-3.0-or-later
// What the teacher's buttons do: the PDF, printing where Qt has print support, the reset.
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>

#ifdef ZANFIRO_PRINT
#include <QPrintDialog>
#include <QPrinter>
#endif

#include "app/qt/desk/pdf_export.h"
#include "app/qt/desk/results_window.h"
#include "app/runtime_error.h"
#include "record/class_record.h"

namespace zanfiro::desk {

namespace {

const QString resetTitle = QStringLiteral("Azzera il record");

QString recordText(const ClassRecord& record)
{
    return QStringLiteral("%1 con %2 punti")
        .arg(QString::fromStdString(record.name), QString::fromStdString(record.score).trimmed());
}

QString resetFailure(const RuntimeError& error, const std::string& folder)
{
    const QString where = QDir::toNativeSeparators(QString::fromStdString(folder));
    if (error.number() == ErrorNumber::PermissionDenied)
        return QStringLiteral("Non posso azzerare il record: nella cartella %1 non ho il permesso di creare e "
                              "cancellare file, oppure un'altra copia del gioco la tiene occupata. Il record non è "
                              "cambiato.").arg(where);
    return QStringLiteral("Non posso azzerare il record: %1. Il record non è cambiato.").arg(errorText(error));
}

// Qt's stock buttons would say "Yes" and "No".
bool askYes(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    QPushButton* yes = box.addButton(QStringLiteral("Sì"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void tell(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

ResultsPage ResultsWindow::page() const
{
    ResultsPage page;
    page.heading << QStringLiteral("Zanfiro: risultati della classe")
                 << QStringLiteral("Periodo: %1 · stampato il %2")
                        .arg(m_period->currentText(), QLocale(QLocale::Italian).toString(QDate::currentDate(), QLocale::LongFormat))
                 << m_recordLine->text();
    page.table = m_table->model();
    page.chart = m_chart->points();
    if (!page.chart.empty())
        page.chartTitle = m_chart->title();
    return page;
}

void ResultsWindow::savePdf()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested = QDir(folder).filePath(
        QStringLiteral("risultati-%1.pdf").arg(QDate::currentDate().toString(Qt::ISODate)));
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Salva in PDF"), suggested,
        QStringLiteral("Documenti PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!saveResultsPdf(path, page()))
        tell(this, QMessageBox::Warning, QStringLiteral("Salva in PDF"),
            QStringLiteral("Non posso scrivere il file %1.").arg(QDir::toNativeSeparators(path)));
}

void ResultsWindow::print()
{
#ifdef ZANFIRO_PRINT
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted && !paintResults(printer, page()))
        tell(this, QMessageBox::Warning, QStringLiteral("Stampa"), QStringLiteral("La stampa non è riuscita."));
#endif
}

void ResultsWindow::resetRecord()
{
    // The record as it is now, which may be newer than the one on screen.
    showRecord();
    if (!m_record.any())
        return;
    if (!askYes(this, resetTitle,
            QStringLiteral("Vuoi cancellare il record della classe, di %1?\n\nLe partite restano nel registro.")
                .arg(recordText(m_record))))
        return;
    try {
        if (!resetClassRecord(m_host, m_paths, m_record))
            tell(this, QMessageBox::Information, resetTitle,
                QStringLiteral("Intanto è arrivato un nuovo record: non l'ho cancellato."));
    } catch (const RuntimeError& error) {
        tell(this, QMessageBox::Warning, resetTitle, resetFailure(error, m_paths.folder));
    }
    reload();
}

} // namespace zanfiro::desk
