#include "SpoolerJobLookup.h"
#include "platform/CupsSpooler.h"
#include "support/SampleDocuments.h"
#include "support/TestPrintServer.h"

#include <algorithm>
#include <gtest/gtest.h>

TEST(CupsSpoolerPages,
     CountsEachDocumentOnceForTheRunThenListsInOneRequestAndKeepsTheCountOnRelease) {
    TestPrintServer server;
    const QString queue = server.newQueue("sw-pages");
    ASSERT_FALSE(queue.isEmpty());
    // Stopped, so that a released job waits instead of printing at once.
    ASSERT_TRUE(runCupsTool("cupsdisable", {"-h", server.address(), queue}));
    const int pdf = server.submitJob(queue, "alice", "five.pdf", samplePdf(5));
    const int text = server.submitJob(queue, "bob", "three.txt", sampleText(150));
    const int postScript = server.submitJob(
        queue, "carol", "four.ps",
        "%!PS-Adobe-3.0\n%%Pages: 4\n%%EndComments\n%%Page: 1 1\nshowpage\n%%EOF\n");
    // Declared by its client: the server's figure is taken, the document not read.
    const int declared =
        server.submitJobDeclaringPages(queue, "dave", "declared.txt", sampleText(10), 7);
    ASSERT_GT(std::min({pdf, text, postScript, declared}), 0);

    CupsSpooler spooler(server.address());
    const QList<SpoolerJob> first = spooler.queueJobs(queue);
    ASSERT_EQ(first.size(), 4);
    EXPECT_EQ(jobNumbered(first, pdf)->TotalPages, 5);
    EXPECT_EQ(jobNumbered(first, text)->TotalPages, 3);
    EXPECT_EQ(jobNumbered(first, postScript)->TotalPages, 4);
    EXPECT_EQ(jobNumbered(first, declared)->TotalPages, 7);
    EXPECT_EQ(spooler.documentsRead(), 3);

    // Later passes, of the queue or of the whole server, read none of them again
    // and cost one request. The pass over the whole server reads the documents of
    // other tests' jobs once each, but keeps the counts of ours.
    int requests = spooler.requestsSent();
    EXPECT_EQ(spooler.queueJobs(queue), first);
    EXPECT_EQ(spooler.requestsSent() - requests, 1);
    EXPECT_EQ(spooler.documentsRead(), 3);
    for (int pass = 0; pass < 2; ++pass) {
        requests = spooler.requestsSent();
        const int documents = spooler.documentsRead();
        const QList<SpoolerJob> all = spooler.jobs();
        EXPECT_EQ(spooler.lastResult(), SpoolerResult::Success);
        EXPECT_EQ((spooler.requestsSent() - requests) - (spooler.documentsRead() - documents), 1);
        for (const SpoolerJob& job : first)
            EXPECT_EQ(jobNumbered(all, job.JobId), job);
    }
    const int afterServerPass = spooler.documentsRead();

    // Another run counts afresh: the count lives with the spooler, nowhere else.
    CupsSpooler nextRun(server.address());
    EXPECT_EQ(jobNumbered(nextRun.queueJobs(queue), text)->TotalPages, 3);
    EXPECT_EQ(nextRun.documentsRead(), 3);

    // A released job keeps the count taken while it was held.
    ASSERT_EQ(spooler.resumeJob(queue, pdf), SpoolerResult::Success);
    const std::optional<SpoolerJob> released = jobNumbered(spooler.queueJobs(queue), pdf);
    ASSERT_TRUE(released);
    EXPECT_EQ(released->StatusMask, 0);
    EXPECT_EQ(released->TotalPages, 5);
    EXPECT_EQ(spooler.documentsRead(), afterServerPass);

    // Listed without counting, jobs counted together are read at once, each once.
    CupsSpooler together(server.address());
    together.setCountsPages(false);
    const QList<SpoolerJob> listed = together.queueJobs(queue);
    QList<SpoolerJob> asked;
    for (const int id : {pdf, text, postScript})
        asked << jobNumbered(listed, id).value_or(SpoolerJob{});
    const auto pagesOf = [&together](const QList<SpoolerJob>& jobs) {
        QList<qint64> pages;
        for (const JobPageCount& counted : together.countPages(jobs))
            pages << counted.pages;
        return pages;
    };
    EXPECT_EQ(pagesOf(asked), QList<qint64>({5, 3, 4}));
    EXPECT_EQ(together.documentsRead(), 3);
    EXPECT_EQ(pagesOf(asked), QList<qint64>({5, 3, 4}));
    EXPECT_EQ(together.documentsRead(), 3);
}
