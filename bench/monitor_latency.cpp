// How soon the job monitor reports a new job, on an empty print server and on
// one with many jobs waiting, in one run: 50 jobs are submitted one by one to a
// watched server, and for each the time from the server's answer to the
// submission to the arrival of the monitor's "New" event is measured. Then the
// server is filled with held jobs and the same is measured again. The baseline
// is the program's own poll, which would show the job only at its next tick:
// after up to 10 s, 5 s on average. Target: a median of at most 100 ms both
// times; the cost of an event must not grow with the jobs waiting.
//
// The monitor polls a quiet server less often, so the first job after a quiet
// spell is measured too, three times on the server as it was: each comes after
// the monitor has slowed to its slowest poll. Target: each seen within 1 s.
// (monitor_watch_cost measures what the quiet polls cost the server.)
//
// Usage: monitor_latency [--waiting N] [server [queue]]
//   N held jobs are added for the second measurement (default 5000; 0 skips
//   it). Without a server, a sandbox print server of its own is started (and
//   stopped at the end); the jobs are held and cancelled again afterwards.
// Exits with 1 when a target is missed or events are missing.

#include "MonitorBench.h"
#include "platform/CupsRequests.h"
#include "platform/CupsSpooler.h"
#include "sandbox/SandboxPrintServer.h"

#include <QTemporaryDir>

using namespace monitorbench;

namespace {

constexpr int kJobs = 50;
constexpr double kTargetMedianMs = 100;
constexpr qint64 kTargetAfterQuietMs = 1000;
constexpr int kQuietSamples = 3;
constexpr int kPollNormMs = 10000; // the program's poll while AutoQueue is off

// One measurement with a monitor of its own, and with quietSamples the first
// events after quiet spells; whether its targets were met.
bool measure(const QString& server, const QString& queue, const QString& document,
             const QString& label, int quietSamples, QList<int>* submitted) {
    Monitor monitor;
    QElapsedTimer clock;
    clock.start();
    if (!monitor.start(server) || !monitor.waitForConnected(clock)) {
        std::fprintf(stderr, "monitor_latency: the monitor did not connect to %s\n",
                     qPrintable(server));
        return false;
    }
    CupsConnection connection(server, kPatient);
    QList<qint64> latencies;
    int missing = 0;
    for (int n = 1; n <= kJobs; ++n) {
        // A random pause puts each submission at another moment of the monitor's poll.
        QThread::msleep(QRandomGenerator::global()->bounded(250));
        const auto latency = newJobLatency(monitor, connection, queue, document,
                                           QStringLiteral("Latency %1").arg(n), submitted);
        if (latency)
            latencies << *latency;
        else
            ++missing;
    }
    if (latencies.isEmpty()) {
        std::printf("  %s: no New event arrived\n", qPrintable(label));
        return false;
    }
    const double med = median(latencies);
    bool met = med <= kTargetMedianMs && missing == 0;
    std::printf("  %s: median %.0f ms, max %lld ms, min %lld ms (%lld events, %d missing): %s\n",
                qPrintable(label), med,
                static_cast<long long>(*std::max_element(latencies.begin(), latencies.end())),
                static_cast<long long>(*std::min_element(latencies.begin(), latencies.end())),
                static_cast<long long>(latencies.size()), missing, met ? "met" : "NOT met");
    if (quietSamples > 0) {
        const QList<qint64> afterQuiet =
            firstEventsAfterQuiet(monitor, connection, queue, document, quietSamples, submitted);
        const qint64 slowest =
            afterQuiet.isEmpty() ? -1 : *std::max_element(afterQuiet.begin(), afterQuiet.end());
        const bool quietMet = afterQuiet.size() == quietSamples && slowest <= kTargetAfterQuietMs;
        QStringList each;
        for (const qint64 latency : afterQuiet)
            each << QString::number(latency);
        std::printf("  first job after %d s of quiet: %s ms (%lld of %d events; target each at "
                    "most %lld ms): %s\n",
                    QuietPolling().rampEndMs / 1000, qPrintable(each.join(QStringLiteral(", "))),
                    static_cast<long long>(afterQuiet.size()), quietSamples,
                    static_cast<long long>(kTargetAfterQuietMs), quietMet ? "met" : "NOT met");
        met = met && quietMet;
    }
    return met;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    int waiting = 5000;
    if (arguments.value(0) == QLatin1String("--waiting")) {
        waiting = arguments.value(1).toInt();
        arguments = arguments.mid(2);
    }
    QTemporaryDir work;
    if (!work.isValid() || waiting < 0)
        return 2;

    QString server = arguments.value(0);
    // Stopped when the benchmark ends, if it was started.
    SandboxPrintServer sandbox(work.filePath(QStringLiteral("print-server")));
    if (server.isEmpty()) {
        if (!sandbox.start()) {
            std::fprintf(stderr, "monitor_latency: no sandbox print server: %s\n",
                         qPrintable(sandbox.error()));
            return 2;
        }
        server = sandbox.address();
    }

    CupsSpooler spooler(server);
    const QStringList queues = spooler.queueNames();
    QString queue = arguments.value(1);
    if (queue.isEmpty())
        queue = queues.contains(QStringLiteral("Office-Laser")) ? QStringLiteral("Office-Laser")
                                                                : queues.value(0);
    const QString document = smallDocument(work.path());
    if (queue.isEmpty() || document.isEmpty()) {
        std::fprintf(stderr, "monitor_latency: no queue on %s\n", qPrintable(server));
        return 2;
    }

    std::printf("Job monitor latency: %d jobs submitted one by one to %s, queue %s\n", kJobs,
                qPrintable(server), qPrintable(queue));
    QList<int> submitted;
    bool met = measure(server, queue, document, QStringLiteral("server as it was"), kQuietSamples,
                       &submitted);
    if (waiting > 0) {
        CupsConnection filler(server, kPatient);
        for (int n = 1; n <= waiting; ++n) {
            const int id = submitHeld(filler, queue, document, QStringLiteral("Waiting %1").arg(n));
            if (id <= 0)
                return 2;
            submitted << id;
        }
        met = measure(server, queue, document, QStringLiteral("%1 more jobs waiting").arg(waiting),
                      0, &submitted) &&
              met;
    }
    // Cancelled over one connection, so that a shared server is left as it was.
    CupsConnection canceller(server, kPatient);
    for (const int id : std::as_const(submitted))
        canceller.send(jobRequest(canceller, IPP_OP_CANCEL_JOB, queue, id), "/jobs/");

    std::printf("  baseline, the program's %d s poll alone: median %d ms, max %d ms\n",
                kPollNormMs / 1000, kPollNormMs / 2, kPollNormMs);
    std::printf("  targets: median at most %.0f ms both times, each first job after quiet "
                "within %lld ms: %s\n",
                kTargetMedianMs, static_cast<long long>(kTargetAfterQuietMs),
                met ? "met" : "NOT met");
    return met ? 0 : 1;
}
