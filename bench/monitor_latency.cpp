// How soon the job monitor reports a new job: 50 jobs are submitted one by one
// to a watched print server, and for each the time from the server's answer to
// the submission to the arrival of the monitor's "New" event is measured. The
// baseline is the program's own poll, which would show the job only at its next
// tick: after up to 10 s, 5 s on average. Target: a median of at most 300 ms.
//
// Usage: monitor_latency [server [queue]]
//   Without a server, a sandbox print server of its own is started (and stopped
//   at the end); the jobs are held and cancelled again afterwards.
// Exits with 1 when the median is above the target or events are missing.

#include "platform/CupsConnection.h"
#include "platform/CupsSpooler.h"
#include "platform/MonitorProtocol.h"
#include "sandbox/SandboxPrintServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>

namespace {

constexpr int kJobs = 50;
constexpr double kTargetMedianMs = 300;
constexpr int kPollNormMs = 10000; // the program's poll while AutoQueue is off
constexpr int kEventWaitMs = 15000;
constexpr int kToolWaitMs = 60000;

// The monitor's events as they arrive, read without an event loop so that the
// time of arrival is the time the line could first be read.
class Monitor {
public:
    bool start(const QString& server) {
        process_.start(QDir(QCoreApplication::applicationDirPath())
                           .filePath(QStringLiteral("../bin/SWRJobMonitor")));
        if (!process_.waitForStarted(kToolWaitMs))
            return false;
        process_.write(MonitorProtocol::encode(MonitorProtocol::WatchServer, {server}));
        return true;
    }

    ~Monitor() {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(5000))
            process_.kill();
        process_.waitForFinished();
    }

    // Waits for a line that `matches` (its line end removed); the milliseconds of
    // `clock` at its arrival. Other lines are passed over.
    std::optional<qint64> waitForLine(const std::function<bool(const QByteArray&)>& matches,
                                      const QElapsedTimer& clock) {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < kEventWaitMs) {
            while (process_.canReadLine()) {
                const QByteArray line = process_.readLine();
                if (matches(line.chopped(1)))
                    return clock.elapsed();
                if (line.startsWith("ConnectEvent"))
                    std::printf("  monitor: %s", line.constData());
            }
            process_.waitForReadyRead(50);
        }
        return std::nullopt;
    }

private:
    QProcess process_;
};

// Print-Job of a small held text job; the job id from the server's answer, 0 on failure.
int submit(CupsConnection& connection, const QString& queue, const QString& document, int n) {
    IppPtr request = connection.newRequest(IPP_OP_PRINT_JOB);
    const QString uri = QStringLiteral("ipp://%1:%2/printers/%3")
                            .arg(connection.address().host)
                            .arg(connection.address().port)
                            .arg(queue);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 uri.toUtf8().constData());
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
                 QStringLiteral("Latency %1").arg(n).toUtf8().constData());
    ippAddString(request.get(), IPP_TAG_JOB, IPP_TAG_KEYWORD, "job-hold-until", nullptr,
                 "indefinite");
    const QByteArray resource = QStringLiteral("/printers/%1").arg(queue).toUtf8();
    const CupsReply reply = connection.sendWithDocument(std::move(request), resource, document);
    if (reply.result != SpoolerResult::Success) {
        std::fprintf(stderr, "monitor_latency: Print-Job refused: %s\n", qPrintable(reply.message));
        return 0;
    }
    ipp_attribute_t* id = ippFindAttribute(reply.response.get(), "job-id", IPP_TAG_INTEGER);
    return id ? ippGetInteger(id, 0) : 0;
}

double median(QList<qint64> values) {
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    QTemporaryDir work;
    if (!work.isValid())
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
    if (queue.isEmpty()) {
        std::fprintf(stderr, "monitor_latency: no queue on %s\n", qPrintable(server));
        return 2;
    }
    const QString document = work.filePath(QStringLiteral("page.txt"));
    {
        QFile file(document);
        if (!file.open(QIODevice::WriteOnly) || file.write("One page to watch for.\n") < 0)
            return 2;
    }

    std::printf("Job monitor latency: %d jobs submitted one by one to %s, queue %s\n", kJobs,
                qPrintable(server), qPrintable(queue));
    Monitor monitor;
    QElapsedTimer clock;
    clock.start();
    const auto connected = [](const QByteArray& line) {
        const MonitorProtocol::Line event = MonitorProtocol::decode(line);
        return event.name == MonitorProtocol::ConnectEvent &&
               event.fields.value(0) == QLatin1String("Connected");
    };
    if (!monitor.start(server) || !monitor.waitForLine(connected, clock)) {
        std::fprintf(stderr, "monitor_latency: the monitor did not connect to %s\n",
                     qPrintable(server));
        return 2;
    }

    CupsConnection connection(server, SpoolerTimeouts{});
    QList<qint64> latencies;
    QList<int> submitted;
    int missing = 0;
    for (int n = 1; n <= kJobs; ++n) {
        // A random pause puts each submission at another moment of the monitor's poll.
        QThread::msleep(QRandomGenerator::global()->bounded(250));
        const int id = submit(connection, queue, document, n);
        const qint64 answered = clock.elapsed();
        if (id <= 0)
            return 2;
        submitted << id;
        const QString name = queue + QStringLiteral(", ") + QString::number(id);
        const std::optional<qint64> arrived = monitor.waitForLine(
            [&name](const QByteArray& line) {
                const MonitorProtocol::Line event = MonitorProtocol::decode(line);
                if (event.name != MonitorProtocol::JobEvent || event.fields.value(0) != "New")
                    return false;
                const auto job = MonitorProtocol::jobFromFields(event.fields.mid(1));
                return job && job->Name == name;
            },
            clock);
        if (!arrived) {
            ++missing;
            continue;
        }
        latencies << *arrived - answered;
    }

    for (const int id : submitted)
        spooler.deleteJob(queue, id);

    if (latencies.isEmpty()) {
        std::fprintf(stderr, "monitor_latency: no New event arrived\n");
        return 1;
    }
    const double med = median(latencies);
    const qint64 max = *std::max_element(latencies.begin(), latencies.end());
    const qint64 min = *std::min_element(latencies.begin(), latencies.end());
    std::printf("  monitor events:  median %.0f ms, max %lld ms, min %lld ms (%lld events, %d "
                "missing)\n",
                med, static_cast<long long>(max), static_cast<long long>(min),
                static_cast<long long>(latencies.size()), missing);
    std::printf("  baseline, the program's %d s poll alone: median %d ms, max %d ms\n",
                kPollNormMs / 1000, kPollNormMs / 2, kPollNormMs);
    std::printf("  target: median at most %.0f ms: %s\n", kTargetMedianMs,
                med <= kTargetMedianMs && missing == 0 ? "met" : "NOT met");
    return med <= kTargetMedianMs && missing == 0 ? 0 : 1;
}
