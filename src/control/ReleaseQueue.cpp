#include "control/ReleaseQueue.h"

#include "control/ActionSteps.h"
#include "platform/GuardedSpooler.h"

bool prepareReleaseQueue(FrmMain& f, GuardedSpooler& spooler, const QString& queue) {
    const QString name = releaseQueueName(queue);
    auto [result, message] = spooler.exclusive([&](PrintSpooler& s) {
        const SpoolerResult made = s.makeMovedJobsQueue(queue, name);
        return std::make_pair(made, s.lastMessage());
    });
    if (result == SpoolerResult::Success)
        return true;
    showRefusal(f, QStringLiteral("Release queue ") + name, result, message);
    return false;
}

SpoolerResult releaseThroughReleaseQueue(PrintSpooler& spooler, const QString& queue, int jobId) {
    const SpoolerResult released = spooler.resumeJob(queue, jobId);
    if (released != SpoolerResult::Success)
        return released;
    return spooler.moveJob(queue, jobId, releaseQueueName(queue));
}

SpoolerResult releaseHeldJob(PrintSpooler& spooler, const QString& queue, int jobId,
                             bool autoQueue) {
    return autoQueue ? releaseThroughReleaseQueue(spooler, queue, jobId)
                     : spooler.resumeJob(queue, jobId);
}
