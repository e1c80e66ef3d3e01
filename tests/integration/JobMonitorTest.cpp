#include "SpoolerJobLookup.h"
#include "platform/CupsSpooler.h"
#include "platform/MonitorProtocol.h"
#include "support/LoopbackPeers.h"
#include "support/TestPrintServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

// The SWRJobMonitor executable, run as the program runs it: one process, calls
// on its standard input, events read from its standard output.

namespace {

constexpr int kEventWaitMs = 30000; // generous: only a missing event should fail
constexpr int kProcessWaitMs = 10000;

struct MonitorLine {
    QString action;                // JobEvent: New, Modified, Deleted; ConnectEvent: the text
    std::optional<SpoolerJob> job; // JobEvent: the job as it travelled; none for a ConnectEvent
};

QString jobName(const QString& queue, int id) {
    return queue + QStringLiteral(", ") + QString::number(id);
}

class MonitorProcess {
public:
    explicit MonitorProcess(const QStringList& arguments = {}) {
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] { take(); });
        process_.start(QDir(QCoreApplication::applicationDirPath()).filePath("SWRJobMonitor"),
                       arguments);
        started_ = process_.waitForStarted(kProcessWaitMs);
        EXPECT_TRUE(started_) << "SWRJobMonitor did not start beside the tests: "
                              << process_.errorString().toStdString();
    }

    ~MonitorProcess() {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.closeWriteChannel();
        if (!process_.waitForFinished(kProcessWaitMs)) {
            process_.kill();
            process_.waitForFinished();
        }
    }

    QProcess& process() { return process_; }
    const QList<MonitorLine>& lines() const { return lines_; }
    int mark() const { return static_cast<int>(lines_.size()); } // for waits from now on

    void send(const QString& name, const QStringList& fields = {}) {
        process_.write(MonitorProtocol::encode(name, fields));
    }
    void watch(const QString& server) { send(MonitorProtocol::WatchServer, {server}); }
    // Started, told to watch the server, and connected (or whatever `answer` says).
    ::testing::AssertionResult watches(const QString& server, const QString& answer = "Connected") {
        if (!started_)
            return ::testing::AssertionFailure() << "the monitor did not start";
        watch(server);
        return waitForConnect(answer, mark());
    }

    // The first line from `from` on with this action and job name (none for a
    // ConnectEvent), waiting for it if need be.
    std::optional<MonitorLine> waitFor(const QString& action, const QString& jobName,
                                       int from = 0) {
        std::optional<MonitorLine> found;
        [[maybe_unused]] const bool arrived = QTest::qWaitFor(
            [&] {
                for (int i = from; i < lines_.size() && !found; ++i)
                    if (lines_[i].action == action &&
                        (lines_[i].job ? lines_[i].job->Name : QString()) == jobName)
                        found = lines_[i];
                return found.has_value();
            },
            kEventWaitMs);
        return found;
    }

    // Submits a held job to `queue` on `server` and waits for its New event; the
    // job's id, 0 when it was not reported.
    int reportsNewJob(const QString& server, const QString& queue) {
        const int from = mark();
        const int id = submitJobTo(server, queue, "tester", "held", "page\n");
        return id > 0 && waitFor("New", jobName(queue, id), from) ? id : 0;
    }

    ::testing::AssertionResult waitForConnect(const QString& text, int from = 0) {
        if (waitFor(text, QString(), from))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "no ConnectEvent " << text.toStdString() << "\n"
                                             << transcript();
    }

    // What the monitor said so far, for the message of a failed wait. A monitor that
    // ended unasked was most likely ended by name by another copy of the program: the
    // exit says how.
    std::string transcript() {
        const QString end =
            process_.state() == QProcess::Running
                ? QStringLiteral("still running")
                : QStringLiteral("ended: %1 %2")
                      .arg(process_.exitStatus() == QProcess::CrashExit ? "killed," : "exit code",
                           QString::number(process_.exitCode()));
        return ("monitor output:\n" + received_.join('\n') + "\nmonitor errors: " +
                QString::fromLocal8Bit(process_.readAllStandardError()) + '\n' + end)
            .toStdString();
    }

