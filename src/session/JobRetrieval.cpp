#include "session/JobRetrieval.h"

#include "app/FrmMain.h"
#include "platform/Clock.h"
#include "platform/DateText.h"
#include "platform/PrintSpooler.h"
#include "session/JobLog.h"
#include "session/JobRow.h"
#include "session/ShapeColour.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QTreeWidget>

namespace {

void addRow(QTreeWidget* grid, const QStringList& texts) {
    FillJobRow(new QTreeWidgetItem(grid), texts);
}

} // namespace

void ConnectWmi(FrmMain& f, const QString& server) {
    ShapeColour::set(f.ActiveUpdate, ShapeColour::Blue);
    if (server != f.WmiServer || !f.WmiServices) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        f.WmiServices = f.SpoolerFor(server);
        f.WmiServer = server;
        QApplication::restoreOverrideCursor();
    }
    ShapeColour::set(f.ActiveUpdate, ShapeColour::Cyan);
}

void RetrieveJobs(FrmMain& f, const QString& server, const QString& queue) {
    f.SearchList->clear();
    f.SearchStatus->setText(QStringLiteral("Connection Initiated"));
    f.SetPanelText(1, QStringLiteral("Connection Initiated"));
    QElapsedTimer started;
    started.start();

    ShapeColour::set(f.SearchProgress, ShapeColour::Blue);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    f.SetPanelText(1, QStringLiteral("Connecting to Server"));
    ShapeColour::set(f.SearchProgress, ShapeColour::Orange);
    f.SearchStatus->setText(QStringLiteral("Finding printers with jobs"));
    f.SetPanelText(1, QStringLiteral("Finding Jobs"));

    // The pass reads the spooler it was asked for, even before ConnectWmi has run.
    PrintSpooler* spooler =
        (f.WmiServices && f.WmiServer == server) ? f.WmiServices : f.SpoolerFor(server);
    const QList<SpoolerJob> jobs = spooler ? spooler->jobs() : QList<SpoolerJob>();
    QCoreApplication::processEvents();

    f.SearchStatus->setText(QStringLiteral("Retrieving Data"));
    f.SetPanelText(1, QStringLiteral("Retrieving Data"));
    f.SearchList->clear();
    if (!queue.isEmpty())
        f.JobList->clear();

    QList<QStringList> rows;
    for (const SpoolerJob& job : jobs) {
        const QStringList row = SearchRowFromJob(job);
        addRow(f.SearchList, row);
        if (!queue.isEmpty() && row[SearchColumn::Printer] == queue)
            addRow(f.JobList, JobRowFromSearchRow(row));
        rows.append(row);
    }
    LogNewJobs(f, rows);

    QApplication::restoreOverrideCursor();
    ShapeColour::set(f.SearchProgress, ShapeColour::Green);
    auto finished = [&] {
        return QStringLiteral("Retrieved Jobs (") + QString::number(started.elapsed() / 1000) +
               QStringLiteral(" seconds) ") + DateText::format(f.services().clock->now());
    };
    f.SearchStatus->setText(finished());
    f.SetPanelText(1, finished());
    if (!f.CurrentPrintQueue->currentText().isEmpty())
        FilterQueueJobs(f, f.CurrentPrintQueue->currentText());
}

void FilterQueueJobs(FrmMain& f, const QString& queue) {
    f.JobList->clear();
    for (int i = 0; i < f.SearchList->topLevelItemCount(); ++i) {
        const QStringList row = RowTexts(f.SearchList->topLevelItem(i));
        if (row.value(SearchColumn::Printer) == queue)
            addRow(f.JobList, JobRowFromSearchRow(row));
    }
}

void cmdRefreshJobs_Click(FrmMain& f) {
    RetrieveJobs(f, f.CurrentPrinter->currentText(), QString());
}
