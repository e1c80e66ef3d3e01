#include "monitor/JobWatcher.h"

#include "monitor/EventOutput.h"
#include "platform/CupsConnection.h"
#include "platform/CupsSpooler.h"
#include "platform/CupsStatus.h"
#include "platform/MonitorProtocol.h"

#include <algorithm>
#include <cups/ipp.h>

JobWatcher::JobWatcher(EventOutput& output, CredentialsPrompt prompt, const Timing& timing,
                       QObject* parent)
    : QObject(parent), output_(output), prompt_(std::move(prompt)), timing_(timing) {
    connect(&pollTimer_, &QTimer::timeout, this, &JobWatcher::tick);
    retryTimer_.setSingleShot(true);
    connect(&retryTimer_, &QTimer::timeout, this, &JobWatcher::establish);
}

JobWatcher::~JobWatcher() {
    stopWatching();
}

void JobWatcher::setReportGuard(std::function<bool()> watchAboutToChange) {
    watchAboutToChange_ = std::move(watchAboutToChange);
}

void JobWatcher::watchServer(const QString& server) {
    stopWatching();
    server_ = server;
    // The spooler keeps its connection to itself; the subscription's requests go
    // over one of their own to the same server, as the same user.
    spooler_ = std::make_unique<CupsSpooler>(server, timing_.timeouts, prompt_);
    // The program counts pages itself; the watch fetches no documents.
    spooler_->setCountsPages(false);
    connection_ = std::make_unique<CupsConnection>(server, timing_.timeouts, QString(), prompt_);
    state_ = State::Starting;
    retryMs_ = timing_.firstRetryMs;
    establish();
}

void JobWatcher::stopWatching() {
    pollTimer_.stop();
    retryTimer_.stop();
    if (subscription_.active() && connection_) {
        // The subscription belongs to the user who made it: cancel it as that user.
        CupsConnection farewell(server_, timing_.farewellTimeouts, connection_->userName());
        subscription_.cancel(farewell);
    }
    subscription_.forget();
    spooler_.reset();
    connection_.reset();
    jobs_.reset();
    connectText_.clear();
    state_ = State::Idle;
}

// Subscribes first and reads the jobs after, so that nothing happening while
// the list is read goes unnoticed: its event is waiting at the next poll.
void JobWatcher::establish() {
    if (state_ == State::Idle)
        return;
    bool subscribed = false;
    if (subscription_.active()) {
        // A subscription outlives a server restart when the server keeps its state.
        const ServerSubscription::Notifications kept = subscription_.fetch(*connection_);
        if (kept.result == SpoolerResult::Unreachable)
            return couldNotEstablish();
        subscribed = kept.result == SpoolerResult::Success;
        if (!subscribed)
            subscription_.forget();
    }
    if (!subscribed) {
        const SpoolerResult result = subscription_.create(*connection_, timing_.leaseSeconds);
        if (result == SpoolerResult::Unreachable)
            return couldNotEstablish();
        subscribed = result == SpoolerResult::Success;
        sinceSubscribeAttempt_.start();
    }
    const QList<SpoolerJob> jobs = spooler_->jobs();
    if (spooler_->lastResult() != SpoolerResult::Success)
        return couldNotEstablish();

    retryMs_ = timing_.firstRetryMs;
    state_ = subscribed ? State::Subscribed : State::Polling;
    sinceRenewal_.start();
    startPolling(subscribed ? timing_.notificationPolls.shortestMs : timing_.fallbackPollMs);
    report(subscribed ? MonitorProtocol::connectedText : MonitorProtocol::pollingText);
    apply(JobSnapshot(jobs));
}

void JobWatcher::couldNotEstablish() {
    if (state_ == State::Starting)
        report(MonitorProtocol::connectionErrorText);
    retryLater();
}

void JobWatcher::retryLater() {
    pollTimer_.stop();
    retryTimer_.start(retryMs_);
    retryMs_ = std::min(retryMs_ * 2, timing_.maxRetryMs);
}

void JobWatcher::connectionLost() {
    state_ = State::Reconnecting;
    report(MonitorProtocol::reconnectingText);
    subscription_.restartNumbering();
    retryMs_ = timing_.firstRetryMs;
    retryLater();
}

void JobWatcher::startPolling(int intervalMs) {
    sinceRelist_.start();
    sinceEvent_.start();
    relistDue_ = false;
    pollTimer_.start(intervalMs);
}

void JobWatcher::pollIn(int intervalMs) {
    if (pollTimer_.isActive() && pollTimer_.interval() != intervalMs)
        pollTimer_.start(intervalMs);
}

