// Deleting every job of a queue of 2,000 held jobs through the Jobs menu's "Delete All
// Jobs" (answered "Yes"), which deletes the jobs the grid shows by their numbers, marks
// every job's log row deleted, counts its pages and writes one audit row a job, beside
// `cancel -a` of the same queue on the same server, refilled the same way.
//
// Both leave the server busy for a while after it answered: it writes every cancelled
// job's record to its spool, one file and one fsync a job, a few at each pass of its
// loop. That work is printed for both, as the CPU cupsd spends from the answer until
// it is at rest again.
//
// Target: at most 3x cancel -a, with every purged job's row in the log.
//
//   purge_queue [--jobs N]

#include "BenchWindow.h"
#include "HeldJobs.h"
#include "MonitorBench.h"
#include "WindowOnHeldQueue.h"
#include "app/Startup.h"
#include "control/QueueActions.h"
#include "form/FrmMain.h"
#include "form/JobGrid.h"
#include "log/LogDatabase.h"
#include "platform/CupsSpooler.h"
#include "sandbox/CupsTools.h"
#include "sandbox/SandboxPrintServer.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>

namespace {

const QString kQueue = QStringLiteral("Purge-Office");
constexpr double kTargetRatio = 3.0;

// Fills the queue, then waits for the server to finish its own work on the new jobs,
// so that each measurement starts from a server at rest.
void fill(const SandboxPrintServer& server, const QString& document, int jobs) {
    if (const QString error = submitHeldJobs(server.address(), kQueue, document, jobs);
        !error.isEmpty())
        throw Failure{error};
    untilAtRest(server);
}

bool queueEmpty(const QString& address) {
    CupsSpooler reader(address);
    reader.setCountsPages(false);
    return reader.queueJobs(kQueue).isEmpty() && reader.lastResult() == SpoolerResult::Success;
}

// What one way of deleting the queue took: its own time, the time until the server
// lists the queue empty, and the CPU the server spent from the request until it
// was at rest again.
struct Deletion {
    double ms = 0;
    double emptiedMs = 0;
    qint64 serverCpuMs = 0;
};

// The window on the full queue, every job shown, logged and its pages counted; then
// the timed purge, the window left running (its poll and monitor too) until the
// server is at rest.
Deletion purgeThroughTheMenu(const SandboxPrintServer& server, const QString& logFolder, int jobs) {
    const QString address = server.address();
    writeBenchSettings(benchSettings(address, kQueue, logFolder, QStringLiteral("Audit=True\r\n")));

    BenchWindow window("purge_queue", {}, Prompter::Answer::Yes);
    FrmMain& form = window.form();
    showFrmMain(form);
    untilEveryJobLogged(form, jobs);

    Deletion purge;
    const qint64 cpuBefore = monitorbench::cpuMs(server.pid());
    QElapsedTimer timer;
    timer.start();
    menuPurge(form);
    purge.ms = timer.nsecsElapsed() / 1e6;
    if (!QTest::qWaitFor([&] { return queueEmpty(address); }, 120000))
        throw Failure{QStringLiteral("the queue was not emptied (%1)").arg(form.panelText(1))};
    purge.emptiedMs = timer.nsecsElapsed() / 1e6;
    untilAtRest(server);
    purge.serverCpuMs = monitorbench::cpuMs(server.pid()) - cpuBefore;
    const int marked = countInLog(
        form, QStringLiteral("SELECT COUNT(*) FROM SWR_Log WHERE Deleted IS NOT NULL AND "
                             "\"Deleted Pages\" = '3'"));
    const int audited = countInLog(form, QStringLiteral("SELECT COUNT(*) FROM SWR_Audit WHERE "
                                                        "Description = 'Purge all jobs - ") +
                                             kQueue + QLatin1Char('\''));
    if (marked != jobs || audited != jobs)
        throw Failure{QStringLiteral("%1 rows marked deleted and %2 audit rows for %3 jobs (%4)")
                          .arg(marked)
                          .arg(audited)
                          .arg(jobs)
                          .arg(form.panelText(1))};
    form.loaded = false; // nothing to save
    return purge;
}

// cancel -a of the same queue, measured as the purge is.
Deletion cancelAll(const SandboxPrintServer& server) {
    const QString address = server.address();
    Deletion cancel;
    const qint64 cpuBefore = monitorbench::cpuMs(server.pid());
    QElapsedTimer timer;
    timer.start();
    const ToolRun cancelled = runTool(
        QStringLiteral("cancel"), {QStringLiteral("-h"), address, QStringLiteral("-a"), kQueue});
    cancel.ms = timer.nsecsElapsed() / 1e6;
    if (!cancelled.ok)
        throw Failure{QStringLiteral("cancel -a failed: ") + cancelled.error};
    if (!QTest::qWaitFor([&] { return queueEmpty(address); }, 120000))
        throw Failure{QStringLiteral("cancel -a did not empty the queue")};
    cancel.emptiedMs = timer.nsecsElapsed() / 1e6;
    untilAtRest(server);
    cancel.serverCpuMs = monitorbench::cpuMs(server.pid()) - cpuBefore;
    return cancel;
}

int benchmark(const QStringList& arguments) {
    const int jobs = jobsArgument(arguments, 2000, "purge_queue [--jobs N]");
    QTemporaryDir work(QDir(QDir::tempPath()).filePath(QStringLiteral("purge_queue-XXXXXX")));
    QByteArray content;
    for (int line = 0; line < 150; ++line) // three pages
        content += "Line " + QByteArray::number(line) + " of the quarterly figures.\n";
    const QString document = QDir(work.path()).filePath(QStringLiteral("figures.txt"));
    SandboxPrintServer server(QDir(work.path()).filePath(QStringLiteral("server")));
    if (const QString error = startServerWithQueue(server, kQueue, document, content);
        !error.isEmpty())
        throw Failure{error};
    const QString address = server.address();

    std::vector<double> purges, purgesEmptied, purgesCpu, cancels, emptied, cancelsCpu;
    // The order alternates, so that neither way always meets a server warmed by the other.
    for (int round = 0; round < 3; ++round) {
        for (int way = 0; way < 2; ++way) {
            fill(server, document, jobs);
            if ((way + round) % 2 == 0) {
                const QString log =
                    freshLogFolder(QDir(work.path()).filePath(QStringLiteral("log-%1").arg(round)));
                if (log.isEmpty())
                    throw Failure{QStringLiteral("cannot make a log")};
                const Deletion purge = purgeThroughTheMenu(server, log, jobs);
                purges.push_back(purge.ms);
                purgesEmptied.push_back(purge.emptiedMs);
                purgesCpu.push_back(purge.serverCpuMs);
            } else {
                const Deletion cancel = cancelAll(server);
                cancels.push_back(cancel.ms);
                emptied.push_back(cancel.emptiedMs);
                cancelsCpu.push_back(cancel.serverCpuMs);
            }
        }
    }
    server.stop();
    const double purge = median(purges);
    const double cancel = median(cancels);

    std::printf("purge_queue: %d held jobs of 3 pages on %s, median of 3\n", jobs,
                qPrintable(address));
    std::printf("  cancel -h SERVER -a QUEUE:                   %9.1f ms\n", cancel);
    std::printf("  Delete All Jobs (every row marked deleted):  %9.1f ms  %6.2fx cancel -a "
                "(target at most %.0fx)\n",
                purge, purge / cancel, kTargetRatio);
    std::printf("  cancel -a until the server lists it empty:   %9.1f ms  %6.2fx cancel -a\n",
                median(emptied), median(emptied) / cancel);
    std::printf("  Delete All Jobs until the queue lists empty: %9.1f ms  %6.2fx the same "
                "for cancel -a\n",
                median(purgesEmptied), median(purgesEmptied) / median(emptied));
    std::printf("  cupsd CPU from the request until at rest: cancel -a %.0f ms, Delete All Jobs "
                "%.0f ms (%.2fx)\n",
                median(cancelsCpu), median(purgesCpu), median(purgesCpu) / median(cancelsCpu));
    const bool met = purge <= kTargetRatio * cancel;
    std::printf("  target: %s\n", met ? "met" : "MISSED");
    return met ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    return runBenchmark("purge_queue", argc, argv, benchmark);
}
