#include "SpoolerJobLookup.h"
#include "platform/CupsRequests.h"
#include "platform/CupsSpooler.h"
#include "support/SampleDocuments.h"
#include "support/TestPrintServer.h"

#include <QDateTime>
#include <QSet>
#include <algorithm>
#include <gtest/gtest.h>
#include <tuple>

TEST(CupsSpoolerJobs, ListsUnfinishedJobsWithEveryFieldAndEachQueueItsOwn) {
    TestPrintServer server;
    const QString queue = server.newQueue("sw-job-fields");
    const QString other = server.newQueue("sw-job-other");
    ASSERT_FALSE(queue.isEmpty() || other.isEmpty());
    const QByteArray pdf = samplePdf(5);
    const QByteArray text = sampleText(150);

    const qint64 before = QDateTime::currentSecsSinceEpoch();
    const int pdfJob = server.submitJob(queue, "alice", "Invoice 2024-117, final.pdf", pdf);
    const int textJob = server.submitJob(queue, "bob", "Meeting notes.txt", text);
    const qint64 after = QDateTime::currentSecsSinceEpoch();
    const int elsewhere = server.submitJob(other, "alice", "elsewhere", "two\n");
    const int finished = server.submitJob(queue, "alice", "finished", "three\n");
    ASSERT_GT(std::min({pdfJob, textJob, elsewhere, finished}), 0);
    // Cancelled by another client: the job stays in the server's history.
    ASSERT_TRUE(runCupsTool("cancel", {"-h", server.address(), QString::number(finished)}));

    CupsSpooler spooler(server.address());
    const QList<SpoolerJob> jobs = spooler.jobs();
    EXPECT_EQ(spooler.lastResult(), SpoolerResult::Success);
    const QList<std::tuple<int, QString, QString, qint64>> expected = {
        {pdfJob, "Invoice 2024-117, final.pdf", "alice", pdf.size()},
        {textJob, "Meeting notes.txt", "bob", text.size()}};
    for (const auto& [id, document, owner, bytes] : expected) {
        const std::optional<SpoolerJob> job = jobNumbered(jobs, id);
        ASSERT_TRUE(job) << "job " << id << " is not listed";
        EXPECT_EQ(job->Name, queue + QStringLiteral(", ") + QString::number(id));
        EXPECT_EQ(job->Document, document);
        EXPECT_EQ(job->Owner, owner);
        // The jobs came from this computer over the loopback interface.
        EXPECT_EQ(job->HostPrintQueue, "localhost");
        EXPECT_EQ(job->StatusMask, 1) << "a held job is paused";
        EXPECT_EQ(job->PagesPrinted, 0);
        EXPECT_GE(job->Priority, 1);
        EXPECT_LE(job->Priority, 100);
        // Whole kilobytes, as the server counts them, rounded up.
        EXPECT_EQ(job->Size % 1024, 0);
        EXPECT_GE(job->Size, bytes);
        EXPECT_LT(job->Size, bytes + 1024);
        EXPECT_GE(job->TimeSubmitted.toSecsSinceEpoch(), before);
        EXPECT_LE(job->TimeSubmitted.toSecsSinceEpoch(), after);
        EXPECT_EQ(job->TimeSubmitted.timeSpec(), Qt::LocalTime);
    }
    EXPECT_TRUE(jobNumbered(jobs, elsewhere));
    EXPECT_FALSE(jobNumbered(jobs, finished)) << "a finished job is listed";

    // The queue's own listing holds its unfinished jobs alone, in the server's order.
    EXPECT_EQ(spooler.queueJobs(queue),
              QList<SpoolerJob>({*jobNumbered(jobs, pdfJob), *jobNumbered(jobs, textJob)}));
    EXPECT_EQ(spooler.lastResult(), SpoolerResult::Success);

    // The answer holds the attributes asked for and no others.
    CupsConnection connection(server.address(), {});
    IppPtr request = jobsRequest(connection, printerUri(connection, queue));
    QSet<QByteArray> asked;
    ipp_attribute_t* requested =
        ippFindAttribute(request.get(), "requested-attributes", IPP_TAG_KEYWORD);
    ASSERT_NE(requested, nullptr);
    for (int i = 0; i < ippGetCount(requested); ++i)
        asked.insert(ippGetString(requested, i, nullptr));
    const CupsReply reply = connection.send(std::move(request), "/");
    ASSERT_EQ(reply.result, SpoolerResult::Success) << reply.message.toStdString();
    int jobAttributes = 0;
    for (ipp_attribute_t* attr = ippFirstAttribute(reply.response.get()); attr;
         attr = ippNextAttribute(reply.response.get())) {
        if (ippGetGroupTag(attr) != IPP_TAG_JOB)
            continue;
        ++jobAttributes;
        EXPECT_TRUE(asked.contains(ippGetName(attr))) << "not asked for: " << ippGetName(attr);
    }
    EXPECT_GT(jobAttributes, 0);

    // A refusal is an answer: the connection stays for the next request.
    EXPECT_EQ(
        connection.send(jobsRequest(connection, printerUri(connection, "sw-no-such-queue")), "/")
            .result,
        SpoolerResult::NotFound);
    EXPECT_TRUE(connection.isOpen());
}
