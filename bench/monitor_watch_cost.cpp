// What watching a busy print server costs: a sandbox print server is filled with
// held jobs, then
//  - idle: the CPU of cupsd over a stretch of time while nobody watches, then the
//    CPU of the job monitor and of cupsd over as long while the monitor watches and
//    nothing changes, from the moment the monitor polls a quiet server at its
//    slowest. Targets: the monitor at most 0.5% of a core; cupsd at most 2x its
//    unwatched figure.
//  - latency: the first job after that quiet stretch, seen within 1 s; then 20
//    jobs one by one at random moments, as when jobs move, with a median of at
//    most 100 ms (monitor_latency measures both more often).
//  - bursts: while watching, 250 and then 1,000 new jobs are submitted as fast as
//    the server takes them, and the monitor's CPU per job is measured from the
//    first submission to the last job's "New" event. Target: the 1,000 figure at
//    most 1.2x the 250 figure (linear cost).
//
// Usage: monitor_watch_cost [waiting jobs (default 5000) [idle seconds (default 60)]]
// Exits with 1 when a target is missed or events are missing.

#include "MonitorBench.h"
#include "sandbox/SandboxPrintServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>

using namespace monitorbench;

namespace {

constexpr double kIdleTargetPercent = 0.5;
constexpr double kCupsdTargetRatio = 2.0;
constexpr double kBurstTargetRatio = 1.2;
constexpr qint64 kAfterQuietTargetMs = 1000;
constexpr double kMovingTargetMedianMs = 100;
constexpr int kMovingJobs = 20;

// CPU milliseconds `pid` uses over `seconds`, the monitor's output read meanwhile.
qint64 cpuOver(qint64 pid, int seconds, Monitor* monitor) {
    const qint64 before = cpuMs(pid);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < seconds * 1000LL) {
        if (monitor)
            monitor->drain();
        QThread::msleep(100);
    }
    return cpuMs(pid) - before;
}

// Waits until cupsd has written out what the filling left it to do, so that
// both idle figures are those of a server at rest: cupsd writes its changed
// jobs out only after half a minute, and a few thousand take it a while. The
// seconds it took.
int waitUntilQuiet(qint64 pid) {
    constexpr int kWriteDelaySeconds = 40;
    cpuOver(pid, kWriteDelaySeconds, nullptr);
    int waited = kWriteDelaySeconds;
    while (waited < 300 && cpuOver(pid, 5, nullptr) > 10)
        waited += 5;
    return waited;
}

