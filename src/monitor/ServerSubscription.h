#pragma once

#include "platform/CupsRecords.h"
#include "platform/PrintSpooler.h"

#include <QByteArray>

class CupsConnection;

// One server-wide subscription to the server's job events, read by pulling
// (ippget). Server-wide because a subscription on a printer hears nothing of a
// pending or held job being held, released or cancelled: such a job belongs to
// no printer until it starts printing. Each event names its job and the state
// it was in; the server keeps only its latest events, so a reader that fell
// behind is told that some were lost.
class ServerSubscription {
public:
    // What one Get-Notifications brought.
    struct Notifications {
        SpoolerResult result = SpoolerResult::Unreachable;
        QList<CupsEventRecord> jobEvents; // the job events since the last call, in order
        // Events were lost between the last call and this one (the server's
        // buffer overflowed, or its numbering started again): the job events
        // above are not the whole story.
        bool missed = false;
        int getIntervalSeconds = 0; // notify-get-interval of the answer; 0 when absent
    };

    bool active() const { return id_ > 0; }
    int id() const { return id_; }

    // Create-Printer-Subscriptions on the server's root for the job events. On
    // success the subscription is active and leaseSeconds() says how long the
    // server keeps it without a renewal (0: for ever).
    SpoolerResult create(CupsConnection& connection, int leaseSeconds);

    // Get-Notifications of the events after the last one seen. NotFound means the
    // server no longer knows the subscription (lease ended, state lost).
    Notifications fetch(CupsConnection& connection);

    // Renew-Subscription for another leaseSeconds.
    SpoolerResult renew(CupsConnection& connection, int leaseSeconds);

    // Cancel-Subscription; the subscription is forgotten whatever the answer.
    SpoolerResult cancel(CupsConnection& connection);

    // Forgets the subscription without telling the server (it is gone there).
    void forget();

    // After a reconnection the server's event buffer is new, and its numbering
    // may have started again: the next fetch takes every event it holds.
    void restartNumbering() { nextSequence_ = 1; }

    int leaseSeconds() const { return leaseSeconds_; }

private:
    int id_ = 0;
    int nextSequence_ = 1;
    int leaseSeconds_ = 0;
    QByteArray serverUri_; // made once: every poll sends the same request
};