void JobWatcher::tick() {
    if (state_ == State::Subscribed)
        tickSubscribed();
    else if (state_ == State::Polling)
        tickPolling();
}

void JobWatcher::tickSubscribed() {
    const int lease = subscription_.leaseSeconds();
    if (lease > 0 && sinceRenewal_.elapsed() >= lease * 1000LL / 3) {
        const SpoolerResult renewed = subscription_.renew(*connection_, timing_.leaseSeconds);
        if (renewed == SpoolerResult::Unreachable)
            return connectionLost();
        if (renewed == SpoolerResult::NotFound) {
            subscription_.forget();
            return subscribeAgain();
        }
        // A refused renewal is tried again a third of a lease later; should the
        // lease run out meanwhile, the next poll finds the subscription gone.
        sinceRenewal_.start();
    }
    const ServerSubscription::Notifications events = subscription_.fetch(*connection_);
    if (events.result == SpoolerResult::Unreachable)
        return connectionLost();
    if (events.result == SpoolerResult::NotFound) {
        subscription_.forget();
        return subscribeAgain();
    }
    if (events.result != SpoolerResult::Success) {
        // The server lets us subscribe but not read the events: make sure the
        // subscription does not linger, and read the job list instead.
        subscription_.cancel(*connection_);
        return fallBackToPolling();
    }
    // The server asks not to be polled more often than notify-get-interval
    // while it has nothing; the watch's own interval is far shorter and kept,
    // as its latency, but never a longer one than the server's.
    const bool quiet = events.jobEvents.isEmpty() && !events.missed;
    if (!quiet)
        sinceEvent_.start();
    int quietMs = timing_.notificationPolls.waitMs(sinceEvent_.elapsed());
    if (events.getIntervalSeconds > 0)
        quietMs = std::min(quietMs, events.getIntervalSeconds * 1000);
    pollIn(quiet ? quietMs : timing_.busyPollMs);
    if (events.missed) {
        relistDue_ = true;
        // The jobs whose coming was among the lost events are found at once,
        // by their numbers; what else was lost waits for the reconciliation.
        if (!readJobsThatCame())
            return connectionLost();
    }
    // Reconciled once the server is quiet again: a list read in the middle of a
    // burst would be out of date at once, and while it is read the server's
    // short memory of events would overflow again.
    if (relistDue_ && quiet &&
        (timing_.relistMs <= 0 || sinceRelist_.elapsed() >= timing_.relistMs))
        return relist(); // the list says everything the events would
    applyEvents(events.jobEvents);
}

void JobWatcher::tickPolling() {
    if (sinceSubscribeAttempt_.elapsed() >= timing_.resubscribeMs) {
        sinceSubscribeAttempt_.start();
        const SpoolerResult result = subscription_.create(*connection_, timing_.leaseSeconds);
        if (result == SpoolerResult::Unreachable)
            return connectionLost();
        if (result == SpoolerResult::Success) {
            state_ = State::Subscribed;
            sinceRenewal_.start();
            startPolling(timing_.notificationPolls.shortestMs);
            report(MonitorProtocol::connectedText);
        }
    }
    relist();
}

// The subscription is gone (its lease ran out, or the server lost it): events
// may have been missed, so the list is read again whatever happens next.
void JobWatcher::subscribeAgain() {
    const SpoolerResult result = subscription_.create(*connection_, timing_.leaseSeconds);
    sinceSubscribeAttempt_.start();
    if (result == SpoolerResult::Unreachable)
        return connectionLost();
    if (result != SpoolerResult::Success)
        return fallBackToPolling();
    sinceRenewal_.start();
    relist();
}

void JobWatcher::fallBackToPolling() {
    state_ = State::Polling;
    sinceSubscribeAttempt_.start();
    startPolling(timing_.fallbackPollMs);
    report(MonitorProtocol::pollingText);
    relist();
}

void JobWatcher::relist() {
    const QList<SpoolerJob> jobs = spooler_->jobs();
    if (spooler_->lastResult() != SpoolerResult::Success)
        return connectionLost();
    sinceRelist_.start();
    relistDue_ = false;
    apply(JobSnapshot(jobs));
}