private:
    void take() {
        while (process_.canReadLine()) {
            QByteArray text = process_.readLine();
            text.chop(1);
            const MonitorProtocol::Line decoded = MonitorProtocol::decode(text);
            MonitorLine line{decoded.fields.value(0), std::nullopt};
            if (decoded.name == MonitorProtocol::JobEvent)
                line.job = MonitorProtocol::jobFromFields(decoded.fields.mid(1));
            lines_ << line;
            received_ << QString::fromUtf8(text);
        }
    }

    QProcess process_;
    bool started_ = false;
    QList<MonitorLine> lines_;
    QStringList received_;
};

IppPtr subscriptionRequest(const CupsConnection& connection, ipp_op_t op) {
    IppPtr request = connection.newRequest(op);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 QStringLiteral("ipp://%1/").arg(connection.serverText()).toUtf8().constData());
    return request;
}

// The ids of every subscription the server holds, or nothing when it cannot say.
std::optional<QList<int>> subscriptionIds(const QString& server) {
    CupsConnection connection(server, SpoolerTimeouts{});
    const CupsReply reply =
        connection.send(subscriptionRequest(connection, IPP_OP_GET_SUBSCRIPTIONS), "/");
    QList<int> ids;
    if (reply.result == SpoolerResult::NotFound && reply.response) // "No subscriptions found."
        return ids;
    if (reply.result != SpoolerResult::Success)
        return std::nullopt;
    for (ipp_attribute_t* attr =
             ippFindAttribute(reply.response.get(), "notify-subscription-id", IPP_TAG_INTEGER);
         attr; attr = ippFindNextAttribute(reply.response.get(), "notify-subscription-id",
                                           IPP_TAG_INTEGER))
        ids << ippGetInteger(attr, 0);
    return ids;
}

