#include "control/SelectedJobActions.h"

#include "control/ActionSteps.h"
#include "control/ReleaseQueue.h"
#include "form/FrmMain.h"
#include "form/JobGrid.h"
#include "form/WaitCursor.h"
#include "log/JobLogRow.h"
#include "log/LogDatabase.h"
#include "platform/GuardedSpooler.h"
#include "platform/JobText.h"
#include "platform/Prompter.h"
#include "session/OffThread.h"
#include "session/QueueSelection.h"
#include "session/QueueSession.h"
#include "shell/AwaitedAnswers.h"
#include "shell/PageCounters.h"

#include <QCheckBox>
#include <QSet>
#include <QTimer>
#include <functional>

namespace {

constexpr const char* kSelectedJobsPass = "Selected Jobs";
// The summary names this many jobs that were not done, and counts the rest.
constexpr int kMostNamed = 5;

using JobOperation = std::function<SpoolerResult(PrintSpooler&, const QString& queue, int jobId)>;

// How one job of a pass came out: done, or why not, in the status bar's words.
struct JobOutcome {
    bool done = false;
    bool gone = false; // it had left the queue
    QString whyNot;
};

// One command on the selected jobs, in the order of the grid's rows.
struct Pass {
    QString words; // the command's status words, "Resume Job"
    QString queue;
    QList<SpoolerJob> jobs;
    QList<JobOutcome> outcomes; // one a job
};

using Finish = std::function<void(FrmMain&, const Pass&)>;

// A release is two requests under AutoQueue, which nothing may come between: the
// spooler is held for one job's requests, and free between jobs for the poll and
// the window.
JobOutcome send(GuardedSpooler& spooler, const QString& queue, int jobId,
                const JobOperation& operation) {
    auto [result, message] = spooler.exclusive([&](PrintSpooler& s) {
        const SpoolerResult sent = operation(s, queue, jobId);
        return std::make_pair(sent, s.lastMessage());
    });
    if (result == SpoolerResult::Success)
        return {true, false, QString()};
    return {false, false, refusalText(QStringLiteral("Job %1").arg(jobId), result, message)};
}

// "Resume Job: 2 of 3 jobs done; Job 17 is no longer in the queue"; nothing when
// every job was done.
QString summaryOf(const Pass& pass) {
    QStringList notDone;
    for (const JobOutcome& outcome : pass.outcomes)
        if (!outcome.done)
            notDone << outcome.whyNot;
    if (notDone.isEmpty())
        return QString();
    QString line = QStringLiteral("%1: %2 of %3 jobs done")
                       .arg(pass.words)
                       .arg(pass.jobs.size() - notDone.size())
                       .arg(pass.jobs.size());
    for (const QString& why : notDone.mid(0, kMostNamed))
        line += QStringLiteral("; ") + why;
    if (notDone.size() > kMostNamed)
        line += QStringLiteral("; and %1 more").arg(notDone.size() - kMostNamed);
    return line;
}

// The log rows of the jobs done.
QList<LogRow> rowsDone(const Pass& pass, const QList<LogRow>& rows) {
    QList<LogRow> done;
    for (qsizetype i = 0; i < pass.jobs.size(); ++i)
        if (pass.outcomes[i].done)
            done << rows[i];
    return done;
}

// What every pass ends with: the rows of jobs that have left the queue go from the
// grids (the server's word goes) and the view is refreshed when they did or when
// `refresh` asks; then the status bar gets the summary, if any.
void endPass(FrmMain& f, const Pass& pass, bool refresh) {
    QStringList gone;
    for (qsizetype i = 0; i < pass.jobs.size(); ++i)
        if (pass.outcomes[i].gone)
            gone << jobNameOf(pass.queue, pass.jobs[i].JobId);
    f.jobGrid().remove(gone);
    f.searchGrid().remove(gone);
    if (refresh || !gone.isEmpty())
        CurrentPrintQueue_Click(f);
    const QString summary = summaryOf(pass);
    if (!summary.isEmpty())
        f.setPanelText(1, summary);
}

// Lists the queue, sends `operation` for every job of the pass still in it and hands
// the pass to `finish` on the window's thread; without an operation every job still
// in the queue counts as done. False, with nothing sent, when the queue cannot be
// listed (the status bar says why).
bool runPass(FrmMain& f, Pass pass, const JobOperation& operation, const Finish& finish) {
    GuardedSpooler* spooler = actionSpooler(f);
    if (!spooler)
        return false;
    const std::optional<QList<SpoolerJob>> listed = listQueueJobs(f, *spooler, pass.queue);
    if (!listed)
        return false;
    QSet<int> queued;
    for (const SpoolerJob& job : *listed)
        queued.insert(job.JobId);
    QList<qsizetype> toSend;
    for (const SpoolerJob& job : pass.jobs) {
        if (queued.contains(job.JobId))
            toSend << pass.outcomes.size();
        pass.outcomes.append({false, true, jobGoneText(job.JobId)});
    }
    if (!operation) {
        for (qsizetype i : toSend)
            pass.outcomes[i] = {true, false, QString()};
        toSend.clear();
    }
    if (!toSend.isEmpty()) {
        const WaitCursor wait;
        const qsizetype first = toSend.takeFirst();
        pass.outcomes[first] = send(*spooler, pass.queue, pass.jobs[first].JobId, operation);
    }
    if (toSend.isEmpty()) {
        finish(f, pass);
        return true;
    }
    QList<int> ids;
    for (qsizetype i : toSend)
        ids << pass.jobs[i].JobId;
    AwaitedAnswers::begin(f, QLatin1String(kSelectedJobsPass));
    FrmMain* form = &f;
    askOffThread(
        f, QLatin1String(kSelectedJobsPass),
        [spooler, queue = pass.queue, ids, operation] {
            QList<JobOutcome> outcomes;
            outcomes.reserve(ids.size());
            for (int id : ids)
                outcomes << send(*spooler, queue, id, operation);
            return outcomes;
        },
        [form, pass, toSend, finish](const QList<JobOutcome>& outcomes) {
            Pass answered = pass;
            for (qsizetype k = 0; k < toSend.size(); ++k)
                answered.outcomes[toSend[k]] = outcomes[k];
            finish(*form, answered);
        });
    return true;
}

// A pass of the command `words` on `jobs` of the queue shown, its status line and one
// audit row a job written first, so that they stand whatever the server does.
Pass beginPass(FrmMain& f, const QString& words, const QList<SpoolerJob>& jobs) {
    showActionStatus(f, words + QLatin1Char(' '));
    f.log().writeAudits(QStringLiteral("Job"), QStringList(jobs.size(), words));
    return {words, actionQueue(f), jobs, {}};
}

} // namespace

