// How long a release under AutoQueue leaves anything able to print that was not
// released, measured over many releases on a sandbox server.
//
//   release queue  the time the released job waits, released, in the paused queue:
//                  from the answer to Release-Job to the answer to CUPS-Move-Job into
//                  the release queue (median and longest). No other job can start
//                  meanwhile; the figure is what a kill between the two requests hits.
//   running queue  the baseline, the way releases were made before: Release-Job and
//                  Resume-Printer, then Pause-Printer once the job has left; every job
//                  of the queue that is not held can start all that time.
//
// Usage: release_window [releases, default 100]

#include "HeldJobs.h"
#include "control/ReleaseQueue.h"
#include "platform/CupsSpooler.h"
#include "sandbox/CupsTools.h"
#include "sandbox/SandboxPrintServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

const QString kQueue = QStringLiteral("Release-Desk");

bool check(bool ok, const QString& what) {
    if (!ok)
        std::fprintf(stderr, "release_window: %s\n", qPrintable(what));
    return ok;
}

void report(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-14s median %8.2f ms   longest %8.2f ms\n", what, ms[ms.size() / 2], ms.back());
}

bool inQueue(CupsSpooler& spooler, int jobId) {
    for (const SpoolerJob& job : spooler.queueJobs(kQueue))
        if (job.JobId == jobId)
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int releases = argc > 1 ? std::max(10, QString::fromLocal8Bit(argv[1]).toInt()) : 100;
    QTemporaryDir work;
    SandboxPrintServer sandbox(work.filePath(QStringLiteral("print-server")));
    if (!check(sandbox.start(), QStringLiteral("no sandbox print server: ") + sandbox.error()))
        return 2;
    const QString address = sandbox.address();
    const ToolRun added =
        runTool(findCupsTool(QStringLiteral("lpadmin")),
                {"-h", address, "-p", kQueue, "-E", "-v", "file:///dev/null", "-m", "raw"});
    const QString document = work.filePath(QStringLiteral("page.txt"));
    QFile page(document);
    if (!check(added.ok, added.error) || !page.open(QIODevice::WriteOnly) ||
        page.write("Quarterly figures\n") < 0)
        return 2;
    page.close();
    CupsSpooler spooler(address);
    spooler.setCountsPages(false);
    if (!check(spooler.makeMovedJobsQueue(kQueue, releaseQueueName(kQueue)) ==
                       SpoolerResult::Success &&
                   spooler.pauseQueue(kQueue) == SpoolerResult::Success,
               QStringLiteral("cannot set up the queues: ") + spooler.lastMessage()))
        return 2;
    const QString failed = submitHeldJobs(address, kQueue, document, 2 * releases);
    if (!check(failed.isEmpty(), failed))
        return 2;
    QList<SpoolerJob> held = spooler.queueJobs(kQueue);
    if (!check(held.size() >= 2 * releases, QStringLiteral("the jobs were not all held")))
        return 2;

    std::vector<double> moved, running;
    QElapsedTimer clock;
    for (int i = 0; i < releases; ++i) {
        const int jobId = held.at(i).JobId;
        if (!check(spooler.resumeJob(kQueue, jobId) == SpoolerResult::Success,
                   spooler.lastMessage()))
            return 2;
        clock.start();
        if (!check(spooler.moveJob(kQueue, jobId, releaseQueueName(kQueue)) ==
                       SpoolerResult::Success,
                   spooler.lastMessage()))
            return 2;
        moved.push_back(clock.nsecsElapsed() / 1e6);
    }
    for (int i = releases; i < 2 * releases; ++i) {
        const int jobId = held.at(i).JobId;
        spooler.resumeJob(kQueue, jobId);
        clock.start();
        spooler.resumeQueue(kQueue);
        while (inQueue(spooler, jobId) && clock.elapsed() < 10000) {
        }
        spooler.pauseQueue(kQueue);
        running.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("release_window: %d releases each way, the job printing to /dev/null\n", releases);
    report("release queue", moved);
    report("running queue", running);
    sandbox.stop();
    return 0;
}
