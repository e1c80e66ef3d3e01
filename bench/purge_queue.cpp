// Deleting every job of a queue of 2,000 held jobs through the Jobs menu's "Delete All
// Jobs" (answered "Yes"), which also marks every job's log row deleted, counts its
// pages and writes one audit row a job, beside `cancel -a` of the same queue on the
// same server, refilled the same way.
//
// Target: at most 3x cancel -a, with every purged job's row in the log.
//
//   purge_queue [--jobs N]

#include "BenchWindow.h"
#include "HeldJobs.h"
#include "MonitorBench.h"
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
#include <QThread>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>

namespace {

const QString kQueue = QStringLiteral("Purge-Office");
constexpr double kTargetRatio = 3.0;

struct Failure {
    QString what;
};

int count(FrmMain& form, const QString& sql) {
    if (!form.Log().OpenLogDatabase())
        return -1;
    QSqlQuery query(form.Log().connection());
    return query.exec(sql) && query.next() ? query.value(0).toInt() : -1;
}

// Fills the queue, then waits for the server to finish its own work on the new jobs,
// so that each measurement starts from a server at rest.
void fill(const SandboxPrintServer& server, const QString& document, int jobs) {
    if (const QString error = SubmitHeldJobs(server.address(), kQueue, document, jobs);
        !error.isEmpty())
        throw Failure{error};
    for (int tries = 0; tries < 100; ++tries) {
        const qint64 before = monitorbench::cpuMs(server.pid());
        QThread::msleep(300);
        if (monitorbench::cpuMs(server.pid()) - before <= 3)
            return;
    }
}

double median(std::vector<double> runs) {
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

bool queueEmpty(const QString& address) {
    CupsSpooler reader(address);
    reader.setCountsPages(false);
    return reader.queueJobs(kQueue).isEmpty() && reader.lastResult() == SpoolerResult::Success;
}

// The window on the full queue, every job shown, logged and its pages counted; then
// the timed purge.
double purgeThroughTheMenu(const QString& address, const QString& logFolder, int jobs,
                           double& emptiedMs) {
    QFile settings(QDir(qEnvironmentVariable("APPDATA")).filePath(QStringLiteral("swr.ini")));
    if (!settings.open(QIODevice::WriteOnly))
        throw Failure{QStringLiteral("cannot write the settings")};
    settings.write(QStringLiteral("[Spoolwright]\r\nServer=%1\r\nQueue=%2\r\nLogPath=%3\r\n"
                                  "Audit=True\r\n")
                       .arg(address, kQueue, logFolder)
                       .toUtf8());
    settings.close();

    BenchWindow window("purge_queue", {}, Prompter::Answer::Yes);
    FrmMain& form = window.form();
    ShowFrmMain(form);
    const auto everyPageCounted = [&form] {
        const QList<SpoolerJob> shown = form.jobGrid().jobs();
        return std::all_of(shown.begin(), shown.end(), [](const SpoolerJob& job) {
            return job.TotalPages != kPagesNotCounted;
        });
    };
    if (!QTest::qWaitFor(
            [&] {
                return form.JobList->topLevelItemCount() == jobs && everyPageCounted() &&
                       count(form, QStringLiteral("SELECT COUNT(*) FROM SWR_Log")) == jobs;
            },
            600000))
        throw Failure{QStringLiteral("the window did not show, count and log every job: %1 "
                                     "shown, %2 logged (%3)")
                          .arg(form.JobList->topLevelItemCount())
                          .arg(count(form, QStringLiteral("SELECT COUNT(*) FROM SWR_Log")))
                          .arg(form.PanelText(1))};

    QElapsedTimer timer;
    timer.start();
    menuPurge(form);
    const double purgeMs = timer.nsecsElapsed() / 1e6;
    if (!QTest::qWaitFor([&] { return queueEmpty(address); }, 120000))
        throw Failure{QStringLiteral("the queue was not emptied (%1)").arg(form.PanelText(1))};
    emptiedMs = timer.nsecsElapsed() / 1e6;
    const int marked =
        count(form, QStringLiteral("SELECT COUNT(*) FROM SWR_Log WHERE Deleted IS NOT NULL AND "
                                   "\"Deleted Pages\" = '3'"));
    const int audited = count(form, QStringLiteral("SELECT COUNT(*) FROM SWR_Audit WHERE "
                                                   "Description = 'Purge all jobs - ") +
                                        kQueue + QLatin1Char('\''));
    if (marked != jobs || audited != jobs)
        throw Failure{QStringLiteral("%1 rows marked deleted and %2 audit rows for %3 jobs (%4)")
                          .arg(marked)
                          .arg(audited)
                          .arg(jobs)
                          .arg(form.PanelText(1))};
    form.Loaded = false; // nothing to save
    return purgeMs;
}

// Listing the queue's jobs, as the purge must before it deletes them, to log them.
double listQueue(const QString& address) {
    QElapsedTimer timer;
    timer.start();
    const ToolRun listed = runTool(QStringLiteral("lpstat"),
                                   {QStringLiteral("-h"), address, QStringLiteral("-o"), kQueue});
    if (!listed.ok)
        throw Failure{QStringLiteral("lpstat -o failed: ") + listed.error};
    return timer.nsecsElapsed() / 1e6;
}

// cancel -a's own time, and the time until the server lists the queue empty.
std::pair<double, double> cancelAll(const QString& address) {
    QElapsedTimer timer;
    timer.start();
    const ToolRun cancelled = runTool(
        QStringLiteral("cancel"), {QStringLiteral("-h"), address, QStringLiteral("-a"), kQueue});
    const double cancelMs = timer.nsecsElapsed() / 1e6;
    if (!cancelled.ok)
        throw Failure{QStringLiteral("cancel -a failed: ") + cancelled.error};
    if (!QTest::qWaitFor([&] { return queueEmpty(address); }, 120000))
        throw Failure{QStringLiteral("cancel -a did not empty the queue")};
    return {cancelMs, timer.nsecsElapsed() / 1e6};
}

int benchmark(const QStringList& arguments) {
    int jobs = 2000;
    for (int i = 1; i < arguments.size(); ++i) {
        bool ok = false;
        if (arguments[i] == QLatin1String("--jobs") && i + 1 < arguments.size())
            jobs = arguments[++i].toInt(&ok);
        if (!ok || jobs <= 0)
            throw Failure{QStringLiteral("usage: purge_queue [--jobs N]")};
    }
    QTemporaryDir work(QDir(QDir::tempPath()).filePath(QStringLiteral("purge_queue-XXXXXX")));
    QByteArray content;
    for (int line = 0; line < 150; ++line) // three pages
        content += "Line " + QByteArray::number(line) + " of the quarterly figures.\n";
    const QString document = QDir(work.path()).filePath(QStringLiteral("figures.txt"));
    SandboxPrintServer server(QDir(work.path()).filePath(QStringLiteral("server")));
    if (const QString error = StartServerWithQueue(server, kQueue, document, content);
        !error.isEmpty())
        throw Failure{error};
    const QString address = server.address();

    std::vector<double> purges, purgesEmptied, cancels, emptied, listings;
    for (int round = 0; round < 3; ++round) {
        fill(server, document, jobs);
        const QString log =
            NewLogFolder(QDir(work.path()).filePath(QStringLiteral("log-%1").arg(round)));
        if (log.isEmpty())
            throw Failure{QStringLiteral("cannot make a log")};
        double purgeEmptiedMs = 0;
        purges.push_back(purgeThroughTheMenu(address, log, jobs, purgeEmptiedMs));
        purgesEmptied.push_back(purgeEmptiedMs);
        fill(server, document, jobs);
        listings.push_back(listQueue(address));
        const auto [cancelMs, emptiedMs] = cancelAll(address);
        cancels.push_back(cancelMs);
        emptied.push_back(emptiedMs);
    }
    server.stop();
    const double purge = median(purges);
    const double cancel = median(cancels);

    std::printf("purge_queue: %d held jobs of 3 pages on %s, median of 3\n", jobs,
                qPrintable(address));
    std::printf("  cancel -h SERVER -a QUEUE:                   %9.1f ms\n", cancel);
    std::printf("  cancel -a until the server lists it empty:   %9.1f ms  %6.2fx cancel -a\n",
                median(emptied), median(emptied) / cancel);
    std::printf("  Delete All Jobs until the queue lists empty: %9.1f ms  %6.2fx the same "
                "for cancel -a\n",
                median(purgesEmptied), median(purgesEmptied) / median(emptied));
    std::printf("  lpstat -h SERVER -o QUEUE (the listing):     %9.1f ms  %6.2fx cancel -a\n",
                median(listings), median(listings) / cancel);
    std::printf("  Delete All Jobs (every row marked deleted):  %9.1f ms  %6.2fx cancel -a "
                "(target at most %.0fx)\n",
                purge, purge / cancel, kTargetRatio);
    const bool met = purge <= kTargetRatio * cancel;
    std::printf("  target: %s\n", met ? "met" : "MISSED");
    return met ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir folder;
    UseBenchFolders(folder.path());
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    try {
        return benchmark(app.arguments());
    } catch (const Failure& failure) {
        std::fprintf(stderr, "purge_queue: %s\n", qPrintable(failure.what));
        return 2;
    }
}
