#include "platform/GuardedSpooler.h"

namespace {
thread_local bool promptsOff = false;
} // namespace

bool SpoolerPrompts::offOnThisThread() {
    return promptsOff;
}

SpoolerPrompts::Off::Off() : before_(promptsOff) {
    promptsOff = true;
}

SpoolerPrompts::Off::~Off() {
    promptsOff = before_;
}

#define GUARDED(call)                                                                              \
    std::lock_guard<std::recursive_mutex> lock(mutex_);                                            \
    return inner_->call

QString GuardedSpooler::serverName() const {
    GUARDED(serverName());
}
QStringList GuardedSpooler::queueNames() {
    GUARDED(queueNames());
}
std::optional<SpoolerQueue> GuardedSpooler::queue(const QString& name) {
    GUARDED(queue(name));
}
QList<SpoolerJob> GuardedSpooler::jobs() {
    GUARDED(jobs());
}
QList<SpoolerJob> GuardedSpooler::queueJobs(const QString& queue) {
    GUARDED(queueJobs(queue));
}
SpoolerResult GuardedSpooler::pauseJob(const QString& queue, int jobId) {
    GUARDED(pauseJob(queue, jobId));
}
SpoolerResult GuardedSpooler::resumeJob(const QString& queue, int jobId) {
    GUARDED(resumeJob(queue, jobId));
}
SpoolerResult GuardedSpooler::deleteJob(const QString& queue, int jobId) {
    GUARDED(deleteJob(queue, jobId));
}
SpoolerResult GuardedSpooler::setJobPriority(const QString& queue, int jobId, int priority) {
    GUARDED(setJobPriority(queue, jobId, priority));
}
SpoolerResult GuardedSpooler::pauseQueue(const QString& queue) {
    GUARDED(pauseQueue(queue));
}
SpoolerResult GuardedSpooler::resumeQueue(const QString& queue) {
    GUARDED(resumeQueue(queue));
}
SpoolerResult GuardedSpooler::purgeQueue(const QString& queue) {
    GUARDED(purgeQueue(queue));
}
SpoolerResult GuardedSpooler::deleteJobs(const QString& queue, const QList<int>& jobIds,
                                         qsizetype& deleted) {
    GUARDED(deleteJobs(queue, jobIds, deleted));
}
SpoolerResult GuardedSpooler::printTestPage(const QString& queue) {
    GUARDED(printTestPage(queue));
}
QList<SpoolerPrinter> GuardedSpooler::printers() {
    GUARDED(printers());
}
QString GuardedSpooler::printerWebPage(const QString& queue) const {
    GUARDED(printerWebPage(queue));
}
JobPageCount GuardedSpooler::countPages(const SpoolerJob& job) {
    GUARDED(countPages(job));
}
QList<JobPageCount> GuardedSpooler::countPages(const QList<SpoolerJob>& jobs) {
    GUARDED(countPages(jobs));
}
QList<SpoolerAttribute> GuardedSpooler::printerAttributes(const QString& queue) {
    GUARDED(printerAttributes(queue));
}
std::optional<QString> GuardedSpooler::jobHoldUntilDefault(const QString& queue) {
    GUARDED(jobHoldUntilDefault(queue));
}
SpoolerResult GuardedSpooler::setJobHoldUntilDefault(const QString& queue, const QString& value) {
    GUARDED(setJobHoldUntilDefault(queue, value));
}
SpoolerResult GuardedSpooler::moveJob(const QString& queue, int jobId, const QString& toQueue) {
    GUARDED(moveJob(queue, jobId, toQueue));
}
SpoolerResult GuardedSpooler::makeMovedJobsQueue(const QString& model, const QString& name) {
    GUARDED(makeMovedJobsQueue(model, name));
}
QString GuardedSpooler::lastMessage() const {
    GUARDED(lastMessage());
}
SpoolerResult GuardedSpooler::lastResult() const {
    GUARDED(lastResult());
}
std::optional<SpoolerCredentials> GuardedSpooler::credentials() const {
    GUARDED(credentials());
}
