// How the cost of a monitor event grows with a burst: feeds 250 and then 1,000
// "New" events into a main window and prints the time per event of each, beside
// the same bursts applied the way rows were found before the grids kept a hash
// from job name to row (a scan of every row's Name cell).

#include "BenchWindow.h"
#include "form/FrmMain.h"
#include "form/JobGrid.h"
#include "log/LogDatabase.h"
#include "platform/JobText.h"
#include "session/MonitorEvents.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdio>

namespace {

SpoolerJob newJob(int id) {
    SpoolerJob job;
    job.JobId = id;
    job.Name = QStringLiteral("Laser, %1").arg(id);
    job.Document = QStringLiteral("report %1.pdf").arg(id);
    job.Owner = QStringLiteral("ann");
    job.TimeSubmitted = QDateTime(QDate(2026, 12, 6), QTime(9, 0)).addSecs(id);
    return job;
}

// The old way: every event looked for its row through all rows' Name cells.
void scanAndAdd(QTreeWidget* grid, const SpoolerJob& job) {
    const QStringList texts = jobTexts(job);
    QTreeWidgetItem* row = nullptr;
    for (int i = 0; i < grid->topLevelItemCount() && !row; ++i)
        if (grid->topLevelItem(i)->text(SearchColumn::Name) == job.Name)
            row = grid->topLevelItem(i);
    if (!row)
        row = new QTreeWidgetItem(grid);
    for (int c = 0; c < texts.size(); ++c)
        row->setText(c, texts.at(c));
}

double windowMicrosPerEvent(int events, const QString& parent) {
    // A log of its own, from the template beside the program's executables.
    const QString folder = freshLogFolder(QDir(parent).filePath(QString::number(events)));
    BenchWindow window("monitor_burst");
    FrmMain& form = window.form();
    form.Settings.LogPath = folder;
    form.CurrentPrintQueue->addItem(QStringLiteral("Laser"));
    form.CurrentPrintQueue->setCurrentIndex(0);
    QElapsedTimer timer;
    timer.start();
    for (int id = 1; id <= events; ++id)
        mwcmnMonitor_JobEvent(form, QStringLiteral("New"), newJob(id));
    const double micros = timer.nsecsElapsed() / 1000.0 / events;
    if (form.SearchList->topLevelItemCount() != events ||
        !form.log().LogRowExists(TransactionID(newJob(events))))
        std::fprintf(stderr, "monitor_burst: not every job has its row in the grid and the log\n");
    return micros;
}

double gridMicrosPerEvent(int events) {
    QTreeWidget widget;
    widget.setColumnCount(SearchColumn::Count);
    JobGrid grid(&widget, true);
    QElapsedTimer timer;
    timer.start();
    for (int id = 1; id <= events; ++id)
        grid.rewrite(newJob(id));
    return timer.nsecsElapsed() / 1000.0 / events;
}

double scanMicrosPerEvent(int events) {
    QTreeWidget grid;
    grid.setColumnCount(SearchColumn::Count);
    QElapsedTimer timer;
    timer.start();
    for (int id = 1; id <= events; ++id)
        scanAndAdd(&grid, newJob(id));
    return timer.nsecsElapsed() / 1000.0 / events;
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir folder;
    useBenchFolders(folder.path());
    QApplication app(argc, argv);

    const double window250 = windowMicrosPerEvent(250, folder.path());
    const double window1000 = windowMicrosPerEvent(1000, folder.path());
    // The row look-up alone, without the log, shows the growth most plainly.
    const double grid250 = gridMicrosPerEvent(250);
    const double grid1000 = gridMicrosPerEvent(1000);
    const double scan250 = scanMicrosPerEvent(250);
    const double scan1000 = scanMicrosPerEvent(1000);
    std::printf("monitor_burst: \"New\" events applied to the window, time per event\n");
    std::printf("  the window, log included:             %8.1f us at 250, %8.1f us at 1,000, "
                "ratio %.2f (at most 1.5)\n",
                window250, window1000, window1000 / window250);
    std::printf("  the grid alone, rows found by name:   %8.1f us at 250, %8.1f us at 1,000, "
                "ratio %.2f\n",
                grid250, grid1000, grid1000 / grid250);
    std::printf("  baseline, rows found by scanning:     %8.1f us at 250, %8.1f us at 1,000, "
                "ratio %.2f\n",
                scan250, scan1000, scan1000 / scan250);
    return 0;
}
