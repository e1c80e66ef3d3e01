// Releasing 500 held jobs selected together in the grid through the Jobs menu's
// "Resume Job": the queue listed once, one Release-Job a job, one audit row and the
// log fields of every job released, the counters raised; timed from the command until
// its pass has ended and been applied. Beside it, a bare loop of the same number of
// Release-Job requests over one kept connection, made with libcups here. The queue is
// stopped, so released jobs wait in it and neither way meets a printing server.
//
// Also printed: the longest the window left an event waiting during the pass.
//
// Target: at most 2x the bare loop, with every job's audit row and log fields.
//
//   bulk_release [--jobs N]

#include "BenchWindow.h"
#include "HeldJobs.h"
#include "MonitorBench.h"
#include "WindowOnHeldQueue.h"
#include "app/Startup.h"
#include "control/JobActions.h"
#include "control/SelectedJobActions.h"
#include "form/FrmMain.h"
#include "form/JobGrid.h"
#include "log/LogDatabase.h"
#include "platform/CupsSpooler.h"
#include "platform/CupsStatus.h"
#include "sandbox/CupsTools.h"
#include "sandbox/SandboxPrintServer.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>

namespace {

const QString kQueue = QStringLiteral("Release-Station");
constexpr double kTargetRatio = 2.0;

QList<SpoolerJob> queueJobs(const QString& address) {
    CupsSpooler reader(address);
    reader.setCountsPages(false);
    return reader.queueJobs(kQueue);
}

int heldJobs(const QString& address) {
    const QList<SpoolerJob> jobs = queueJobs(address);
    return int(
        std::count_if(jobs.begin(), jobs.end(), [](const SpoolerJob& j) { return isHeld(j); }));
}

// Empties the queue and fills it with `jobs` held jobs, the server at rest after.
void refill(const SandboxPrintServer& server, const QString& document, int jobs) {
    const ToolRun cancelled =
        runTool(QStringLiteral("cancel"),
                {QStringLiteral("-h"), server.address(), QStringLiteral("-a"), kQueue});
    if (!cancelled.ok)
        throw Failure{QStringLiteral("cancel -a failed: ") + cancelled.error};
    if (const QString error = submitHeldJobs(server.address(), kQueue, document, jobs);
        !error.isEmpty())
        throw Failure{error};
    untilAtRest(server);
    if (heldJobs(server.address()) != jobs)
        throw Failure{QStringLiteral("the queue does not hold %1 held jobs").arg(jobs)};
}

struct Release {
    double ms = 0;
    qint64 longestWaitMs = 0; // the window's longest wait for its thread
};

// The window on the full queue, every job shown, logged and counted; every row
// selected, then the timed Resume Job.
Release releaseThroughTheMenu(const QString& address, const QString& logFolder, int jobs) {
    writeBenchSettings(benchSettings(address, kQueue, logFolder, QStringLiteral("Audit=True\r\n")));
    BenchWindow window("bulk_release");
    FrmMain& form = window.form();
    showFrmMain(form);
    untilEveryJobLogged(form, jobs);
    form.JobList->selectAll();

    Release release;
    const StallProbe probe(5);
    QElapsedTimer timer;
    timer.start();
    MenuResumeJob(form);
    if (!QTest::qWaitFor([&] { return !selectedJobsPassRunning(form); }, 300000))
        throw Failure{QStringLiteral("the release did not end")};
    release.ms = timer.nsecsElapsed() / 1e6;
    release.longestWaitMs = probe.longestMs();

    const int resumed =
        countInLog(form, QStringLiteral("SELECT COUNT(*) FROM SWR_Log WHERE Resumed IS "
                                        "NOT NULL AND \"Printed Pages\" = '3'"));
    const int audited = countInLog(
        form, QStringLiteral("SELECT COUNT(*) FROM SWR_Audit WHERE Description = 'Resume Job'"));
    if (resumed != jobs || audited != jobs || heldJobs(address) != 0)
        throw Failure{QStringLiteral("%1 rows released, %2 audit rows and %3 jobs still held "
                                     "for %4 jobs (%5)")
                          .arg(resumed)
                          .arg(audited)
                          .arg(heldJobs(address))
                          .arg(jobs)
                          .arg(form.panelText(1))};
    form.loaded = false; // nothing to save
    return release;
}

// Release-Job for every held job of the queue, one request after the other over one
// connection.
double bareReleaseLoop(const QString& address) {
    QList<int> ids;
    for (const SpoolerJob& job : queueJobs(address))
        ids << job.JobId;
    const QString host = address.section(QLatin1Char(':'), 0, 0);
    const int port = address.section(QLatin1Char(':'), 1, 1).toInt();
    QElapsedTimer timer;
    timer.start();
    http_t* http = httpConnect2(host.toUtf8().constData(), port, nullptr, AF_UNSPEC,
                                HTTP_ENCRYPTION_IF_REQUESTED, 1, 3000, nullptr);
    if (!http)
        throw Failure{QStringLiteral("cannot connect to ") + address};
    const QByteArray uri = QStringLiteral("ipp://%1/printers/%2").arg(address, kQueue).toUtf8();
    int refused = 0;
    for (int id : ids) {
        ipp_t* request = ippNewRequest(IPP_OP_RELEASE_JOB);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                     uri.constData());
        ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", id);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                     cupsUser());
        ipp_t* answer = cupsDoRequest(http, request, "/jobs/");
        refused += !answer || ippGetStatusCode(answer) >= IPP_STATUS_ERROR_BAD_REQUEST;
        ippDelete(answer);
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    httpClose(http);
    if (refused > 0 || heldJobs(address) != 0)
        throw Failure{QStringLiteral("the bare loop left jobs held (%1 refused)").arg(refused)};
    return ms;
}

int benchmark(const QStringList& arguments) {
    const int jobs = jobsArgument(arguments, 500, "bulk_release [--jobs N]");
    QTemporaryDir work(QDir(QDir::tempPath()).filePath(QStringLiteral("bulk_release-XXXXXX")));
    QByteArray content;
    for (int line = 0; line < 150; ++line) // three pages
        content += "Line " + QByteArray::number(line) + " of the class handout.\n";
    const QString document = QDir(work.path()).filePath(QStringLiteral("handout.txt"));
    SandboxPrintServer server(QDir(work.path()).filePath(QStringLiteral("server")));
    if (const QString error = startServerWithQueue(server, kQueue, document, content);
        !error.isEmpty())
        throw Failure{error};
    const QString address = server.address();
    // Stopped, the queue keeps the released jobs instead of printing them.
    if (const ToolRun stopped =
            runTool(QStringLiteral("cupsdisable"), {QStringLiteral("-h"), address, kQueue});
        !stopped.ok)
        throw Failure{QStringLiteral("cupsdisable failed: ") + stopped.error};

    std::vector<double> menu, bare, waits;
    // The order alternates, so that neither way always meets a server warmed by the other.
    for (int round = 0; round < 3; ++round) {
        for (int way = 0; way < 2; ++way) {
            refill(server, document, jobs);
            if ((way + round) % 2 == 0) {
                const QString log =
                    freshLogFolder(QDir(work.path()).filePath(QStringLiteral("log-%1").arg(round)));
                if (log.isEmpty())
                    throw Failure{QStringLiteral("cannot make a log")};
                const Release release = releaseThroughTheMenu(address, log, jobs);
                menu.push_back(release.ms);
                waits.push_back(double(release.longestWaitMs));
            } else {
                bare.push_back(bareReleaseLoop(address));
            }
        }
    }
    server.stop();
    const double ours = median(menu);
    const double loop = median(bare);
    std::printf("bulk_release: %d held jobs of 3 pages selected in the grid on %s, median of 3\n",
                jobs, qPrintable(address));
    std::printf("  bare loop of Release-Job over one connection: %9.1f ms\n", loop);
    std::printf("  Resume Job on the selected jobs (logged):     %9.1f ms  %6.2fx the bare loop "
                "(target at most %.0fx)\n",
                ours, ours / loop, kTargetRatio);
    std::printf("  the window's longest wait meanwhile: %.0f ms (median), %.0f ms (longest)\n",
                median(waits), *std::max_element(waits.begin(), waits.end()));
    const bool met = ours <= kTargetRatio * loop;
    std::printf("  target: %s\n", met ? "met" : "MISSED");
    return met ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    return runBenchmark("bulk_release", argc, argv, benchmark);
}
