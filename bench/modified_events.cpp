// What a "Modified" event for every job of a full grid costs the window (Resume All
// on a queue holding every job): program CPU time and wall time per event, with a
// grid of 1,000 and of 5,000 jobs. The events are applied as the window reads them
// from the job monitor, a pipe's read at a time, which logs each read's jobs in one
// transaction; the baseline applies them one by one, one log transaction each, as
// the window did before.
//
// Target: the 5,000 figure (CPU per event, read at a time) at most 1.2x the 1,000 one.

#include "BenchWindow.h"
#include "form/FrmMain.h"
#include "form/JobGrid.h"
#include "platform/JobText.h"
#include "session/MonitorEvents.h"

#include "log/LogDatabase.h"
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdio>
#include <ctime>

namespace {

constexpr double kTargetRatio = 1.2;
// About what one read of the monitor's pipe holds (64 KB of event lines).
constexpr int kEventsPerRead = 256;

SpoolerJob heldJob(int id, int statusMask) {
    SpoolerJob job;
    job.JobId = id;
    job.Name = QStringLiteral("Laser, %1").arg(id);
    job.Document = QStringLiteral("report %1.pdf").arg(id);
    job.Owner = QStringLiteral("ann");
    job.HostPrintQueue = QStringLiteral("desk-12");
    job.TotalPages = 1 + id % 9;
    job.Size = 40960;
    job.StatusMask = statusMask;
    job.TimeSubmitted = QDateTime(QDate(2026, 12, 6), QTime(9, 0)).addSecs(id);
    return job;
}

double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + now.tv_nsec / 1e9;
}

struct PerEvent {
    double cpuMicros = 0;
    double wallMicros = 0;
};

void applyInReads(FrmMain& form, const QString& action, int jobs, int statusMask) {
    for (int first = 1; first <= jobs; first += kEventsPerRead) {
        QList<MonitorJobEvent> events;
        for (int id = first; id < first + kEventsPerRead && id <= jobs; ++id)
            events.append({action, heldJob(id, statusMask)});
        mwcmnMonitor_JobEvents(form, events);
    }
}

// A window whose grids and log hold `jobs` held jobs, then a "Modified" event for
// each: released, so no longer paused.
PerEvent modifiedEvents(int jobs, bool inReads) {
    QTemporaryDir folder;
    freshLogFolder(folder.path());
    BenchWindow window("modified_events");
    FrmMain& form = window.form();
    form.Settings.LogPath = folder.path();
    form.CurrentPrintQueue->addItem(QStringLiteral("Laser"));
    form.CurrentPrintQueue->setCurrentIndex(0);
    applyInReads(form, QStringLiteral("New"), jobs, 1);

    const double cpuBefore = cpuSeconds();
    QElapsedTimer timer;
    timer.start();
    if (inReads)
        applyInReads(form, QStringLiteral("Modified"), jobs, 0);
    else
        for (int id = 1; id <= jobs; ++id)
            mwcmnMonitor_JobEvent(form, QStringLiteral("Modified"), heldJob(id, 0));
    PerEvent cost{(cpuSeconds() - cpuBefore) * 1e6 / jobs, timer.nsecsElapsed() / 1e3 / jobs};
    if (form.JobList->topLevelItemCount() != jobs ||
        form.jobGrid().job(QStringLiteral("Laser, 1"))->StatusMask != 0)
        std::fprintf(stderr, "modified_events: the grid does not show the events\n");
    if (!form.log().OpenLogDatabase())
        std::fprintf(stderr, "modified_events: no log\n");
    QSqlQuery count(form.log().connection());
    if (!count.exec(QStringLiteral("SELECT COUNT(*) FROM SWR_Log")) || !count.next() ||
        count.value(0).toInt() != jobs)
        std::fprintf(stderr, "modified_events: the log does not hold every job\n");
    return cost;
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir folder;
    useBenchFolders(folder.path());
    QApplication app(argc, argv);

    const PerEvent read1000 = modifiedEvents(1000, true);
    const PerEvent read5000 = modifiedEvents(5000, true);
    const PerEvent one1000 = modifiedEvents(1000, false);
    const PerEvent one5000 = modifiedEvents(5000, false);
    std::printf("modified_events: a \"Modified\" event for every job of the grid, per event\n");
    std::printf("  a read at a time (%d events, one log transaction): CPU %7.1f us at 1,000, "
                "%7.1f us at 5,000, ratio %.2f (at most %.1f); wall %7.1f us, %7.1f us\n",
                kEventsPerRead, read1000.cpuMicros, read5000.cpuMicros,
                read5000.cpuMicros / read1000.cpuMicros, kTargetRatio, read1000.wallMicros,
                read5000.wallMicros);
    std::printf("  baseline, one event at a time (one transaction each): CPU %7.1f us at 1,000, "
                "%7.1f us at 5,000, ratio %.2f; wall %7.1f us, %7.1f us\n",
                one1000.cpuMicros, one5000.cpuMicros, one5000.cpuMicros / one1000.cpuMicros,
                one1000.wallMicros, one5000.wallMicros);
    return read5000.cpuMicros <= kTargetRatio * read1000.cpuMicros ? 0 : 1;
}
