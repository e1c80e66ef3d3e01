// Counting the pages of jobs with large documents on a first start: how long the
// window takes from being made to showing every job's pages, beside a bare fetch of
// the same documents over one connection (CUPS-Get-Document, one after another,
// nothing done with the bytes), on the same server in the same run. The order of
// the two alternates over three rounds; each start has a new log, so every
// document is read again.
//
// cupsd sends a document a couple of kilobytes at each pass of its loop, so one
// connection carries no more than that whatever the client does: the bare fetch
// is what reading the documents one by one costs at least.
//
// The run starts a sandbox print server of its own (stopped at the end, also after
// a failure), adds a raw queue and fills it with held plain-text jobs.
//
// Target: counting at most 2x the bare fetch, every document read once.
//
// Usage: count_pages [--jobs N] [--mb M] (default 40 jobs of 5 MB)
// Exits with 1 when the target is missed, 2 when the run could not be made.

#include "BenchWindow.h"
#include "HeldJobs.h"
#include "app/Startup.h"
#include "form/FrmMain.h"
#include "form/JobGrid.h"
#include "platform/CupsConnection.h"
#include "platform/CupsRequests.h"
#include "platform/CupsSpooler.h"
#include "platform/GuardedSpooler.h"
#include "sandbox/SandboxPrintServer.h"
#include "session/QueueSession.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QString kQueue = QStringLiteral("Big-Office");
constexpr double kTargetRatio = 2.0;

double ms(qint64 nanoseconds) {
    return nanoseconds / 1e6;
}

double median(std::vector<double> runs) {
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

// Plain text of about `bytes`, 66 lines a page.
QByteArray text(qint64 bytes) {
    QByteArray text;
    text.reserve(bytes + 100);
    for (int line = 1; text.size() < bytes; ++line)
        text += "Line " + QByteArray::number(line) + " of the yearly figures, every column.\n";
    return text;
}

// Every job's document fetched over one connection, one after another.
double bareFetch(const QString& address, const QList<int>& jobs, qint64* bytes) {
    CupsConnection connection(address, {3000, 60000});
    QElapsedTimer timer;
    timer.start();
    *bytes = 0;
    for (const int id : jobs) {
        QByteArray document;
        const CupsReply reply =
            connection.receiveDocument(documentRequest(connection, id, 1), "/", &document);
        if (reply.result != SpoolerResult::Success)
            throw Failure{
                QStringLiteral("job %1's document was refused: %2").arg(id).arg(reply.message)};
        *bytes += document.size();
    }
    return ms(timer.nsecsElapsed());
}

struct Start {
    double countedMs = 0; // made to every job's pages shown
    qint64 bytes = 0;     // document bytes fetched
};

Start startWindow(const QString& address, const QString& logFolder, int jobs) {
    writeBenchSettings(benchSettings(address, kQueue, logFolder));

    QElapsedTimer timer;
    timer.start();
    BenchWindow window("count_pages");
    FrmMain& form = window.form();
    showFrmMain(form);
    const auto everyPageShown = [&form, jobs] {
        const QList<SpoolerJob> shown = form.jobGrid().jobs();
        return shown.size() == jobs &&
               std::all_of(shown.begin(), shown.end(), [](const SpoolerJob& job) {
                   return job.TotalPages != kPagesNotCounted;
               });
    };
    if (!QTest::qWaitFor(everyPageShown, 1800000))
        throw Failure{QStringLiteral("the window did not show every job's pages (%1)")
                          .arg(form.panelText(1))};
    Start start;
    start.countedMs = ms(timer.nsecsElapsed());
    const auto* cups =
        dynamic_cast<const CupsSpooler*>(&QueueSession::of(form).WmiServices()->inner());
    if (!cups)
        throw Failure{QStringLiteral("the window has no CUPS spooler")};
    start.bytes = cups->documentBytesRead();
    form.loaded = false; // nothing to save
    return start;
}

int benchmark(const QStringList& arguments) {
    int jobs = 40;
    int megabytes = 5;
    for (int i = 1; i < arguments.size(); ++i) {
        bool ok = false;
        if (arguments[i] == QLatin1String("--jobs") && i + 1 < arguments.size())
            jobs = arguments[++i].toInt(&ok);
        else if (arguments[i] == QLatin1String("--mb") && i + 1 < arguments.size())
            megabytes = arguments[++i].toInt(&ok);
        if (!ok || jobs <= 0 || megabytes <= 0 || megabytes >= 64)
            throw Failure{QStringLiteral("usage: count_pages [--jobs N] [--mb M (1 to 63)]")};
    }
    QTemporaryDir work(QDir(QDir::tempPath()).filePath(QStringLiteral("count_pages-XXXXXX")));
    const QByteArray content = text(megabytes * 1024LL * 1024);
    const QString document = QDir(work.path()).filePath(QStringLiteral("figures.txt"));
    SandboxPrintServer server(QDir(work.path()).filePath(QStringLiteral("server")));
    if (const QString error = startServerWithQueue(server, kQueue, document, content);
        !error.isEmpty())
        throw Failure{error};
    const QString address = server.address();
    if (const QString error = submitHeldJobs(address, kQueue, document, jobs); !error.isEmpty())
        throw Failure{error};
    CupsSpooler lister(address);
    lister.setCountsPages(false);
    QList<int> ids;
    for (const SpoolerJob& job : lister.queueJobs(kQueue))
        ids << job.JobId;
    if (ids.size() != jobs)
        throw Failure{QStringLiteral("%1 jobs listed of %2").arg(ids.size()).arg(jobs)};

    std::vector<double> bare, counted;
    qint64 bareBytes = 0;
    bool everyDocumentOnce = true;
    for (int round = 0; round < 3; ++round) {
        for (int way = 0; way < 2; ++way) {
            if ((round + way) % 2 == 0) {
                bare.push_back(bareFetch(address, ids, &bareBytes));
            } else {
                const QString log =
                    freshLogFolder(QDir(work.path()).filePath(QStringLiteral("log-%1").arg(round)));
                if (log.isEmpty())
                    throw Failure{QStringLiteral("cannot make a log")};
                const Start start = startWindow(address, log, jobs);
                counted.push_back(start.countedMs);
                everyDocumentOnce =
                    everyDocumentOnce && start.bytes == qint64(jobs) * content.size();
            }
        }
    }
    server.stop();

    const double fetch = median(bare);
    const double count = median(counted);
    std::printf("count_pages: %d held jobs of %.1f MB of text on %s, median of 3\n", jobs,
                content.size() / 1048576.0, qPrintable(address));
    std::printf("  bare fetch of every document, one connection: %9.1f ms  (%.1f MB/s)\n", fetch,
                bareBytes / 1048576.0 / (fetch / 1000));
    std::printf("  first start, made -> every job's pages shown: %9.1f ms  %6.2fx the bare "
                "fetch (target at most %.0fx)\n",
                count, count / fetch, kTargetRatio);
    std::printf("  every document read once: %s\n", everyDocumentOnce ? "yes" : "NO");
    const bool met = count <= kTargetRatio * fetch && everyDocumentOnce;
    std::printf("  target: %s\n", met ? "met" : "MISSED");
    return met ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    return runBenchmark("count_pages", argc, argv, benchmark);
}
