#include "SpoolerJobLookup.h"
#include "platform/CupsSpooler.h"
#include "support/TestPrintServer.h"

#include <QMap>
#include <algorithm>
#include <cups/cups.h>
#include <gtest/gtest.h>

namespace {

// What lpstat, another client, says of the queue: "-p" its state, "-o" its jobs.
QString lpstat(const TestPrintServer& server, const char* option, const QString& queue) {
    QString output;
    runCupsTool("lpstat", {"-h", server.address(), QString::fromLatin1(option), queue}, &output);
    return output.trimmed();
}

} // namespace

TEST(CupsSpoolerActions, QueueAndJobActionsChangeWhatTheServerHolds) {
    TestPrintServer server;
    const QString name = server.newQueue("sw-actions");
    ASSERT_FALSE(name.isEmpty());
    ASSERT_TRUE(runCupsTool("lpadmin", {"-h", server.address(), "-p", name, "-D",
                                        "Second floor, east", "-L", "Room 204"}));

    CupsSpooler spooler(server.address());
    std::optional<SpoolerQueue> queue = spooler.queue(name);
    ASSERT_TRUE(queue);
    EXPECT_EQ(queue->Name, name);
    EXPECT_EQ(queue->Description, "Second floor, east");
    EXPECT_EQ(queue->Location, "Room 204");
    EXPECT_FALSE(queue->Model.isEmpty());
    // Named as the operator named the server, not by the server's own host name.
    EXPECT_EQ(queue->PrinterPath,
              QStringLiteral("ipp://%1/printers/%2").arg(server.address()).arg(name));
    EXPECT_EQ(queue->Status, 0u);

    // Paused, the queue keeps released jobs waiting instead of printing them.
    EXPECT_EQ(spooler.pauseQueue(name), SpoolerResult::Success);
    EXPECT_TRUE(lpstat(server, "-p", name).contains("disabled"));
    EXPECT_EQ(spooler.queue(name)->Status, 0x1u);

    const int held = server.submitJob(name, "alice", "held", "a\n");
    const int waiting = server.submitJob(name, "bob", "waiting", "b\n", /*hold=*/false);
    ASSERT_GT(std::min({held, waiting}), 0);
    const auto job = [&](int id) { return jobNumbered(spooler.queueJobs(name), id); };
    ASSERT_TRUE(job(held));
    EXPECT_EQ(job(held)->StatusMask, 1);
    EXPECT_EQ(job(waiting)->StatusMask, 0);
    EXPECT_EQ(spooler.pauseJob(name, waiting), SpoolerResult::Success);
    EXPECT_EQ(job(waiting)->StatusMask, 1);
    EXPECT_EQ(spooler.resumeJob(name, held), SpoolerResult::Success);
    EXPECT_EQ(job(held)->StatusMask, 0);
    EXPECT_EQ(spooler.resumeJob(name, held), SpoolerResult::Failed)
        << "a job that is not held cannot be released";
    ASSERT_NE(job(held)->Priority, 90);
    EXPECT_EQ(spooler.setJobPriority(name, held, 90), SpoolerResult::Success);
    EXPECT_EQ(job(held)->Priority, 90);
    EXPECT_EQ(spooler.deleteJob(name, waiting), SpoolerResult::Success);
    EXPECT_FALSE(job(waiting));
    EXPECT_FALSE(jobNumbered(spooler.jobs(), waiting));
    EXPECT_TRUE(job(held)) << "only the cancelled job went";

    // The test page is the operator's own one-page job.
    EXPECT_EQ(spooler.printTestPage(name), SpoolerResult::Success);
    const QList<SpoolerJob> jobs = spooler.queueJobs(name);
    ASSERT_EQ(jobs.size(), 2);
    EXPECT_EQ(jobs[1].Document, "Test Page");
    EXPECT_EQ(jobs[1].Owner, QString::fromUtf8(cupsUser()));
    EXPECT_EQ(jobs[1].StatusMask, 0);
    EXPECT_EQ(jobs[1].TotalPages, 1);

    EXPECT_EQ(spooler.purgeQueue(name), SpoolerResult::Success);
    EXPECT_TRUE(spooler.queueJobs(name).isEmpty());
    EXPECT_EQ(lpstat(server, "-o", name), QString());

    // Deleting jobs by number leaves the others; a number that is not the queue's
    // (a job of another queue here) keeps none of the rest from going.
    const int first = server.submitJob(name, "carol", "first", "c\n");
    const int second = server.submitJob(name, "dave", "second", "d\n");
    const QString elsewhere = server.newQueue("sw-actions-other");
    const int other = server.submitJob(elsewhere, "erin", "other", "e\n");
    ASSERT_GT(std::min({first, second, other}), 0);
    qsizetype deleted = 0;
    EXPECT_EQ(spooler.deleteJobs(name, {first, other}, deleted), SpoolerResult::Success);
    EXPECT_EQ(deleted, 2);
    EXPECT_FALSE(job(first));
    EXPECT_TRUE(job(second));
    EXPECT_TRUE(jobNumbered(spooler.queueJobs(elsewhere), other));
    EXPECT_EQ(spooler.deleteJobs(name, {second}, deleted), SpoolerResult::Success);
    EXPECT_TRUE(spooler.queueJobs(name).isEmpty());

    EXPECT_EQ(spooler.resumeQueue(name), SpoolerResult::Success);
    EXPECT_FALSE(lpstat(server, "-p", name).contains("disabled"));
    EXPECT_EQ(spooler.queue(name)->Status, 0u);

    EXPECT_FALSE(spooler.queue("sw-no-such-queue"));
    EXPECT_EQ(spooler.lastResult(), SpoolerResult::NotFound);
    for (const SpoolerResult result :
         {spooler.pauseQueue("sw-no-such-queue"), spooler.printTestPage("sw-no-such-queue"),
          spooler.pauseJob(name, 999999), spooler.deleteJob(name, 999999)})
        EXPECT_EQ(result, SpoolerResult::NotFound);
}