bool selectedJobsPassRunning(const FrmMain& f) {
    return AwaitedAnswers::waiting(f, QLatin1String(kSelectedJobsPass));
}

void pauseSelectedJobs(FrmMain& f, const QList<SpoolerJob>& jobs) {
    if (selectedJobsPassRunning(f))
        return;
    runPass(
        f, beginPass(f, QStringLiteral("Pause Job"), jobs),
        [](PrintSpooler& s, const QString& queue, int id) { return s.pauseJob(queue, id); },
        [](FrmMain& form, const Pass& pass) { endPass(form, pass, true); });
}

void resumeSelectedJobs(FrmMain& f, const QList<SpoolerJob>& jobs) {
    if (selectedJobsPassRunning(f))
        return;
    Pass pass = beginPass(f, QStringLiteral("Resume Job"), jobs);
    QList<LogRow> rows;
    QList<qint64> pages;
    for (const SpoolerJob& job : jobs) {
        rows << releasedJobRow(f, job);
        pages << shownPagesOf(f, job);
    }
    const bool autoQueue = f.chkAutoQueue->isChecked();
    runPass(
        f, std::move(pass),
        [autoQueue](PrintSpooler& s, const QString& queue, int id) {
            return releaseHeldJob(s, queue, id, autoQueue);
        },
        [rows, pages, autoQueue](FrmMain& form, const Pass& done) {
            qint64 printed = 0;
            QString last;
            for (qsizetype i = 0; i < done.jobs.size(); ++i)
                if (done.outcomes[i].done) {
                    printed += pages[i];
                    last = QString::number(done.jobs[i].JobId);
                }
            if (!last.isEmpty()) {
                form.log().setLogFieldsOfRows(rowsDone(done, rows));
                countPrintedPages(form, printed);
                QueueSession::of(form).setLastReleasedJob(last);
            }
            // Under AutoQueue the jobs have left the queue for its release queue.
            endPass(form, done, autoQueue && !last.isEmpty());
        });
}

