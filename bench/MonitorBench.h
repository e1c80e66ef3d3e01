#pragma once

// What the job monitor's benchmarks share: the monitor run as the program runs
// it, held jobs submitted quickly over one connection, and the CPU time a
// process has used.

#include "monitor/QuietPolling.h"
#include "platform/CupsConnection.h"
#include "platform/MonitorProtocol.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <unistd.h>

namespace monitorbench {

constexpr int kToolWaitMs = 60000;
// A server filled with thousands of jobs may stop answering for seconds while
// it writes them out: the benchmarks wait for it rather than give up.
inline const SpoolerTimeouts kPatient{5000, 60000};

// The monitor's events as they arrive, read without an event loop so that the
// time of arrival is the time the line could first be read.
class Monitor {
public:
    bool start(const QString& server, const QStringList& arguments = {}) {
        process_.start(QDir(QCoreApplication::applicationDirPath())
                           .filePath(QStringLiteral("../bin/SWRJobMonitor")),
                       arguments);
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

    qint64 pid() const { return process_.processId(); }

    // Waits up to waitMs for a line that `matches` (its line end removed); the
    // milliseconds of `clock` at its arrival. Other lines are passed over.
    std::optional<qint64> waitForLine(const std::function<bool(const QByteArray&)>& matches,
                                      const QElapsedTimer& clock, int waitMs = 15000) {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < waitMs) {
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

    bool waitForConnected(const QElapsedTimer& clock) {
        return waitForLine(
                   [](const QByteArray& line) {
                       const MonitorProtocol::Line event = MonitorProtocol::decode(line);
                       return event.name == MonitorProtocol::ConnectEvent &&
                              event.fields.value(0) == QLatin1String("Connected");
                   },
                   clock, kToolWaitMs)
            .has_value();
    }

    // Reads what has arrived without waiting, so the monitor never blocks on a full pipe.
    void drain() {
        process_.waitForReadyRead(0);
        while (process_.canReadLine())
            process_.readLine();
    }

private:
    QProcess process_;
};

// The job name of a "New" event line, or nothing for any other line.
inline std::optional<QString> newJobName(const QByteArray& line) {
    const MonitorProtocol::Line event = MonitorProtocol::decode(line);
    if (event.name != MonitorProtocol::JobEvent || event.fields.value(0) != QLatin1String("New"))
        return std::nullopt;
    const auto job = MonitorProtocol::jobFromFields(event.fields.mid(1));
    if (!job)
        return std::nullopt;
    return job->Name;
}

// Print-Job of a small held text job; the job id from the server's answer, 0 on failure.
inline int submitHeld(CupsConnection& connection, const QString& queue, const QString& document,
                      const QString& name) {
    IppPtr request = connection.newRequest(IPP_OP_PRINT_JOB);
    const QString uri = QStringLiteral("ipp://%1:%2/printers/%3")
                            .arg(connection.address().host)
                            .arg(connection.address().port)
                            .arg(queue);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 uri.toUtf8().constData());
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
                 name.toUtf8().constData());
    ippAddString(request.get(), IPP_TAG_JOB, IPP_TAG_KEYWORD, "job-hold-until", nullptr,
                 "indefinite");
    const QByteArray resource = QStringLiteral("/printers/%1").arg(queue).toUtf8();
    const CupsReply reply = connection.sendWithDocument(std::move(request), resource, document);
    if (reply.result != SpoolerResult::Success) {
        std::fprintf(stderr, "Print-Job refused: %s\n", qPrintable(reply.message));
        return 0;
    }
    ipp_attribute_t* id = ippFindAttribute(reply.response.get(), "job-id", IPP_TAG_INTEGER);
    return id ? ippGetInteger(id, 0) : 0;
}

// Fills the queue with `count` held jobs; false when the server refused one.
inline bool fillHeld(CupsConnection& connection, const QString& queue, const QString& document,
                     int count) {
    for (int n = 1; n <= count; ++n)
        if (submitHeld(connection, queue, document, QStringLiteral("Waiting %1").arg(n)) <= 0)
            return false;
    return true;
}

// A one-line text document in `folder`; empty on failure.
inline QString smallDocument(const QString& folder) {
    const QString path = QDir(folder).filePath(QStringLiteral("page.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write("One page to watch for.\n") < 0)
        return QString();
    return path;
}

inline double median(QList<qint64> values) {
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

// Submits one held job and waits for the monitor's "New" event of it: the
// milliseconds from the server's answer to the event; nothing when the job was
// refused or its event did not come. The job's number goes to `submitted`.
inline std::optional<qint64> newJobLatency(Monitor& monitor, CupsConnection& connection,
                                           const QString& queue, const QString& document,
                                           const QString& jobName, QList<int>* submitted) {
    QElapsedTimer clock;
    clock.start();
    const int id = submitHeld(connection, queue, document, jobName);
    const qint64 answered = clock.elapsed();
    if (id <= 0)
        return std::nullopt;
    if (submitted)
        *submitted << id;
    const QString name = queue + QStringLiteral(", ") + QString::number(id);
    const std::optional<qint64> arrived = monitor.waitForLine(
        [&name](const QByteArray& line) { return newJobName(line) == name; }, clock);
    if (!arrived)
        return std::nullopt;
    return *arrived - answered;
}

// The first event after a quiet server: each sample waits until the monitor has
// polled at its slowest (and a random part of one more wait, so that the job
// comes at another moment of the poll), then submits one job. The latencies of
// the events that came; fewer than `samples` when some did not.
inline QList<qint64> firstEventsAfterQuiet(Monitor& monitor, CupsConnection& connection,
                                           const QString& queue, const QString& document,
                                           int samples, QList<int>* submitted) {
    const QuietPolling polls;
    QList<qint64> latencies;
    for (int n = 1; n <= samples; ++n) {
        QElapsedTimer quiet;
        quiet.start();
        const qint64 waitMs =
            polls.rampEndMs + 500 + QRandomGenerator::global()->bounded(polls.longestMs);
        while (quiet.elapsed() < waitMs) {
            monitor.drain();
            QThread::msleep(50);
        }
        if (const auto latency = newJobLatency(monitor, connection, queue, document,
                                               QStringLiteral("After quiet %1").arg(n), submitted))
            latencies << *latency;
    }
    return latencies;
}

// User and system CPU time of a process so far, in milliseconds; -1 when it cannot be read.
inline qint64 cpuMs(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // The command name may hold blanks; the fields after it are plain numbers.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    const qint64 ticks = fields.at(11).toLongLong() + fields.at(12).toLongLong();
    return ticks * 1000 / sysconf(_SC_CLK_TCK);
}

} // namespace monitorbench
