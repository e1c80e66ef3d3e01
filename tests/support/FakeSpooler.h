#pragma once

#include "platform/PrintSpooler.h"

#include <QMap>
#include <QSet>
#include <QStringList>
#include <functional>

// A job as the fakes hold it: Name "queue, id", one page of 2 KB, submitted at
// 09:00 on 5 December 2026 plus `id` seconds.
SpoolerJob sampleJob(const QString& queue, int jobId, const QString& document,
                     const QString& owner = "ann", int statusMask = 0);

// A print server held in memory for the pure rules: queues and jobs with Windows
// status numbers set freely, calls counted, and every call made to fail.
class FakeSpooler : public PrintSpooler {
public:
    explicit FakeSpooler(QString server) : server_(std::move(server)) {}

    QString serverName() const override { return server_; }
    QStringList queueNames() override;
    std::optional<SpoolerQueue> queue(const QString& name) override;
    QList<SpoolerJob> jobs() override;
    QList<SpoolerJob> queueJobs(const QString& queue) override;
    SpoolerResult pauseJob(const QString&, int jobId) override {
        return setJobStatus("pauseJob", jobId, 1);
    }
    SpoolerResult resumeJob(const QString&, int jobId) override {
        if (refused.contains(jobId)) {
            act("resumeJob");
            return SpoolerResult::Failed;
        }
        return setJobStatus("resumeJob", jobId, 0);
    }
    SpoolerResult deleteJob(const QString& queue, int jobId) override;
    SpoolerResult pauseQueue(const QString& name) override {
        return setQueuePaused("pauseQueue", name, true);
    }
    SpoolerResult resumeQueue(const QString& name) override {
        return setQueuePaused("resumeQueue", name, false);
    }
    // What the window never asks of a server in these tests: counted, and nothing done.
    SpoolerResult setJobPriority(const QString&, int, int) override {
        return act("setJobPriority");
    }
    SpoolerResult purgeQueue(const QString&) override { return act("purgeQueue"); }
    SpoolerResult deleteJobs(const QString& queue, const QList<int>& jobIds,
                             qsizetype& deleted) override;
    SpoolerResult printTestPage(const QString&) override { return act("printTestPage"); }
    QList<SpoolerPrinter> printers() override {
        return act("printers") == SpoolerResult::Success ? printerList : QList<SpoolerPrinter>();
    }
    QString printerWebPage(const QString&) const override { return QString(); }
    std::optional<QString> jobHoldUntilDefault(const QString&) override {
        act("jobHoldUntilDefault");
        return holdDefault;
    }
    SpoolerResult setJobHoldUntilDefault(const QString&, const QString& value) override {
        holdDefault = value;
        return act("setJobHoldUntilDefault");
    }
    SpoolerResult moveJob(const QString& queue, int jobId, const QString& toQueue) override;
    SpoolerResult makeMovedJobsQueue(const QString& model, const QString& name) override;
    std::optional<SpoolerCredentials> credentials() const override { return given; }
    using PrintSpooler::countPages;
    // The next of pageCounts, the last one again once the others are used.
    JobPageCount countPages(const SpoolerJob&) override {
        ++calls["countPages"];
        if (pageCounts.isEmpty())
            return {};
        return pageCounts.size() > 1 ? pageCounts.takeFirst() : pageCounts.first();
    }
    SpoolerResult lastResult() const override {
        return reachable ? SpoolerResult::Success : SpoolerResult::Unreachable;
    }

    void addQueue(const SpoolerQueue& queue) { queues_ << queue; }
    SpoolerJob& addJob(const QString& queue, int jobId, const QString& document,
                       const QString& owner, int statusMask = 0) {
        jobs_ << sampleJob(queue, jobId, document, owner, statusMask);
        return jobs_.last();
    }

    QList<SpoolerPrinter> printerList;               // what the live reports read
    std::optional<SpoolerCredentials> given;         // what the operator gave this server
    QString holdDefault = QStringLiteral("no-hold"); // the queues' job-hold-until-default
    bool reachable = true;          // false: every call fails as for a server that does not answer
    QMap<QString, int> calls;       // how often each call was made, by name
    QSet<int> refused;              // jobs whose release the server refuses
    QList<JobPageCount> pageCounts; // what counting a job's pages comes to; none: no documents
    std::function<void()> stall;    // run as a queue or every job is read, on the caller's thread

private:
    SpoolerResult act(const char* call);
    // Sets the job's status, or the queue's paused bit, when the server answers.
    SpoolerResult setJobStatus(const char* call, int jobId, int statusMask);
    SpoolerResult setQueuePaused(const char* call, const QString& name, bool paused);

    QString server_;
    QList<SpoolerQueue> queues_;
    QList<SpoolerJob> jobs_;
};
