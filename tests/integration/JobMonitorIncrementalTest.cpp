#include "platform/CupsConnection.h"
#include "platform/CupsRequests.h"
#include "platform/CupsSpooler.h"
#include "platform/MonitorProtocol.h"
#include "support/TestPrintServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

// The job monitor applies each server event to its own list of jobs, and reads
// the whole list only to reconcile. Watched on servers of the tests' own, whose
// access logs tell which requests the monitor sent.

namespace {

constexpr int kEventWaitMs = 30000; // generous: only a missing event should fail

struct Event {
    QString action;
    SpoolerJob job;
};

class Monitor {
public:
    Monitor(const QString& server, const QStringList& arguments) {
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] {
            while (process_.canReadLine()) {
                const MonitorProtocol::Line line =
                    MonitorProtocol::decode(process_.readLine().chopped(1));
                if (line.name == MonitorProtocol::ConnectEvent)
                    connects_ << line.fields.value(0);
                else if (const auto job = MonitorProtocol::jobFromFields(line.fields.mid(1)))
                    events_ << Event{line.fields.value(0), *job};
            }
        });
        process_.start(
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("SWRJobMonitor")),
            arguments);
        EXPECT_TRUE(process_.waitForStarted(kEventWaitMs));
        process_.write(MonitorProtocol::encode(MonitorProtocol::WatchServer, {server}));
    }
    ~Monitor() {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(kEventWaitMs))
            process_.kill();
    }

    bool connected() {
        return QTest::qWaitFor([this] { return connects_.contains(QStringLiteral("Connected")); },
                               kEventWaitMs);
    }
    // The events of `action` for each job name, once every name has one.
    QHash<QString, QList<SpoolerJob>> waitForEach(const QString& action, const QStringList& names) {
        QHash<QString, QList<SpoolerJob>> found;
        [[maybe_unused]] const bool all = QTest::qWaitFor(
            [&] {
                found.clear();
                for (const Event& event : std::as_const(events_))
                    if (event.action == action && names.contains(event.job.Name))
                        found[event.job.Name] << event.job;
                return found.size() == names.size();
            },
            kEventWaitMs);
        return found;
    }

private:
    QProcess process_;
    QStringList connects_;
    QList<Event> events_;
};

// Held jobs submitted as fast as the server takes them, over one connection.
QStringList submitHeld(const QString& server, const QString& queue, int count) {
    CupsConnection connection(server, SpoolerTimeouts{});
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("page.txt"));
    QFile document(path);
    EXPECT_TRUE(document.open(QIODevice::WriteOnly) && document.write("a page\n") > 0);
    document.close();
    QStringList names;
    for (int n = 0; n < count; ++n) {
        IppPtr request = printerRequest(connection, IPP_OP_PRINT_JOB, queue);
        ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
                     qPrintable(QStringLiteral("Burst %1").arg(n)));
        ippAddString(request.get(), IPP_TAG_JOB, IPP_TAG_KEYWORD, "job-hold-until", nullptr,
                     "indefinite");
        const CupsReply reply = connection.sendWithDocument(
            std::move(request), qPrintable(QStringLiteral("/printers/") + queue), path);
        ipp_attribute_t* id =
            reply.response ? ippFindAttribute(reply.response.get(), "job-id", IPP_TAG_INTEGER)
                           : nullptr;
        EXPECT_TRUE(id) << reply.message.toStdString();
        if (id)
            names << QStringLiteral("%1, %2").arg(queue).arg(ippGetInteger(id, 0));
    }
    return names;
}

} // namespace

TEST(JobMonitorIncremental, ReportsEachJobOfABurstOnceWithoutListingTheServer) {
    OwnPrintServer own;
    const QString server = own.start();
    ASSERT_FALSE(server.isEmpty());
    const QString queue = QStringLiteral("Office-Laser");
    // Reconciling is allowed once an hour: nothing here may need it.
    Monitor monitor(server, {QStringLiteral("--relist-seconds"), QStringLiteral("3600")});
    ASSERT_TRUE(monitor.connected());
    const int listedAtStart = own.requestsLogged(QStringLiteral("Get-Jobs"));

    const QStringList names = submitHeld(server, queue, 40);
    ASSERT_EQ(names.size(), 40);
    const auto created = monitor.waitForEach(QStringLiteral("New"), names);
    ASSERT_EQ(created.size(), names.size()) << "New events missing";
    EXPECT_EQ(own.requestsLogged(QStringLiteral("Get-Jobs")), listedAtStart)
        << "the job list was read for events the monitor could apply by itself";

    CupsSpooler spooler(server);
    spooler.setCountsPages(false);
    for (const SpoolerJob& listed : spooler.jobs()) {
        const QList<SpoolerJob> reported = created.value(listed.Name);
        ASSERT_EQ(reported.size(), 1) << listed.Name.toStdString() << " was not reported once";
        EXPECT_EQ(reported.first(), listed) << "fields of " << listed.Name.toStdString();
        EXPECT_EQ(reported.first().TotalPages, kPagesNotCounted) << "the monitor counts no pages";
    }

    // A release and a cancel are applied from the events alone.
    const int first = names.first().section(QStringLiteral(", "), 1).toInt();
    const int last = names.last().section(QStringLiteral(", "), 1).toInt();
    ASSERT_EQ(spooler.pauseQueue(queue), SpoolerResult::Success); // keeps a released job pending
    ASSERT_EQ(spooler.resumeJob(queue, first), SpoolerResult::Success);
    ASSERT_EQ(spooler.deleteJob(queue, last), SpoolerResult::Success);
    const auto released = monitor.waitForEach(QStringLiteral("Modified"), {names.first()});
    ASSERT_EQ(released.size(), 1) << "release gave no Modified";
    EXPECT_EQ(released.value(names.first()).last().StatusMask, 0);
    const auto deleted = monitor.waitForEach(QStringLiteral("Deleted"), {names.last()});
    ASSERT_EQ(deleted.size(), 1) << "cancel gave no Deleted";
    EXPECT_EQ(deleted.value(names.last()).first(), created.value(names.last()).first())
        << "Deleted carries the fields the job had last";
}

TEST(JobMonitorIncremental, ReconcilesWhenTheServerLostEvents) {
    OwnPrintServer own;
    const QString server = own.start();
    ASSERT_FALSE(server.isEmpty());
    // The server keeps only the last few events of a subscription: a burst
    // overflows them before the monitor asks.
    ASSERT_TRUE(runCupsTool(QStringLiteral("cupsctl"),
                            {QStringLiteral("-h"), server, QStringLiteral("MaxEvents=2")}));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !CupsSpooler(server).queueNames().isEmpty(); }, kEventWaitMs));
    Monitor monitor(server, {QStringLiteral("--relist-seconds"), QStringLiteral("1")});
    ASSERT_TRUE(monitor.connected());
    const QStringList names = submitHeld(server, QStringLiteral("Lab-PDF"), 60);
    const auto created = monitor.waitForEach(QStringLiteral("New"), names);
    EXPECT_EQ(created.size(), names.size()) << "jobs whose events the server dropped went unseen";
    for (const QList<SpoolerJob>& reported : created)
        EXPECT_EQ(reported.size(), 1) << reported.first().Name.toStdString();
}
