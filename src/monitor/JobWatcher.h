#pragma once

#include "monitor/JobSnapshot.h"
#include "monitor/QuietPolling.h"
#include "monitor/ServerSubscription.h"
#include "platform/PrintSpooler.h"
#include "platform/SpoolerCredentials.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

class CupsConnection;
class CupsSpooler;
class EventOutput;

// Watches the jobs of one print server and reports them as the program wants
// them: "New" for a job that appears after the watch began (the jobs already
// there are the starting point and are not reported), "Modified" when any of a
// job's twelve fields changes, "Deleted" when it leaves the list of unfinished
// jobs.
//
// Each of the server's job events is applied to the watch's own list of jobs
// by itself: a state change from the state the event carries, a new or changed
// job from the server (made exactly as the program's own retrieval makes it;
// the jobs that came together are read together), so the cost of an event does
// not depend on how many jobs wait. The whole job list is read only to
// reconcile: when the watch begins or resumes after a reconnection, when the
// subscription had to be made again, and when the server says events were lost
// (it keeps only its latest ones) - the last once the server is quiet again, at
// most once every relistMs. While nothing happens the watch sends one small
// Get-Notifications per poll over its kept-alive connection, and nothing else,
// and polls less often the longer the server stays quiet (QuietPolling).
//
// Connection texts: "Connected" while the subscription delivers, "Polling" while
// the server refuses subscriptions and the job list is read on a timer,
// "Reconnecting" once a server that was being watched stops answering (when it
// answers again, the list is read and its differences reported before events
// are trusted again), and "WMI Connection Error" when the watch cannot begin:
// the server cannot be reached or refuses to list its jobs. A watch that could
// not begin keeps trying, and reports "Connected" when it can.
class JobWatcher : public QObject {
    Q_OBJECT
public:
    struct Timing {
        // How often the server is asked for events, by how long it has been
        // quiet. The server does not hold a request open until an event comes,
        // so this is the watch's latency.
        QuietPolling notificationPolls;
        // How often the job list is read when the server refuses subscriptions.
        int fallbackPollMs = 1000;
        // The shortest time between two reconciling reads of the job list after
        // events were lost; 0: no limit.
        int relistMs = 10000;
        // How soon the server is asked again after an answer that brought
        // events: more are likely on their way, and the server keeps only so many.
        int busyPollMs = 10;
        // The lease asked for; it is renewed after a third of it has passed, so
        // two renewals may fail before it ends. A short lease lets the server
        // drop the subscription of a monitor that died without cancelling it.
        int leaseSeconds = 120;
        // Waits between attempts to reach a server that does not answer.
        int firstRetryMs = 500;
        int maxRetryMs = 8000;
        // How often a server that refused subscriptions is asked again.
        int resubscribeMs = 60000;
        // Every request of the watch.
        SpoolerTimeouts timeouts;
        // Cancelling the subscription on the way out, when nobody should wait long.
        SpoolerTimeouts farewellTimeouts{1000, 1000};
    };

    JobWatcher(EventOutput& output, CredentialsPrompt prompt, const Timing& timing,
               QObject* parent = nullptr);
    ~JobWatcher() override;

    // Asked just before anything is reported; when it answers true (the program
    // has already stopped or replaced this watch) the report is dropped.
    void setReportGuard(std::function<bool()> watchAboutToChange);

    // Starts watching the server ("host" or "host:port"), ending any earlier watch.
    void watchServer(const QString& server);

    // Ends the watch: the subscription is cancelled (within the farewell
    // timeouts) and nothing more is reported.
    void stopWatching();

private:
    enum class State { Idle, Starting, Subscribed, Polling, Reconnecting };

    void establish();
    void couldNotEstablish();
    void tick();
    void tickSubscribed();
    void tickPolling();
    void subscribeAgain();
    void fallBackToPolling();
    void relist();
    void apply(const JobSnapshot& jobs);
    void applyEvents(const QList<CupsEventRecord>& events);
    bool readJobsThatCame();
    void reportChanges(const QList<JobSnapshot::Change>& changes);
    void pollIn(int intervalMs);
    void connectionLost();
    void retryLater();
    void startPolling(int intervalMs);
    void report(const QString& connectText);
    bool mayReport() const;

    EventOutput& output_;
    CredentialsPrompt prompt_;
    Timing timing_;
    std::function<bool()> watchAboutToChange_;

    State state_ = State::Idle;
    QString server_;
    std::unique_ptr<CupsSpooler> spooler_;       // reads the job list
    std::unique_ptr<CupsConnection> connection_; // the subscription's requests
    ServerSubscription subscription_;
    std::optional<JobSnapshot> jobs_; // none until the first list after WatchServer
    QString connectText_;             // the last connection text reported
    QTimer pollTimer_;
    QTimer retryTimer_;
    int retryMs_ = 0;
    QElapsedTimer sinceRelist_;
    QElapsedTimer sinceEvent_; // the server's quiet, for the poll's interval
    bool relistDue_ = false;   // events were lost; the list is read once relistMs allows
    QElapsedTimer sinceRenewal_;
    QElapsedTimer sinceSubscribeAttempt_;
};