// Monitor CPU microseconds per job for a burst of `count` jobs; negative when
// events were missing.
double burst(Monitor& monitor, CupsConnection& connection, const QString& queue,
             const QString& document, int count, const QString& label) {
    const qint64 before = cpuMs(monitor.pid());
    QSet<QString> awaited;
    for (int n = 1; n <= count; ++n) {
        const int id =
            submitHeld(connection, queue, document, QStringLiteral("%1 %2").arg(label).arg(n));
        if (id <= 0)
            return -1;
        awaited.insert(queue + QStringLiteral(", ") + QString::number(id));
    }
    QElapsedTimer clock;
    clock.start();
    const bool all = monitor
                         .waitForLine(
                             [&awaited](const QByteArray& line) {
                                 if (const auto name = newJobName(line))
                                     awaited.remove(*name);
                                 return awaited.isEmpty();
                             },
                             clock, 120000)
                         .has_value();
    if (!all) {
        std::fprintf(stderr, "monitor_watch_cost: %lld New events missing\n",
                     static_cast<long long>(awaited.size()));
        return -1;
    }
    return (cpuMs(monitor.pid()) - before) * 1000.0 / count;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    const int waiting = arguments.value(0, QStringLiteral("5000")).toInt();
    const int idleSeconds = arguments.value(1, QStringLiteral("60")).toInt();
    QTemporaryDir work;
    if (!work.isValid() || waiting < 0 || idleSeconds <= 0)
        return 2;
    SandboxPrintServer sandbox(work.filePath(QStringLiteral("print-server")));
    if (!sandbox.start()) {
        std::fprintf(stderr, "monitor_watch_cost: no sandbox print server: %s\n",
                     qPrintable(sandbox.error()));
        return 2;
    }
    const QString server = sandbox.address();
    const QString queue = QStringLiteral("Office-Laser");
    const QString document = smallDocument(work.path());
    CupsConnection connection(server, kPatient);
    QElapsedTimer clock;
    clock.start();
    if (document.isEmpty() || !fillHeld(connection, queue, document, waiting))
        return 2;
    std::printf("Watching %s with %d held jobs (filled in %.1f s), %d s idle\n", qPrintable(server),
                waiting, clock.elapsed() / 1000.0, idleSeconds);
    connection.close();

    const qint64 cupsd = sandbox.pid();
    std::printf("  cupsd at rest after %d s\n", waitUntilQuiet(cupsd));
    qint64 monitorIdle = 0;
    qint64 watched = 0;
    std::optional<qint64> afterQuiet;
    QList<qint64> moving;
    {
        Monitor monitor;
        if (!monitor.start(server) || !monitor.waitForConnected(clock)) {
            std::fprintf(stderr, "monitor_watch_cost: the monitor did not connect\n");
            return 2;
        }
        // The first list of every job is the start of the watch, and the monitor's
        // quicker polls after it the end of a busy spell: neither is its idle cost.
        cpuOver(cupsd, (QuietPolling().rampEndMs + 999) / 1000 + 2, &monitor);
        const qint64 cupsdBefore = cpuMs(cupsd);
        monitorIdle = cpuOver(monitor.pid(), idleSeconds, &monitor);
        watched = cpuMs(cupsd) - cupsdBefore;
        afterQuiet = newJobLatency(monitor, connection, queue, document,
                                   QStringLiteral("After quiet"), nullptr);
        for (int n = 1; n <= kMovingJobs; ++n) {
            QThread::msleep(QRandomGenerator::global()->bounded(250));
            if (const auto latency = newJobLatency(monitor, connection, queue, document,
                                                   QStringLiteral("Moving %1").arg(n), nullptr))
                moving << *latency;
        }
    }
    // Unwatched after watched: whatever cupsd still had to do after the filling
    // counts against the watched figure, not for it.
    const qint64 unwatched = cpuOver(cupsd, idleSeconds, nullptr);
    const double monitorPercent = monitorIdle * 100.0 / (idleSeconds * 1000.0);
    const double unwatchedPercent = unwatched * 100.0 / (idleSeconds * 1000.0);
    const double watchedPercent = watched * 100.0 / (idleSeconds * 1000.0);
    const bool idleMet = monitorPercent <= kIdleTargetPercent &&
                         watched <= kCupsdTargetRatio * std::max<qint64>(unwatched, 10);
    std::printf("  idle: monitor %.2f%% of a core (target at most %.1f%%)\n", monitorPercent,
                kIdleTargetPercent);
    std::printf("  idle: cupsd watched %.2f%% against unwatched %.2f%% (target at most %.0fx, "
                "counted in 10 ms ticks)\n",
                watchedPercent, unwatchedPercent, kCupsdTargetRatio);
    const bool latencyMet = afterQuiet && *afterQuiet <= kAfterQuietTargetMs &&
                            moving.size() == kMovingJobs && median(moving) <= kMovingTargetMedianMs;
    std::printf("  latency: first job after the quiet stretch %s ms (target at most %lld ms); "
                "%lld of %d jobs one by one, median %.0f ms (target at most %.0f ms)\n",
                afterQuiet ? qPrintable(QString::number(*afterQuiet)) : "(no event)",
                static_cast<long long>(kAfterQuietTargetMs), static_cast<long long>(moving.size()),
                kMovingJobs, median(moving), kMovingTargetMedianMs);

    Monitor monitor;
    if (!monitor.start(server) || !monitor.waitForConnected(clock))
        return 2;
    const double small = burst(monitor, connection, queue, document, 250, QStringLiteral("Burst"));
    const double large = burst(monitor, connection, queue, document, 1000, QStringLiteral("Burst"));
    if (small <= 0 || large < 0) {
        std::printf("  bursts: events missing or no CPU measured (250: %.0f us/job)\n", small);
        return 1;
    }
    const double ratio = large / small;
    std::printf("  bursts: monitor CPU %.0f us/job for 250 new jobs, %.0f us/job for 1,000: "
                "%.2fx (target at most %.1fx)\n",
                small, large, ratio, kBurstTargetRatio);
    const bool met = idleMet && latencyMet && ratio <= kBurstTargetRatio;
    std::printf("  targets: %s\n", met ? "met" : "NOT met");
    return met ? 0 : 1;
}