void removeSelectedJobs(FrmMain& f, const QList<SpoolerJob>& jobs) {
    if (selectedJobsPassRunning(f))
        return;
    // The poll must not redraw the grid under the question, nor while the jobs go.
    f.Timer2->stop();
    const Prompter::Answer answer = f.services().prompter->message(
        QStringLiteral("Warning"),
        QStringLiteral("Are you sure you want to delete the %1 selected jobs?").arg(jobs.size()),
        Prompter::Icon::Exclamation, Prompter::Buttons::YesNo);
    const auto restart = [](FrmMain& form) {
        if (!form.unloading)
            form.Timer2->start();
    };
    if (answer == Prompter::Answer::Yes && actionSpooler(f)) {
        Pass pass = beginPass(f, QStringLiteral("Remove Job"), jobs);
        QList<LogRow> rows;
        QList<qint64> pages;
        for (const SpoolerJob& job : jobs) {
            rows << deletedJobRow(f, job);
            pages << shownPagesOf(f, job);
        }
        if (runPass(
                f, std::move(pass),
                [](PrintSpooler& s, const QString& queue, int id) {
                    return s.deleteJob(queue, id);
                },
                [rows, pages, restart](FrmMain& form, const Pass& done) {
                    qint64 deleted = 0;
                    for (qsizetype i = 0; i < done.jobs.size(); ++i)
                        if (done.outcomes[i].done)
                            deleted += pages[i];
                    const QList<LogRow> written = rowsDone(done, rows);
                    if (!written.isEmpty()) {
                        form.log().setLogFieldsOfRows(written);
                        countDeletedPages(form, deleted);
                    }
                    endPass(form, done, true);
                    restart(form);
                }))
            return;
    }
    CurrentPrintQueue_Click(f);
    restart(f);
}

void changeSelectedJobsPriority(FrmMain& f, const QList<SpoolerJob>& jobs) {
    if (selectedJobsPassRunning(f))
        return;
    const QString priorityText =
        f.services()
            .prompter
            ->input(QStringLiteral("Spoolwright"),
                    QStringLiteral("Please enter a new Priority for the %1 selected Print Jobs:")
                        .arg(jobs.size()))
            .value_or(QString())
            .trimmed();
    if (priorityText.isEmpty())
        return;
    Pass pass = beginPass(f, QStringLiteral("Change Priority"), jobs);
    bool whole = false;
    const int priority = priorityText.toInt(&whole);
    // A priority that is no whole number leaves the jobs as they were.
    if (!whole)
        return;
    runPass(
        f, std::move(pass),
        [priority](PrintSpooler& s, const QString& queue, int id) {
            return s.setJobPriority(queue, id, priority);
        },
        [priority](FrmMain& form, const Pass& done) {
            // The server announces no event for a new priority: the grids show it now.
            for (qsizetype i = 0; i < done.jobs.size(); ++i) {
                if (!done.outcomes[i].done)
                    continue;
                SpoolerJob job = done.jobs[i];
                job.Priority = priority;
                for (JobGrid* grid : {&form.jobGrid(), &form.searchGrid()})
                    if (grid->job(job.Name))
                        grid->rewrite(job);
            }
            endPass(form, done, false);
        });
}

void commentSelectedJobs(FrmMain& f, const QList<SpoolerJob>& jobs) {
    if (selectedJobsPassRunning(f))
        return;
    const QString comment = f.services()
                                .prompter
                                ->input(QStringLiteral("Add Log Comments - Spoolwright"),
                                        QStringLiteral("Enter your Comments:"))
                                .value_or(QString());
    if (comment.isEmpty())
        return;
    QList<LogRow> rows;
    for (const SpoolerJob& job : jobs)
        rows.append({TransactionID(job),
                     QList<LogField>{logField(LogColumn::Comments, comment)} + operatorFields(f)});
    // A comment belongs to a job still in the spooler: the queue is listed, and
    // nothing is sent.
    runPass(f, {QStringLiteral("Add Log Comment"), actionQueue(f), jobs, {}}, JobOperation(),
            [rows](FrmMain& form, const Pass& done) {
                form.log().setLogFieldsOfRows(rowsDone(done, rows));
                endPass(form, done, false);
            });
}
