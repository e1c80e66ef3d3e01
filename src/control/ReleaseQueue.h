#pragma once

#include "platform/PrintSpooler.h"
#include "session/ReleaseQueueName.h"

#include <QString>

class FrmMain;
class GuardedSpooler;

// Under AutoQueue the queue itself never runs: a released job leaves it for its
// release queue, a queue of the server printing to the same device, which refuses
// jobs sent to it and so prints only what was moved into it. A job sent with
// job-hold-until=no-hold, or at a higher priority, waits in the paused queue whatever
// is released, and a program ended halfway through a release leaves nothing running
// that could print it.

// Makes or sets up again the release queue of `queue`; false, with the server's
// reason in the status bar, when the server would not.
bool prepareReleaseQueue(FrmMain& form, GuardedSpooler& spooler, const QString& queue);
// Releases a held job of `queue` and moves it into the release queue, where it prints.
// The caller holds the spooler to itself, so no poll can hold the job again between
// the two requests. Ended after the first, the job waits released in the paused queue.
SpoolerResult releaseThroughReleaseQueue(PrintSpooler& spooler, const QString& queue, int jobId);
// Releases a held job as the queue is set up: through its release queue under
// AutoQueue, else where it stands.
SpoolerResult releaseHeldJob(PrintSpooler& spooler, const QString& queue, int jobId,
                             bool autoQueue);
