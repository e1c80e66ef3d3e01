#include "control/JobActions.h"

#include "control/ActionSteps.h"
#include "control/ReleaseQuestion.h"
#include "control/ReleaseQueue.h"
#include "control/SelectedJobActions.h"
#include "form/FrmMain.h"
#include "form/JobGrid.h"
#include "form/SettingsRecord.h"
#include "form/WaitCursor.h"
#include "log/JobLogRow.h"
#include "log/LogDatabase.h"
#include "platform/GuardedSpooler.h"
#include "platform/JobText.h"
#include "platform/Prompter.h"
#include "session/QueueSelection.h"
#include "session/QueueSession.h"
#include "shell/PageCounters.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QTimer>
#include <QTreeWidget>

namespace {

// The job as the server has it now, or nothing when it has left the queue (the
// status bar and a refreshed view say so) or the server would not say.
// A caller acting on many jobs lists the queue once and hands the list in.
std::optional<SpoolerJob> jobStillQueued(FrmMain& f, GuardedSpooler& spooler, int jobId,
                                         const QList<SpoolerJob>* listed = nullptr) {
    std::optional<QList<SpoolerJob>> jobs;
    if (listed)
        jobs = *listed;
    else
        jobs = listQueueJobs(f, spooler, actionQueue(f));
    if (!jobs)
        return std::nullopt;
    for (const SpoolerJob& job : *jobs)
        if (job.JobId == jobId)
            return job;
    f.setPanelText(1, jobGoneText(jobId));
    // The server's word goes: a row the view still shows for it goes too.
    const QString name = jobNameOf(actionQueue(f), jobId);
    f.jobGrid().remove(name);
    f.searchGrid().remove(name);
    CurrentPrintQueue_Click(f);
    return std::nullopt;
}

// Sends one job operation; false, with the server's reason in the status bar, when
// the server refused it.
template <typename Operation>
bool sendJobOperation(FrmMain& f, GuardedSpooler& spooler, int jobId, Operation operation) {
    const WaitCursor wait;
    const QString queue = actionQueue(f);
    auto [result, message] = spooler.exclusive([&](PrintSpooler& s) {
        const SpoolerResult sent = operation(s, queue, jobId);
        return std::make_pair(sent, s.lastMessage());
    });
    if (result == SpoolerResult::Success)
        return true;
    showRefusal(f, QStringLiteral("Job %1").arg(jobId), result, message);
    return false;
}

// The jobs selected in JobList when there are several (SelectedJobActions.h); nothing
// when one or none is, for the command to act as on one job.
QList<SpoolerJob> severalSelected(FrmMain& f) {
    QList<SpoolerJob> selected = f.jobGrid().selectedJobs();
    return selected.size() > 1 ? selected : QList<SpoolerJob>();
}

} // namespace

const SpoolerJob* selectedJob(FrmMain& f) {
    QTreeWidgetItem* row = f.JobList->currentItem();
    if (!row || !row->isSelected()) {
        const QList<QTreeWidgetItem*> selected = f.JobList->selectedItems();
        row = selected.isEmpty() ? nullptr : selected.first();
    }
    return f.jobGrid().jobOf(row);
}

void MenuPauseJob(FrmMain& f) {
    if (const QList<SpoolerJob> several = severalSelected(f); !several.isEmpty())
        return pauseSelectedJobs(f, several);
    showActionStatus(f, QStringLiteral("Pause Job "));
    f.log().WriteAudit(QStringLiteral("Job"), QStringLiteral("Pause Job"));
    GuardedSpooler* spooler = actionSpooler(f);
    const SpoolerJob* selected = selectedJob(f);
    if (!spooler || !selected)
        return;
    const int jobId = selected->JobId;
    if (!jobStillQueued(f, *spooler, jobId))
        return;
    if (!sendJobOperation(f, *spooler, jobId, [](PrintSpooler& s, const QString& q, int id) {
            return s.pauseJob(q, id);
        }))
        return;
    QCoreApplication::processEvents();
    CurrentPrintQueue_Click(f);
}

bool resumeJob(FrmMain& f, const SpoolerJob& shown, const QList<SpoolerJob>* queued) {
    showActionStatus(f, QStringLiteral("Resume Job "));
    f.log().WriteAudit(QStringLiteral("Job"), QStringLiteral("Resume Job"));
    return releaseJob(f, shown, queued);
}

bool releaseJob(FrmMain& f, const SpoolerJob& shown, const QList<SpoolerJob>* queued) {
    GuardedSpooler* spooler = actionSpooler(f);
    if (!spooler)
        return false;
    const SpoolerJob job = shown; // the grid may change under the calls below
    if (!jobStillQueued(f, *spooler, job.JobId, queued))
        return false;
    const bool autoQueue = f.chkAutoQueue->isChecked();
    if (!sendJobOperation(f, *spooler, job.JobId,
                          [autoQueue](PrintSpooler& s, const QString& q, int id) {
                              return releaseHeldJob(s, q, id, autoQueue);
                          }))
        return false;
    const LogRow row = releasedJobRow(f, job);
    f.log().setLogFields(row.transactionId, row.fields);
    countPrintedPages(f, shownPagesOf(f, job));
    QueueSession::of(f).setLastReleasedJob(f.jobGrid().texts(job)[JobColumn::ID]);
    QCoreApplication::processEvents();
    // Under AutoQueue the job has left the queue for its release queue.
    if (autoQueue)
        CurrentPrintQueue_Click(f);
    return true;
}

