#include "control/HeldJobExpiry.h"

#include "control/ActionSteps.h"
#include "control/JobActions.h"
#include "form/FrmMain.h"
#include "form/JobGrid.h"
#include "form/SettingsRecord.h"
#include "log/LogDatabase.h"
#include "platform/Clock.h"
#include "platform/CupsStatus.h"
#include "platform/GuardedSpooler.h"
#include "session/QueuePoll.h"
#include "session/QueueSession.h"

#include <QMetaObject>
#include <QSet>

bool HeldJobExpiry::takeCheck(const QDateTime& now) {
    if (deleting_)
        return false;
    // A clock set back starts the minute anew.
    if (lastCheck_.isValid() && lastCheck_ <= now && lastCheck_.secsTo(now) < 60)
        return false;
    lastCheck_ = now;
    deleting_ = true;
    return true;
}

namespace {

// What the worker deleted is logged on the window's thread, in the grid's order.
void logExpired(FrmMain& f, const QString& queue, const QList<SpoolerJob>& deleted) {
    QueueSession& session = QueueSession::of(f);
    const LogDatabase::WriteTogether together(f.log()); // one transaction for them all
    for (const SpoolerJob& job : deleted) {
        logJobDeleted(f, job);
        f.log().WriteAudit(QStringLiteral("AutoQueue"), QStringLiteral("Expired Job - ") + queue);
        session.markGone(job.Name);
        f.jobGrid().remove(job.Name);
        f.searchGrid().remove(job.Name);
    }
}

} // namespace

void expireHeldJobs(FrmMain& f) {
    const int minutes = f.Settings.ExpireHeldAfter;
    if (minutes <= 0)
        return;
    GuardedSpooler* spooler = actionSpooler(f);
    const QDateTime now = f.services().clock->now();
    if (!spooler || !now.isValid() || !HeldJobExpiry::of(f).takeCheck(now))
        return;
    QList<SpoolerJob> expired;
    for (const SpoolerJob& job : f.jobGrid().jobs())
        if (isHeld(job) && job.TimeSubmitted.isValid() &&
            job.TimeSubmitted.secsTo(now) > qint64(minutes) * 60)
            expired << job;
    if (expired.isEmpty()) {
        HeldJobExpiry::of(f).checkDone();
        return;
    }
    const QString queue = actionQueue(f);
    FrmMain* form = &f;
    QueuePoll::of(f).worker().start([form, spooler, queue, expired] {
        const SpoolerPrompts::Off noDialogsHere;
        // The grid may be a tick behind: each job is looked at again just before it
        // goes, with the spooler to this alone, so that one the operator released
        // meanwhile (a release is one call under the same lock) is left to print.
        const QList<SpoolerJob> deleted = spooler->exclusive([&](PrintSpooler& s) {
            QList<SpoolerJob> gone;
            QSet<int> held;
            for (const SpoolerJob& job : s.queueJobs(queue))
                if (isHeld(job))
                    held.insert(job.JobId);
            for (const SpoolerJob& job : expired)
                if (held.contains(job.JobId) &&
                    s.deleteJob(queue, job.JobId) == SpoolerResult::Success)
                    gone << job;
            return gone;
        });
        QMetaObject::invokeMethod(
            form,
            [form, queue, deleted] {
                HeldJobExpiry::of(*form).checkDone();
                if (!form->unloading)
                    logExpired(*form, queue, deleted);
            },
            Qt::QueuedConnection);
    });
}
