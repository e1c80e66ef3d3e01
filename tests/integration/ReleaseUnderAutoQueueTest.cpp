#include "CompletedJobs.h"
#include "control/JobActions.h"
#include "form/JobGrid.h"
#include "platform/CupsSpooler.h"
#include "session/JobMonitor.h"
#include "support/MainWindowHarness.h"
#include "support/SampleDocuments.h"
#include "support/TestPrintServer.h"

#include <QCheckBox>
#include <QSet>
#include <QTreeWidget>
#include <atomic>
#include <gtest/gtest.h>

namespace {

// Passes every request on to the real server until it is cut, as a program killed at
// that moment would: from then on nothing of the window reaches the server.
class CuttableSpooler : public PrintSpooler {
public:
    CuttableSpooler(const QString& server, std::atomic<bool>& cutAfterRelease)
        : inner_(server, kShortTimeouts), cutAfterRelease_(cutAfterRelease) {}

    QString serverName() const override { return inner_.serverName(); }
    QStringList queueNames() override { return live() ? inner_.queueNames() : QStringList(); }
    std::optional<SpoolerQueue> queue(const QString& name) override {
        return live() ? inner_.queue(name) : std::nullopt;
    }
    QList<SpoolerJob> jobs() override { return live() ? inner_.jobs() : QList<SpoolerJob>(); }
    QList<SpoolerJob> queueJobs(const QString& q) override {
        return live() ? inner_.queueJobs(q) : QList<SpoolerJob>();
    }
    SpoolerResult pauseJob(const QString& q, int id) override {
        return live() ? inner_.pauseJob(q, id) : dead();
    }
    // The release's first request goes; the program "dies" right after it.
    SpoolerResult resumeJob(const QString& q, int id) override {
        if (!live())
            return dead();
        const SpoolerResult result = inner_.resumeJob(q, id);
        cut_ = cutAfterRelease_.load();
        return result;
    }
    SpoolerResult deleteJob(const QString& q, int id) override {
        return live() ? inner_.deleteJob(q, id) : dead();
    }
    SpoolerResult deleteJobs(const QString& q, const QList<int>& ids, qsizetype& deleted) override {
        return live() ? inner_.deleteJobs(q, ids, deleted) : dead();
    }
    SpoolerResult setJobPriority(const QString& q, int id, int priority) override {
        return live() ? inner_.setJobPriority(q, id, priority) : dead();
    }
    SpoolerResult pauseQueue(const QString& q) override {
        return live() ? inner_.pauseQueue(q) : dead();
    }
    SpoolerResult resumeQueue(const QString& q) override {
        return live() ? inner_.resumeQueue(q) : dead();
    }
    SpoolerResult purgeQueue(const QString& q) override {
        return live() ? inner_.purgeQueue(q) : dead();
    }
    SpoolerResult printTestPage(const QString& q) override {
        return live() ? inner_.printTestPage(q) : dead();
    }
    QList<SpoolerPrinter> printers() override {
        return live() ? inner_.printers() : QList<SpoolerPrinter>();
    }
    QString printerWebPage(const QString& q) const override { return inner_.printerWebPage(q); }
    std::optional<QString> jobHoldUntilDefault(const QString& q) override {
        return live() ? inner_.jobHoldUntilDefault(q) : std::nullopt;
    }
    SpoolerResult setJobHoldUntilDefault(const QString& q, const QString& value) override {
        return live() ? inner_.setJobHoldUntilDefault(q, value) : dead();
    }
    SpoolerResult moveJob(const QString& q, int id, const QString& to) override {
        return live() ? inner_.moveJob(q, id, to) : dead();
    }
    SpoolerResult makeMovedJobsQueue(const QString& model, const QString& name) override {
        return live() ? inner_.makeMovedJobsQueue(model, name) : dead();
    }
    SpoolerResult lastResult() const override {
        return cut_ ? SpoolerResult::Unreachable : inner_.lastResult();
    }

private:
    bool live() const { return !cut_; }
    static SpoolerResult dead() { return SpoolerResult::Unreachable; }

    CupsSpooler inner_;
    std::atomic<bool>& cutAfterRelease_;
    std::atomic<bool> cut_{false};
};

} // namespace

// Jobs that ask to print at once, at the highest priority, arrive before, during and
// after each release; the program is killed in the middle of the last one. Only the
// jobs the operator released print.
TEST(ReleaseUnderAutoQueue, OnlyReleasedJobsPrintWhateverArrivesAndWhenTheProgramIsKilled) {
    constexpr int kReleases = 4;
    TestPrintServer server;
    const QString queue = server.newQueue("Release");
    const QString barrier = server.newQueue("Barrier");
    ASSERT_FALSE(queue.isEmpty() || barrier.isEmpty());
    std::atomic<bool> cutAfterRelease{false};
    MainWindowHarness harness;
    harness.monitorProgram = jobMonitorProgram();
    harness.makeSpooler = [&cutAfterRelease](const QString& name) {
        return std::make_unique<CuttableSpooler>(name, cutAfterRelease);
    };
    FrmMain& w =
        harness.show(QStringLiteral("Server=%1\r\nQueue=%2").arg(server.address(), queue).toUtf8());
    w.chkAutoQueue->setChecked(true);

    QSet<int> printedReleases, urgent;
    const auto sendUrgent = [&] {
        const int id = submitJobWith(server.address(), queue, "mallory", "Urgent", sampleText(1),
                                     {"-H", "immediate", "-q", "100"});
        ASSERT_GT(id, 0);
        urgent << id;
    };
    const auto finished = [&] { return finishedJobStates(server.address(), queue); };
    for (int round = 0; round < kReleases; ++round) {
        const int held = server.submitJob(queue, "alice", "Held", sampleText(2), false);
        ASSERT_GT(held, 0);
        sendUrgent();
        const QString name = queue + ", " + QString::number(held);
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.jobGrid().rowOf(name) != nullptr; }, 30000))
            << name.toStdString();
        w.JobList->setCurrentItem(w.jobGrid().rowOf(name));
        sendUrgent();
        const bool last = round == kReleases - 1;
        cutAfterRelease = last;
        MenuResumeJob(w);
        sendUrgent();
        if (last)
            break; // released as the program died: it waits, released, in the paused queue
        ASSERT_TRUE(QTest::qWaitFor([&] { return finished().value(held) == 9; }, 30000)) << held;
        printedReleases << held;
    }
    // Killed: what arrives now finds the server as the program left it.
    sendUrgent();
    sendUrgent();
    // A job of a running queue, sent last, has printed once the server got round to it.
    const int last = server.submitJob(barrier, "bob", "Barrier", sampleText(1), false);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return finishedJobStates(server.address(), barrier).value(last) == 9; }, 30000));

    const QMap<int, int> states = finished();
    QSet<int> printed;
    for (auto it = states.begin(); it != states.end(); ++it)
        if (it.value() == 9)
            printed << it.key();
    EXPECT_EQ(printed, printedReleases);
    CupsSpooler reader(server.address(), kShortTimeouts);
    int waiting = 0;
    for (const SpoolerJob& job : reader.queueJobs(queue))
        waiting += urgent.contains(job.JobId);
    EXPECT_EQ(waiting, urgent.size());
}