void MenuResumeJob(FrmMain& f) {
    if (const QList<SpoolerJob> several = severalSelected(f); !several.isEmpty()) {
        if (releaseAnyway(f))
            resumeSelectedJobs(f, several);
    } else {
        resumeSelectedJob(f);
    }
}

void resumeSelectedJob(FrmMain& f) {
    if (const SpoolerJob* selected = selectedJob(f)) {
        const SpoolerJob job = *selected; // the grid may change under the question
        if (releaseAnyway(f))
            resumeJob(f, job);
    } else {
        showActionStatus(f, QStringLiteral("Resume Job "));
        f.log().WriteAudit(QStringLiteral("Job"), QStringLiteral("Resume Job"));
    }
}

void logJobDeleted(FrmMain& f, const SpoolerJob& job) {
    const LogRow row = deletedJobRow(f, job);
    f.log().setLogFields(row.transactionId, row.fields);
    countDeletedPages(f, shownPagesOf(f, job));
}

void MenuRemove(FrmMain& f) {
    if (const QList<SpoolerJob> several = severalSelected(f); !several.isEmpty())
        removeSelectedJobs(f, several);
    else
        removeSelectedJob(f);
}

void removeSelectedJob(FrmMain& f) {
    // The poll must not redraw the grid under the question.
    f.Timer2->stop();
    if (const SpoolerJob* selected = selectedJob(f)) {
        const SpoolerJob job = *selected;
        const QStringList text = f.jobGrid().texts(job);
        const Prompter::Answer answer = f.services().prompter->message(
            QStringLiteral("Warning"),
            QStringLiteral("Are you sure you want to delete \r\n") + text[JobColumn::Description] +
                QStringLiteral("\r\nby ") + text[JobColumn::Computer] + QLatin1Char(' ') +
                text[JobColumn::Size] + QLatin1Char('?'),
            Prompter::Icon::Exclamation, Prompter::Buttons::YesNo);
        GuardedSpooler* spooler = actionSpooler(f);
        if (answer == Prompter::Answer::Yes && spooler) {
            showActionStatus(f, QStringLiteral("Remove Job "));
            f.log().WriteAudit(QStringLiteral("Job"), QStringLiteral("Remove Job"));
            if (jobStillQueued(f, *spooler, job.JobId) &&
                sendJobOperation(
                    f, *spooler, job.JobId,
                    [](PrintSpooler& s, const QString& q, int id) { return s.deleteJob(q, id); })) {
                logJobDeleted(f, job);
                QCoreApplication::processEvents();
            }
        }
    }
    CurrentPrintQueue_Click(f);
    QCoreApplication::processEvents();
    f.Timer2->start();
}

void MenuPriority(FrmMain& f) {
    if (const QList<SpoolerJob> several = severalSelected(f); !several.isEmpty())
        return changeSelectedJobsPriority(f, several);
    const std::optional<QString> answer = f.services().prompter->input(
        QStringLiteral("Spoolwright"),
        QStringLiteral("Please enter a new Priority for this Print Job:"));
    const QString priorityText = answer.value_or(QString()).trimmed();
    if (priorityText.isEmpty())
        return;
    showActionStatus(f, QStringLiteral("Change Priority "));
    f.log().WriteAudit(QStringLiteral("Job"), QStringLiteral("Change Priority"));
    GuardedSpooler* spooler = actionSpooler(f);
    const SpoolerJob* selected = selectedJob(f);
    bool whole = false;
    const int priority = priorityText.toInt(&whole);
    // A priority that is no whole number leaves the job as it was.
    if (!spooler || !selected || !whole)
        return;
    SpoolerJob job = *selected;
    if (!jobStillQueued(f, *spooler, job.JobId))
        return;
    if (!sendJobOperation(f, *spooler, job.JobId,
                          [priority](PrintSpooler& s, const QString& q, int id) {
                              return s.setJobPriority(q, id, priority);
                          }))
        return;
    // The server announces no event for a new priority: the grids show it now.
    job.Priority = priority;
    f.jobGrid().rewrite(job);
    if (f.searchGrid().job(job.Name))
        f.searchGrid().rewrite(job);
    QCoreApplication::processEvents();
}

void mnuLogComment(FrmMain& f) {
    if (const QList<SpoolerJob> several = severalSelected(f); !several.isEmpty())
        return commentSelectedJobs(f, several);
    const QString comment = askLogComment(f);
    if (comment.isEmpty())
        return;
    GuardedSpooler* spooler = actionSpooler(f);
    const SpoolerJob* selected = selectedJob(f);
    if (!spooler || !selected)
        return;
    const SpoolerJob job = *selected;
    // A comment belongs to a job still in the spooler.
    if (!jobStillQueued(f, *spooler, job.JobId))
        return;
    f.log().setLogFields(TransactionID(job),
                         QList<LogField>{logField(LogColumn::Comments, comment)} +
                             operatorFields(f));
    QCoreApplication::processEvents();
}

void mnuJobProperties(FrmMain&) {}