// Several events of one job in one answer are taken together: the job is read
// at most once, and what it is now is what counts.
void JobWatcher::applyEvents(const QList<CupsEventRecord>& events) {
    if (events.isEmpty() || !jobs_)
        return;
    struct Latest {
        bool read = false;    // its fields are read from the server
        bool created = false; // it came in this answer
        int state = 0;
        std::optional<qint64> pagesPrinted;
    };
    QList<int> order;
    QHash<int, Latest> latest;
    for (const CupsEventRecord& event : events) {
        auto found = latest.find(event.jobId);
        if (found == latest.end()) {
            order << event.jobId;
            found = latest.insert(event.jobId, Latest{});
        }
        Latest& job = found.value();
        // A new job's other fields, and a changed priority or name, are in no event.
        job.created = job.created || event.event == QLatin1String("job-created");
        job.read = job.read || job.created || event.event == QLatin1String("job-config-changed") ||
                   !jobs_->find(event.jobId);
        job.state = event.jobState;
        if (event.impressionsCompleted)
            job.pagesPrinted = event.impressionsCompleted;
    }
    // The jobs that came are read together, in one Get-Jobs from the first of
    // them: a burst costs a request per answer, not per job.
    QHash<int, SpoolerJob> fresh;
    int first = 0;
    int last = 0;
    for (const int id : std::as_const(order))
        if (latest[id].created && latest[id].state < IPP_JSTATE_CANCELED) {
            first = first ? std::min(first, id) : id;
            last = std::max(last, id);
        }
    if (first > 0 && last > first) {
        for (const SpoolerJob& job : spooler_->unfinishedJobsFrom(first, last - first + 1))
            if (latest.contains(job.JobId))
                fresh.insert(job.JobId, job);
        if (spooler_->lastResult() == SpoolerResult::Unreachable)
            return connectionLost();
    }
    QList<JobSnapshot::Change> changes;
    for (const int id : std::as_const(order)) {
        const Latest& news = latest[id];
        if (news.state >= IPP_JSTATE_CANCELED) {
            changes << jobs_->remove(id);
        } else if (const auto read = fresh.constFind(id); read != fresh.constEnd()) {
            changes << jobs_->put(read.value());
        } else if (news.read) {
            const std::optional<SpoolerJob> now = spooler_->unfinishedJob(id);
            if (spooler_->lastResult() == SpoolerResult::Unreachable) {
                reportChanges(changes);
                // What was not applied yet is found by the list after the reconnection.
                return connectionLost();
            }
            if (spooler_->lastResult() != SpoolerResult::Success)
                relistDue_ = true; // refused: the next reconciliation tells
            else
                changes << (now ? jobs_->put(*now) : jobs_->remove(id));
        } else if (const SpoolerJob* known = jobs_->find(id)) {
            SpoolerJob job = *known;
            if (news.state > 0)
                job.StatusMask = jobStatusMask(news.state);
            if (news.pagesPrinted)
                job.PagesPrinted = *news.pagesPrinted;
            changes << jobs_->put(job);
        }
    }
    reportChanges(changes);
}

// Jobs are numbered in the order they came: those above the highest number
// the watch knows are read a page at a time.
bool JobWatcher::readJobsThatCame() {
    constexpr int kPage = 500;
    QList<JobSnapshot::Change> changes;
    for (;;) {
        const int from = jobs_->highestId() + 1;
        const QList<SpoolerJob> page = spooler_->unfinishedJobsFrom(from, kPage);
        if (spooler_->lastResult() == SpoolerResult::Unreachable) {
            reportChanges(changes);
            return false;
        }
        bool more = false;
        for (const SpoolerJob& job : page)
            if (job.JobId >= from) {
                changes << jobs_->put(job);
                more = true;
            }
        // A server that ignores the first number answers with old jobs alone.
        if (!more || page.size() < kPage)
            break;
    }
    reportChanges(changes);
    return true;
}

void JobWatcher::reportChanges(const QList<JobSnapshot::Change>& changes) {
    // The program has already stopped or replaced this watch: its news is nobody's.
    if (changes.isEmpty() || !mayReport())
        return;
    for (const JobSnapshot::Change& change : changes)
        output_.jobEvent(change.action, change.job);
}

void JobWatcher::apply(const JobSnapshot& jobs) {
    if (!jobs_) {
        jobs_ = jobs; // the jobs there when the watch began are not news
        return;
    }
    const QList<JobSnapshot::Change> changes = jobs_->changesTo(jobs);
    // Changes not reported now are reported by the next read of the list.
    if (!changes.isEmpty() && !mayReport())
        return;
    for (const JobSnapshot::Change& change : changes)
        output_.jobEvent(change.action, change.job);
    jobs_ = jobs;
}

void JobWatcher::report(const QString& connectText) {
    if (connectText == connectText_ || !mayReport())
        return;
    connectText_ = connectText;
    output_.connectEvent(connectText);
}

bool JobWatcher::mayReport() const {
    return !watchAboutToChange_ || !watchAboutToChange_();
}