// Waits until the server holds `count` subscriptions; on failure, says how many it held.
::testing::AssertionResult waitForSubscriptionCount(const QString& server, int count) {
    std::optional<QList<int>> ids;
    if (QTest::qWaitFor(
            [&] {
                ids = subscriptionIds(server);
                return ids && ids->size() == count;
            },
            kEventWaitMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the server holds " << (ids ? ids->size() : -1) << " subscriptions, not " << count;
}

} // namespace

TEST(JobMonitor, ReportsJobsThatComeChangeAndLeaveAfterTheWatchBeganWithTheirTextsWhole) {
    TestPrintServer server;
    const QString queue = server.newQueue("sw-monitor-events");
    ASSERT_FALSE(queue.isEmpty());
    CupsSpooler spooler(server.address());
    spooler.setCountsPages(false); // as the monitor lists them: the program counts pages
    // A paused queue keeps a released job pending, so that release is a change
    // of the job rather than its end.
    ASSERT_EQ(spooler.pauseQueue(queue), SpoolerResult::Success);
    const int before = server.submitJob(queue, "alice", "Before the watch", "already there\n");
    ASSERT_GT(before, 0);

    // The job list is read on the server's events alone: every change below must
    // come through the subscription, not through a periodic read.
    MonitorProcess monitor({"--relist-seconds", "0"});
    ASSERT_TRUE(monitor.watches(server.address()));

    const int job = server.submitJob(queue, "ops|night", "Quarterly|report", "one\fthree\fpages\n");
    ASSERT_GT(job, 0);
    const QString name = jobName(queue, job);
    const auto created = monitor.waitFor("New", name);
    ASSERT_TRUE(created) << "no New event for a job submitted after WatchServer";
    ASSERT_TRUE(created->job);
    EXPECT_EQ(created->job->Document, "Quarterly|report");
    EXPECT_EQ(created->job->Owner, "ops|night");
    EXPECT_EQ(created->job->StatusMask, 1) << "a held job is paused";
    // Every field as the program's own retrieval reads it: size and submission
    // time above all, which make the job's log key.
    EXPECT_EQ(created->job, jobNumbered(spooler.jobs(), job));

    // Each change of the job is reported as it happens.
    int mark = monitor.mark();
    ASSERT_EQ(spooler.resumeJob(queue, job), SpoolerResult::Success);
    auto changed = monitor.waitFor("Modified", name, mark);
    ASSERT_TRUE(changed) << "release gave no Modified";
    EXPECT_EQ(changed->job->StatusMask, 0);

    mark = monitor.mark();
    ASSERT_EQ(spooler.setJobPriority(queue, job, 77), SpoolerResult::Success);
    changed = monitor.waitFor("Modified", name, mark);
    ASSERT_TRUE(changed) << "a priority change gave no Modified";
    EXPECT_EQ(changed->job->Priority, 77);

    mark = monitor.mark();
    ASSERT_EQ(spooler.pauseJob(queue, job), SpoolerResult::Success);
    changed = monitor.waitFor("Modified", name, mark);
    ASSERT_TRUE(changed) << "hold gave no Modified";
    EXPECT_EQ(changed->job->StatusMask, 1);

    mark = monitor.mark();
    ASSERT_EQ(spooler.deleteJob(queue, job), SpoolerResult::Success);
    const auto deleted = monitor.waitFor("Deleted", name, mark);
    ASSERT_TRUE(deleted) << "cancel gave no Deleted";
    EXPECT_EQ(deleted->job->TimeSubmitted, created->job->TimeSubmitted)
        << "the log key must not change";

    // The job that was there first is known, never new, and its end is reported.
    ASSERT_EQ(spooler.deleteJob(queue, before), SpoolerResult::Success);
    ASSERT_TRUE(monitor.waitFor("Deleted", jobName(queue, before)));
    for (const MonitorLine& line : monitor.lines())
        EXPECT_FALSE(line.action == QLatin1String("New") && line.job &&
                     line.job->Name == jobName(queue, before))
            << "a job present at WatchServer was reported as New";
}

TEST(JobMonitor, KeepsOneSubscriptionWhileWatchingAndCancelsItWhenTold) {
    OwnPrintServer own;
    const QString server = own.start();
    ASSERT_FALSE(server.isEmpty());
    const QString queue = "Office-Laser";

    {
        // A lease far shorter than the watch below, so that only renewals keep
        // it; yet long enough that a busy machine still renews it in time.
        constexpr int kLeaseSeconds = 6;
        MonitorProcess monitor({"--lease-seconds", QString::number(kLeaseSeconds)});
        ASSERT_TRUE(monitor.watches(server));
        QElapsedTimer watching;
        watching.start();
        const auto first = subscriptionIds(server);
        ASSERT_TRUE(first);
        ASSERT_EQ(first->size(), 1);
        // Watched until the server has renewed the lease twice and the first
        // lease is over (the server counts it in whole seconds).
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return own.requestsLogged("Renew-Subscription") >= 2 &&
                       watching.elapsed() > (kLeaseSeconds + 1) * 1000;
            },
            kEventWaitMs))
            << "renewals the server carried out: " << own.requestsLogged("Renew-Subscription");
        EXPECT_EQ(subscriptionIds(server), first) << "the subscription did not outlive its lease";
        EXPECT_TRUE(monitor.reportsNewJob(server, queue));
    }
    // From here on the lease outlasts every wait: a subscription that goes away
    // was cancelled.
    ASSERT_TRUE(waitForSubscriptionCount(server, 0));
    {
        MonitorProcess monitor;
        ASSERT_TRUE(monitor.watches(server));
        ASSERT_TRUE(waitForSubscriptionCount(server, 1));
        ASSERT_TRUE(monitor.reportsNewJob(server, queue));

        monitor.send(MonitorProtocol::StopWatching);
        EXPECT_TRUE(waitForSubscriptionCount(server, 0)) << "StopWatching left its subscription";
        const int stopped = monitor.mark();
        {
            // A second monitor watches on: once it has seen a new job, the
            // stopped one would have seen it too.
            MonitorProcess watching;
            ASSERT_TRUE(watching.watches(server));
            ASSERT_TRUE(watching.reportsNewJob(server, queue));
        }
        EXPECT_EQ(monitor.lines().size(), stopped) << "events arrived after StopWatching";

        // Still there for the next watch; the end of its input ends it.
        ASSERT_TRUE(monitor.watches(server));
        ASSERT_TRUE(waitForSubscriptionCount(server, 1));
        monitor.process().closeWriteChannel();
        ASSERT_TRUE(monitor.process().waitForFinished(kProcessWaitMs));
        EXPECT_EQ(monitor.process().exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(monitor.process().exitCode(), 0);
        EXPECT_TRUE(waitForSubscriptionCount(server, 0)) << "closed input left the subscription";
    }
    {
        MonitorProcess monitor;
        ASSERT_TRUE(monitor.watches(server));
        ASSERT_TRUE(waitForSubscriptionCount(server, 1));
        monitor.process().terminate(); // SIGTERM, as the program ends its monitors
        ASSERT_TRUE(monitor.process().waitForFinished(kProcessWaitMs));
        EXPECT_TRUE(waitForSubscriptionCount(server, 0)) << "SIGTERM left the subscription";
    }
}

