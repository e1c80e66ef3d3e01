// A first start on a server with many held jobs: how long the window takes from
// being made to showing every job in both grids and having every one in the log
// (pages aside), beside `lpstat -h SERVER -o` listing the same server; and the bytes
// of documents fetched to count pages on a first start (each document once) and on
// a second start over the same log (nothing).
//
// The same start is also made with a spooler that counts pages while it lists, as
// the window did before it counted them on its page worker: that is the figure
// before.
//
// The run starts a sandbox print server of its own (stopped at the end, also after
// a failure), adds a raw queue and fills it with held three-page text jobs over one
// kept connection.
//
// Target: the first start at most 3x lpstat -o; documents fetched once on a first
// start, none on a second.
//
// Usage: first_start [--jobs N] (default 1000; 5000 takes a few minutes more)
// Exits with 1 when a target is missed, 2 when the run could not be made.

#include "BenchWindow.h"
#include "HeldJobs.h"
#include "app/Startup.h"
#include "form/FrmMain.h"
#include "form/JobGrid.h"
#include "log/LogDatabase.h"
#include "platform/Clock.h"
#include "platform/CupsConnection.h"
#include "platform/CupsRequests.h"
#include "platform/CupsSpooler.h"
#include "platform/Environment.h"
#include "platform/GuardedSpooler.h"
#include "platform/Prompter.h"
#include "sandbox/CupsTools.h"
#include "sandbox/SandboxPrintServer.h"
#include "session/QueueSession.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

const QString kQueue = QStringLiteral("Held-Office");
constexpr double kTargetRatio = 3.0;

double ms(qint64 nanoseconds) {
    return nanoseconds / 1e6;
}

// Three pages of plain text, the same for every job.
QByteArray threePages() {
    QByteArray text;
    for (int page = 1; page <= 3; ++page) {
        for (int line = 1; line <= 60; ++line)
            text += "Page " + QByteArray::number(page) + ", line " + QByteArray::number(line) +
                    " of the quarterly figures.\n";
        if (page < 3)
            text += '\f';
    }
    return text;
}

struct Start {
    double shownMs = 0;   // made to every job in both grids and the log
    double countedMs = 0; // made to every job's pages shown
    qint64 bytes = 0;     // document bytes fetched
    int documents = 0;
};

int loggedJobs(FrmMain& form) {
    if (!form.log().OpenLogDatabase())
        return -1;
    QSqlQuery count(form.log().connection());
    return count.exec(QStringLiteral("SELECT COUNT(*) FROM SWR_Log")) && count.next()
               ? count.value(0).toInt()
               : -1;
}

bool everyPageShown(FrmMain& form) {
    const QList<SpoolerJob> jobs = form.searchGrid().jobs();
    return std::all_of(jobs.begin(), jobs.end(),
                       [](const SpoolerJob& job) { return job.TotalPages != kPagesNotCounted; });
}

// Starts the program's window as main() does, its settings naming the server,
// queue and log; `countWhileListing` gives it the spooler of before.
Start startWindow(const QString& address, const QString& logFolder, int jobs,
                  bool countWhileListing) {
    writeBenchSettings(benchSettings(address, kQueue, logFolder));

    Start start;
    QElapsedTimer timer;
    timer.start();
    BenchWindow window("first_start", countWhileListing ? [](const QString& server) {
        return std::unique_ptr<PrintSpooler>(std::make_unique<CupsSpooler>(server));
    } : std::function<std::unique_ptr<PrintSpooler>(const QString&)>());
    FrmMain& form = window.form();
    showFrmMain(form);
    if (!QTest::qWaitFor(
            [&] {
                return form.SearchList->topLevelItemCount() == jobs &&
                       form.JobList->topLevelItemCount() == jobs && loggedJobs(form) == jobs;
            },
            600000))
        throw Failure{QStringLiteral("the window did not show and log every job")};
    start.shownMs = ms(timer.nsecsElapsed());
    if (!QTest::qWaitFor([&] { return everyPageShown(form); }, 1800000))
        throw Failure{QStringLiteral("the window did not show every job's pages")};
    start.countedMs = ms(timer.nsecsElapsed());
    const auto* cups =
        dynamic_cast<const CupsSpooler*>(&QueueSession::of(form).WmiServices()->inner());
    if (!cups)
        throw Failure{QStringLiteral("the window has no CUPS spooler")};
    start.bytes = cups->documentBytesRead();
    start.documents = cups->documentsRead();
    form.loaded = false; // nothing to save
    return start;
}

