#include "CompletedJobs.h"
#include "SpoolerJobLookup.h"
#include "control/JobActions.h"
#include "form/JobGrid.h"
#include "platform/CupsSpooler.h"
#include "platform/CupsStatus.h"
#include "session/JobMonitor.h"
#include "session/QueuePoll.h"
#include "support/MainWindowHarness.h"
#include "support/SampleDocuments.h"
#include "support/TestPrintServer.h"

#include <QCheckBox>
#include <QSet>
#include <QTreeWidget>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

// Jobs arrive in bursts from two users while another client lists the whole server
// without pause; only the jobs the operator released may print.
TEST(HoldUnderLoad, OnlyReleasedJobsPrint) {
    constexpr int kBursts = 10, kBurstSize = 20, kReleasedPerBurst = 2;
    TestPrintServer server;
    const QString queue = server.newQueue("Load");
    ASSERT_FALSE(queue.isEmpty());
    MainWindowHarness harness;
    harness.useRealServers = true;
    harness.monitorProgram = jobMonitorProgram();
    FrmMain& w =
        harness.show(QStringLiteral("Server=%1\r\nQueue=%2").arg(server.address(), queue).toUtf8());
    w.chkAutoQueue->setChecked(true);

    std::atomic<bool> stop{false};
    std::atomic<int> listings{0};
    // Stopped and joined however the test ends.
    struct Joined {
        std::atomic<bool>& stop;
        std::thread& thread;
        ~Joined() {
            stop = true;
            if (thread.joinable())
                thread.join();
        }
    };
    std::thread lister([&] {
        CupsSpooler client(server.address(), kShortTimeouts);
        while (!stop) {
            client.jobs();
            ++listings;
        }
    });
    const Joined joined{stop, lister};
    CupsSpooler reader(server.address(), kShortTimeouts);
    QSet<int> submitted, released;
    for (int burst = 0; burst < kBursts; ++burst) {
        QList<int> ids;
        for (int i = 0; i < kBurstSize; ++i) {
            const int id =
                server.submitJob(queue, i % 2 ? "alice" : "bob", "Burst", sampleText(3), false);
            ASSERT_GT(id, 0);
            ids << id;
            submitted << id;
        }
        for (int r = 0; r < kReleasedPerBurst; ++r) {
            const int id = ids.at(r * 7);
            const QString name = queue + ", " + QString::number(id);
            ASSERT_TRUE(QTest::qWaitFor(
                [&] {
                    if (QueuePoll::of(w).inFlight())
                        return false;
                    if (w.jobGrid().rowOf(name))
                        return true;
                    Timer2_Timer(w);
                    return false;
                },
                30000))
                << name.toStdString() << " not in the grid";
            w.JobList->setCurrentItem(w.jobGrid().rowOf(name));
            MenuResumeJob(w);
            released << id;
            // The next release waits for this one to leave the queue.
            ASSERT_TRUE(QTest::qWaitFor(
                [&] {
                    if (!QueuePoll::of(w).inFlight())
                        Timer2_Timer(w);
                    return !jobNumbered(reader.queueJobs(queue), id) &&
                           queuePaused(reader.queue(queue).value_or(SpoolerQueue{}).Status);
                },
                30000))
                << id;
        }
    }
    stop = true;
    lister.join();
    EXPECT_GT(listings.load(), 0);

    const QMap<int, int> finished = finishedJobStates(server.address(), queue);
    QSet<int> printed;
    for (auto it = finished.begin(); it != finished.end(); ++it)
        if (it.value() == 9)
            printed << it.key();
    EXPECT_EQ(printed, released);
    int stillHeld = 0;
    for (const SpoolerJob& job : reader.queueJobs(queue))
        stillHeld += submitted.contains(job.JobId) && job.StatusMask == 1;
    EXPECT_EQ(stillHeld, kBursts * (kBurstSize - kReleasedPerBurst));
    w.chkAutoQueue->setChecked(false);
}
