#include "control/ReleaseSteps.h"

#include "control/ActionSteps.h"
#include "control/Favourites.h"
#include "control/HeldJobExpiry.h"
#include "control/JobActions.h"
#include "control/QueueActions.h"
#include "form/FrmMain.h"
#include "form/JobGrid.h"
#include "form/SettingsRecord.h"
#include "log/LogDatabase.h"
#include "platform/Clock.h"
#include "platform/CupsStatus.h"
#include "platform/HoldReasons.h"
#include "platform/JobText.h"
#include "platform/Prompter.h"
#include "platform/TimeOfDay.h"
#include "session/QueueSession.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>
#include <QTreeWidget>

namespace {

void timedReleaseFailed(FrmMain& f, const QString& message) {
    f.chkTimed->setChecked(false);
    f.chkAA->setChecked(false);
    f.services().prompter->message(QStringLiteral("Spoolwright"), message,
                                   Prompter::Icon::Exclamation);
}

} // namespace

void timedReleaseUnreadable(FrmMain& f) {
    timedReleaseFailed(
        f, QStringLiteral("ERROR: Unable to Perform Timed Release - Print/Purge Error"));
}

QString heldJobToolTip(FrmMain& f, const SpoolerJob& job) {
    // Under AutoQueue the server holds every job that arrives and asks for no hold of
    // its own, for this program.
    const QueueSession& session = QueueSession::of(f);
    const bool byQueueHold = f.chkAutoQueue->isChecked() &&
                             printerOfJobName(job.Name) == session.holdDefaultQueue() &&
                             openEndedHold(job);
    HoldContext context;
    context.heldByProgram = byQueueHold || session.heldByProgram(QString::number(job.JobId));
    context.queueStopped =
        session.currentQueueStopped() && printerOfJobName(job.Name) == session.CurrentQueue();
    context.today = f.services().clock->now().date();
    return whyHeld(job, context);
}

bool isUserException(const QString& user, const QString& exceptions) {
    if (user.trimmed().isEmpty())
        return false;
    static const QRegularExpression separators(QStringLiteral("[,;\\s]+"));
    const QStringList names = exceptions.split(separators, Qt::SkipEmptyParts);
    return names.contains(user.trimmed(), Qt::CaseInsensitive);
}

void chkTimedRelease(FrmMain& f) {
    const QDateTime clock = f.services().clock->now();
    if (!clock.isValid()) {
        timedReleaseFailed(f,
                           QStringLiteral("ERROR: Unable to Perform Timed Release - Check Time"));
        return;
    }
    const QString now = TimeOfDay::hourMinute(clock.time());
    if (f.chkTimed->isEnabled() && f.chkTimed->isChecked()) {
        const std::optional<QTime> target = TimeOfDay::read(f.txtTimed->text());
        if (!target) {
            timedReleaseUnreadable(f);
            return;
        }
        // Once in its minute, however many ticks the minute has.
        const QString minute = clock.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        if (TimeOfDay::hourMinute(*target) == now &&
            QueueSession::of(f).firstTimedReleaseIn(minute)) {
            if (f.optTimed[0]->isChecked()) {
                resumeAllJobs(f);
                showActionStatus(f, QStringLiteral("Resume All Jobs "));
                f.log().WriteAudit(QStringLiteral("AutoRelease"),
                                   QStringLiteral("Resume All Jobs - ") + actionQueue(f));
            } else if (f.optTimed[1]->isChecked()) {
                PurgeAllJobs(f, true);
                showActionStatus(f, QStringLiteral("Purge All Jobs "));
                f.log().WriteAudit(QStringLiteral("AutoRelease"),
                                   QStringLiteral("Purge All Jobs - ") + actionQueue(f));
            }
        }
    }
    autoActivateFavourite(f);
}

void ResumeExceptions(FrmMain& f) {
    if (f.jobGrid().count() == 0 || f.Settings.Exceptions.isEmpty())
        return;
    const int watching = pollInterval(f.Settings.PollAQactive, kPollAQactiveDefaultMs);
    for (const SpoolerJob& job : f.jobGrid().jobs()) {
        if (f.Timer2->interval() == watching)
            return; // a released job still prints: the next one waits for it
        const QStringList text = f.jobGrid().texts(job);
        if (!isUserException(text[JobColumn::User], f.Settings.Exceptions))
            continue;
        const QString status = text[JobColumn::Status];
        // A job released already ("OK") waits for the printer, and the next job of
        // the user goes meanwhile; one printing is left to print first.
        if (status.contains(QLatin1String("OK"), Qt::CaseInsensitive))
            continue;
        if (!status.contains(QLatin1String("Paused"), Qt::CaseInsensitive))
            return;
        if (QTreeWidgetItem* row = f.jobGrid().rowOf(job.Name))
            f.JobList->setCurrentItem(row);
        // A job the server refuses is skipped, and leaves no audit row.
        if (!releaseJob(f, job))
            continue;
        showActionStatus(f, QStringLiteral("Resume Job "));
        f.log().WriteAudit(QStringLiteral("Job"), QStringLiteral("Resume Job"));
        return;
    }
}

void PollReleaseSteps(FrmMain& f) {
    expireHeldJobs(f);
    chkTimedRelease(f);
    if (QueueSession::of(f).ResumeAllInProgress())
        resumeAllJobs(f);
    else
        ResumeExceptions(f);
}
