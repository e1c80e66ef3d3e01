#pragma once

#include "monitor/JobSnapshot.h"
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
// The server's events only say when to look: on each batch of job events the
// watch reads the whole job list again, in one Get-Jobs, and reports the
// differences from the last list. The fields are then made exactly as the
// program's own retrieval makes them, and an event the server never sent (a
// change of pages printed, a restart between two polls) is still caught, by a
// fresh read at least every relistMs.
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
        // How often the server is asked for events. The server does not hold a
        // request open until an event comes, so this is the watch's latency.
        int notificationPollMs = 150;
        // How often the job list is read when the server refuses subscriptions.
        int fallbackPollMs = 1000;
        // The longest time without reading the job list while no events come;
        // 0: on events alone.
        int relistMs = 10000;
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
    QElapsedTimer sinceRenewal_;
    QElapsedTimer sinceSubscribeAttempt_;
};
