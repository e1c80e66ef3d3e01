#pragma once

#include <QDate>
#include <QString>

struct SpoolerJob;

// Why the server holds a job, or keeps it waiting, in the operator's words: made from
// what the server says of the job, its job-state-reasons and its job-hold-until.

// The words for one keyword of either (they never share a keyword with different
// meanings); empty for a keyword that needs no words or that the table does not know.
QString holdReasonText(const QString& keyword);

// The job is held until released (or the server does not say until when): the hold a
// queue holding every new job gives, which under AutoQueue is AutoQueue's.
bool openEndedHold(const SpoolerJob& job);

// What is known of a job beside what the server says of it.
struct HoldContext {
    bool heldByProgram = false; // this program held it (AutoQueue), whatever the server says
    bool queueStopped = false;  // its queue is paused: a job that is not held waits for it
    QDate today = {}; // the server gives a time of day to hold until in UTC: shown as local time
};

// Why the job waits; empty when it is neither held nor kept waiting for a reason the
// table names.
QString whyHeld(const SpoolerJob& job, const HoldContext& context);