TEST(CupsSpoolerPrinters, ReportsEachPrintersStateAndProperties) {
    TestPrintServer server;
    const QString idle = server.newQueue("sw-report-idle");
    const QString stopped = server.newQueue("sw-report-stopped");
    ASSERT_FALSE(idle.isEmpty() || stopped.isEmpty());
    const auto set = [&](const QString& queue, const QStringList& options) {
        return runCupsTool("lpadmin", QStringList{"-h", server.address(), "-p", queue} + options);
    };
    ASSERT_TRUE(set(idle, {"-D", "Idle one", "-L", "Hall", "-o", "printer-is-shared=true"}));
    ASSERT_TRUE(set(stopped, {"-D", "Stopped one", "-o", "printer-is-shared=false"}));
    ASSERT_TRUE(runCupsTool("cupsdisable", {"-h", server.address(), stopped}));

    CupsSpooler spooler(server.address());
    QMap<QString, SpoolerPrinter> byName;
    for (const SpoolerPrinter& printer : spooler.printers())
        byName[printer.Name] = printer;
    EXPECT_EQ(spooler.lastResult(), SpoolerResult::Success);
    ASSERT_TRUE(byName.contains(idle) && byName.contains(stopped));
    const SpoolerPrinter* first = &byName[idle];
    const SpoolerPrinter* second = &byName[stopped];
    EXPECT_EQ(first->ShareName, idle);
    EXPECT_EQ(first->ExtendedPrinterStatus, 3);
    EXPECT_EQ(first->Comment, "Idle one");
    EXPECT_EQ(first->Location, "Hall");
    EXPECT_EQ(first->PortName, "file:///dev/null");
    EXPECT_TRUE(first->Shared);
    EXPECT_EQ(second->ExtendedPrinterStatus, 8);
    EXPECT_EQ(second->Comment, "Stopped one");
    EXPECT_FALSE(second->Shared);

    // The web page is on the server's own port; an IPv6 address keeps its brackets.
    EXPECT_EQ(spooler.printerWebPage(idle),
              QStringLiteral("http://%1/printers/%2").arg(server.address(), idle));
    EXPECT_EQ(CupsSpooler("[::1]:8631").printerWebPage("Lab"), "http://[::1]:8631/printers/Lab");
    EXPECT_EQ(CupsSpooler("printhost").printerWebPage("Lab"), "http://printhost:631/printers/Lab");
}
