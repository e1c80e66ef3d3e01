#include "form/JobGrid.h"
#include "log/LogDatabase.h"
#include "session/JobMonitor.h"
#include "support/MainWindowHarness.h"
#include "support/PostgresServer.h"
#include "support/SampleDocuments.h"
#include "support/TestPrintServer.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <QTreeWidget>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace {

constexpr int kBefore = 30; // jobs of the burst before the log server stops
constexpr int kDuring = 30; // while it is down
constexpr int kAfter = 30;  // once it is back
constexpr auto kOutage = std::chrono::seconds(20);

// The longest the window's thread left a 10 ms timer waiting: how long the event
// loop was blocked at most.
class EventLoopGaps {
public:
    EventLoopGaps() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            longest_ = std::max(longest_, clock_.restart());
            if (onTick)
                onTick();
        });
        clock_.start();
        timer_.start(10);
    }
    qint64 longestMs() const { return longest_; }
    std::function<void()> onTick;

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 longest_ = 0;
};

} // namespace

// The shared log's server stops for 20 s in the middle of a burst of jobs. The
// window keeps answering (its thread never blocked for 1 s), says that rows wait,
// and once the server is back writes every row, the waiting ones first, in the
// order the jobs came.
TEST(LogOutage, RowsWaitInOrderWhileTheLogServerIsDownAndTheWindowKeepsAnswering) {
    TestPrintServer server;
    OwnPostgresServer postgres;
    const QString queue = server.newQueue("Outage");
    ASSERT_FALSE(queue.isEmpty() || postgres.start().isEmpty());
    const QString log = postgres.newDatabase("outage");
    ASSERT_FALSE(log.isEmpty());

    MainWindowHarness harness;
    harness.useRealServers = true;
    harness.monitorProgram = jobMonitorProgram();
    FrmMain& w = harness.show(QStringLiteral("Server=%1\r\nQueue=%2\r\nLogPath=%3")
                                  .arg(server.address(), queue, log)
                                  .toUtf8());
    ASSERT_EQ(w.CurrentPrintQueue->currentText(), queue);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return w.ServerStatus->text().startsWith("Server "); }, 60000))
        << w.ServerStatus->text().toStdString();
    // The burst and the outage run beside the window's thread, so that nothing
    // the test does blocks that thread.
    std::mutex idsLock;
    QStringList ids;
    std::atomic<bool> down{false}, done{false}, giveUp{false};
    const auto submit = [&](int count, int first) {
        for (int i = first; i < first + count && !giveUp; ++i) {
            const int id = server.submitJob(queue, "alice", QStringLiteral("Burst %1").arg(i),
                                            sampleText(1 + i % 3 * 70));
            std::lock_guard<std::mutex> hold(idsLock);
            ids << QString::number(id);
        }
    };
    EventLoopGaps gaps;
    bool backlogShown = false;
    gaps.onTick = [&] {
        if (down && w.panelText(1).startsWith("Log busy, "))
            backlogShown = true;
    };
    std::thread burst([&] {
        submit(kBefore, 0);
        if (postgres.pause()) {
            down = true;
            const auto back = std::chrono::steady_clock::now() + kOutage;
            submit(kDuring, kBefore);
            std::this_thread::sleep_until(back); // the outage lasts its 20 s
            down = false;
            postgres.start();
        }
        submit(kAfter, kBefore + kDuring);
        done = true;
    });
    const bool burstEnded = QTest::qWaitFor([&] { return done.load(); }, 180000);
    giveUp = true; // a burst that hangs ends after the job it is submitting
    burst.join();
    ASSERT_TRUE(burstEnded);
    const int total = kBefore + kDuring + kAfter;
    ASSERT_EQ(ids.size(), total);
    // The window has every job with its pages and has written all that waited;
    // only then does the test itself query the log (which blocks this thread).
    const auto missing = [&] {
        QStringList without;
        for (const QString& id : ids) {
            const QTreeWidgetItem* row = w.jobGrid().rowOf(queue + QStringLiteral(", ") + id);
            if (!row || row->text(JobColumn::Pages).isEmpty())
                without << id + (row ? QStringLiteral(" (no pages)") : QString());
        }
        return without.join(QStringLiteral(", ")).toStdString();
    };
    const auto allWritten = [&] { return missing().empty() && w.log().pendingCount() == 0; };
    ASSERT_TRUE(QTest::qWaitFor(allWritten, 120000))
        << w.log().pendingCount() << " rows wait; not in the grid: " << missing() << "; status "
        << w.ServerStatus->text().toStdString() << "; " << w.panelText(1).toStdString();
    EXPECT_LT(gaps.longestMs(), 1000);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return postgres.polled(log, R"(SELECT COUNT(*) FROM swr_log
                                          WHERE "Pages" IS NOT NULL)") ==
                   QStringList{QString::number(total)};
        },
        30000));
    EXPECT_TRUE(backlogShown);
    // Every job once, its row made in the order the jobs came.
    EXPECT_EQ(postgres.query(log, R"(SELECT "Name" FROM swr_log ORDER BY rowid)"), ids);
    EXPECT_EQ(postgres.query(log, R"(SELECT COUNT(*), COUNT(DISTINCT "Name") FROM swr_log)"),
              QStringList{QStringLiteral("%1\t%1").arg(total)});
}