double lpstatMs(const QString& address, int jobs) {
    std::vector<double> runs;
    for (int run = 0; run < 3; ++run) {
        const ToolRun listing = runTool(QStringLiteral("lpstat"),
                                        {QStringLiteral("-h"), address, QStringLiteral("-o")});
        if (!listing.ok || listing.output.count('\n') != jobs)
            throw Failure{QStringLiteral("lpstat -o did not list every job: ") + listing.error};
        runs.push_back(ms(listing.nanoseconds));
    }
    std::sort(runs.begin(), runs.end());
    return runs[1];
}

QString newFolder(const QString& parent, const QString& name) {
    const QString folder = QDir(parent).filePath(name);
    if (!QDir().mkpath(folder))
        throw Failure{QStringLiteral("cannot make ") + folder};
    return folder;
}

// A folder of its own with a new log.
QString newLog(const QString& parent, const QString& name) {
    const QString folder = freshLogFolder(QDir(parent).filePath(name));
    if (folder.isEmpty())
        throw Failure{QStringLiteral("the template log was not found (build the project)")};
    return folder;
}

int benchmark(const QStringList& arguments) {
    int jobs = 1000;
    for (int i = 1; i < arguments.size(); ++i) {
        bool ok = false;
        if (arguments[i] == QLatin1String("--jobs") && i + 1 < arguments.size())
            jobs = arguments[++i].toInt(&ok);
        if (!ok || jobs <= 0)
            throw Failure{QStringLiteral("usage: first_start [--jobs N]")};
    }
    QTemporaryDir work(QDir(QDir::tempPath()).filePath(QStringLiteral("first_start-XXXXXX")));
    qputenv("APPDATA", QFile::encodeName(newFolder(work.path(), QStringLiteral("appdata"))));
    qputenv("TEMP", QFile::encodeName(newFolder(work.path(), QStringLiteral("temp"))));
    const QByteArray content = threePages();
    const QString document = QDir(work.path()).filePath(QStringLiteral("figures.txt"));
    SandboxPrintServer server(QDir(work.path()).filePath(QStringLiteral("server")));
    if (const QString error = startServerWithQueue(server, kQueue, document, content);
        !error.isEmpty())
        throw Failure{error};
    const QString address = server.address();
    QElapsedTimer filling;
    filling.start();
    if (const QString error = submitHeldJobs(address, kQueue, document, jobs); !error.isEmpty())
        throw Failure{error};
    std::printf("first_start: %d held jobs of %lld bytes on %s (submitted in %.0f s)\n", jobs,
                static_cast<long long>(content.size()), qPrintable(address),
                filling.elapsed() / 1000.0);

    const double lpstat = lpstatMs(address, jobs);
    const Start before =
        startWindow(address, newLog(work.path(), QStringLiteral("log-before")), jobs, true);
    const QString log = newLog(work.path(), QStringLiteral("log"));
    const Start first = startWindow(address, log, jobs, false);
    const Start second = startWindow(address, log, jobs, false);
    server.stop();

    const qint64 everyDocumentOnce = qint64(jobs) * content.size();
    std::printf("  lpstat -h SERVER -o (median of 3):            %9.1f ms\n", lpstat);
    std::printf("  made -> every job in grids and log, pages aside:\n");
    std::printf("    before (pages counted while listing):      %9.1f ms  %6.2fx lpstat\n",
                before.shownMs, before.shownMs / lpstat);
    std::printf("    first start:                               %9.1f ms  %6.2fx lpstat "
                "(target at most %.0fx)\n",
                first.shownMs, first.shownMs / lpstat, kTargetRatio);
    std::printf("    second start, same log:                    %9.1f ms  %6.2fx lpstat\n",
                second.shownMs, second.shownMs / lpstat);
    std::printf("  made -> every job's pages shown: before %.1f ms, first start %.1f ms, "
                "second start %.1f ms\n",
                before.countedMs, first.countedMs, second.countedMs);
    std::printf("  document bytes fetched (each document once: %lld):\n",
                static_cast<long long>(everyDocumentOnce));
    std::printf("    before %lld (%d requests), first start %lld (%d requests), "
                "second start %lld (%d requests; target 0)\n",
                static_cast<long long>(before.bytes), before.documents,
                static_cast<long long>(first.bytes), first.documents,
                static_cast<long long>(second.bytes), second.documents);
    const bool met = first.shownMs <= kTargetRatio * lpstat && first.bytes == everyDocumentOnce &&
                     second.bytes == 0;
    std::printf("  targets: %s\n", met ? "met" : "MISSED");
    return met ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    return runBenchmark("first_start", argc, argv, benchmark);
}