TEST(JobMonitor, ReconnectsAfterTheServerRestartsAndReportsWhatChanged) {
    OwnPrintServer own;
    const QString server = own.start();
    ASSERT_FALSE(server.isEmpty());
    const int port = server.section(QLatin1Char(':'), -1).toInt();
    const QString queue = "Lab-PDF";
    MonitorProcess monitor;
    ASSERT_TRUE(monitor.watches(server));
    const int lost = monitor.reportsNewJob(server, queue);
    ASSERT_GT(lost, 0);

    // The sandbox server forgets its jobs and subscriptions when it stops.
    int mark = monitor.mark();
    ASSERT_TRUE(own.stop());
    ASSERT_TRUE(monitor.waitForConnect("Reconnecting", mark));
    mark = monitor.mark();
    ASSERT_EQ(own.start(port), server);
    ASSERT_TRUE(monitor.waitForConnect("Connected", mark));
    EXPECT_TRUE(monitor.waitFor("Deleted", jobName(queue, lost), mark))
        << "the job the restart took away was not reported";
    EXPECT_TRUE(waitForSubscriptionCount(server, 1)) << "no new subscription after the restart\n"
                                                     << monitor.transcript();

    // The restarted server numbers its jobs from 1 again: the name of the job
    // that went is given to a new one, which is new all the same.
    EXPECT_TRUE(monitor.reportsNewJob(server, queue)) << "events did not resume after the restart\n"
                                                      << monitor.transcript();
}

TEST(JobMonitor, PollsTheJobListWhenTheServerRefusesSubscriptions) {
    OwnPrintServer own;
    const QString server = own.start();
    ASSERT_FALSE(server.isEmpty());
    // One subscription in all, taken before the monitor asks for its own.
    ASSERT_TRUE(runCupsTool("cupsctl", {"-h", server, "MaxSubscriptions=1"}));
    bool taken = false;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            CupsConnection connection(server, SpoolerTimeouts{});
            IppPtr request = subscriptionRequest(connection, IPP_OP_CREATE_PRINTER_SUBSCRIPTIONS);
            ippAddString(request.get(), IPP_TAG_SUBSCRIPTION, IPP_TAG_KEYWORD, "notify-pull-method",
                         nullptr, "ippget");
            ippAddString(request.get(), IPP_TAG_SUBSCRIPTION, IPP_TAG_KEYWORD, "notify-events",
                         nullptr, "job-created");
            taken = connection.send(std::move(request), "/").result == SpoolerResult::Success;
            return taken; // the server may still be taking up its new configuration
        },
        kEventWaitMs));

    const QString queue = "Reception-PCL";
    MonitorProcess monitor;
    ASSERT_TRUE(monitor.watches(server, "Polling"));
    const int job = monitor.reportsNewJob(server, queue);
    ASSERT_GT(job, 0);
    CupsSpooler spooler(server);
    ASSERT_EQ(spooler.deleteJob(queue, job), SpoolerResult::Success);
    EXPECT_TRUE(monitor.waitFor("Deleted", jobName(queue, job)));
}

TEST(JobMonitor, ReportsAConnectionErrorForAServerItCannotWatch) {
    // A loopback port nobody listens on, kept so for the whole test.
    ClosedLoopbackPort closed;
    const QString unreachable = QStringLiteral("127.0.0.1:%1").arg(closed.port());

    for (const QString& text : QStringList{unreachable, "printhost:notaport"}) {
        MonitorProcess monitor;
        EXPECT_TRUE(monitor.watches(text, "WMI Connection Error")) << text.toStdString();
        for (const MonitorLine& line : monitor.lines())
            EXPECT_NE(line.action, "Connected") << text.toStdString();
    }
}
