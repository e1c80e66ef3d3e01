#pragma once

#include "platform/PrintSpooler.h"

#include <memory>
#include <mutex>

// Whether a request may ask the operator for a password. The poll's requests run on
// a worker thread, where no dialog can open: there a server that wants a password
// the operator has not given yet is refused for this request only, and asked again
// when the operator acts.
namespace SpoolerPrompts {
bool offOnThisThread();
// Turns prompts off on the calling thread while it lives.
class Off {
public:
    Off();
    ~Off();
    Off(const Off&) = delete;
    Off& operator=(const Off&) = delete;

private:
    bool before_;
};
} // namespace SpoolerPrompts

// A spooler shared by the window's thread and the poll's worker: one call at a
// time. The lock is recursive because a password dialog lets the window's events
// run, and one of them may call the same spooler again.
class GuardedSpooler : public PrintSpooler {
public:
    explicit GuardedSpooler(std::unique_ptr<PrintSpooler> inner) : inner_(std::move(inner)) {}

    QString serverName() const override;
    QStringList queueNames() override;
    std::optional<SpoolerQueue> queue(const QString& name) override;
    QList<SpoolerJob> jobs() override;
    QList<SpoolerJob> queueJobs(const QString& queue) override;
    SpoolerResult pauseJob(const QString& queue, int jobId) override;
    SpoolerResult resumeJob(const QString& queue, int jobId) override;
    SpoolerResult deleteJob(const QString& queue, int jobId) override;
    SpoolerResult setJobPriority(const QString& queue, int jobId, int priority) override;
    SpoolerResult pauseQueue(const QString& queue) override;
    SpoolerResult resumeQueue(const QString& queue) override;
    SpoolerResult purgeQueue(const QString& queue) override;
    SpoolerResult deleteJobs(const QString& queue, const QList<int>& jobIds,
                             qsizetype& deleted) override;
    SpoolerResult printTestPage(const QString& queue) override;
    QList<SpoolerPrinter> printers() override;
    QString printerWebPage(const QString& queue) const override;
    JobPageCount countPages(const SpoolerJob& job) override;
    QList<JobPageCount> countPages(const QList<SpoolerJob>& jobs) override;
    QList<SpoolerAttribute> printerAttributes(const QString& queue) override;
    std::optional<QString> jobHoldUntilDefault(const QString& queue) override;
    SpoolerResult setJobHoldUntilDefault(const QString& queue, const QString& value) override;
    SpoolerResult moveJob(const QString& queue, int jobId, const QString& toQueue) override;
    SpoolerResult makeMovedJobsQueue(const QString& model, const QString& name) override;
    SpoolerResult lastResult() const override;
    QString lastMessage() const override;
    std::optional<SpoolerCredentials> credentials() const override;

    // Runs `work` with the spooler to itself, so that a call and its lastResult()
    // are read together.
    template <typename Work> auto exclusive(Work work) {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        return work(*inner_);
    }

    // The spooler itself, unguarded: for measurements only.
    PrintSpooler& inner() { return *inner_; }

private:
    std::unique_ptr<PrintSpooler> inner_;
    mutable std::recursive_mutex mutex_;
};
