#pragma once

#include "platform/PrintSpooler.h"

#include <QMap>
#include <QStringList>
#include <functional>

// A print server held in memory for the pure rules: queues and jobs with Windows
// status numbers set freely, calls counted, and any call made to fail.
class FakeSpooler : public PrintSpooler {
public:
    explicit FakeSpooler(QString server) : server_(std::move(server)) {}

    QString serverName() const override { return server_; }
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
    SpoolerResult printTestPage(const QString& queue) override;
    QList<SpoolerPrinter> printers() override;
    QString printerWebPage(const QString& queue) const override;
    std::optional<SpoolerCredentials> credentials() const override { return given; }
    SpoolerResult lastResult() const override {
        return reachable ? SpoolerResult::Success : SpoolerResult::Unreachable;
    }

    // Set-up.
    void addQueue(const SpoolerQueue& queue);
    // Adds a job to a queue; its Name is made "queue, id".
    SpoolerJob& addJob(const QString& queue, int jobId, const QString& document,
                       const QString& owner, int statusMask = 0);

    std::optional<SpoolerCredentials> given; // what the operator gave this server
    bool reachable = true; // false: every call fails as for a server that does not answer
    SpoolerResult refuse = SpoolerResult::Success; // a non-success makes every action fail
    QMap<QString, int> calls;                      // how often each call was made, by name
    std::function<void()> stall;                   // run as a queue is read, on the caller's thread

private:
    SpoolerResult act(const char* call);

    QString server_;
    QList<SpoolerQueue> queues_;
    QList<SpoolerJob> jobs_;
};
