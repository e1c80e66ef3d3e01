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
#include <QCoreApplication>
#include <QDeadlineTimer>
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
    bool gone = false;       // it had left the queue
    bool unanswered = false; // the server did not answer
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
// spooler is held for one job's requests, and free between jobs for the window's own.
JobOutcome send(GuardedSpooler& spooler, const QString& queue, int jobId,
                const JobOperation& operation) {
    auto [result, message] = spooler.exclusive([&](PrintSpooler& s) {
        const SpoolerResult sent = operation(s, queue, jobId);
        return std::make_pair(sent, s.lastMessage());
    });
    if (result == SpoolerResult::Success)
        return {true, false, false, QString()};
    return {false, false, result == SpoolerResult::Unreachable,
            refusalText(QStringLiteral("Job %1").arg(jobId), result, message)};
}

// A server that did not answer is not asked for the jobs after: each would wait for
// it in turn.
JobOutcome notAsked(int jobId) {
    return {
        false, false, true,
        refusalText(QStringLiteral("Job %1").arg(jobId), SpoolerResult::Unreachable, QString())};
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

// What a release or a deletion writes of each job, made as the pass begins: its log
// row and the pages it counts.
struct JobRecords {
    QList<LogRow> rows;
    QList<qint64> pages;
};

JobRecords recordsOf(FrmMain& f, const QList<SpoolerJob>& jobs,
                     LogRow (*rowOf)(FrmMain&, const SpoolerJob&)) {
    JobRecords records;
    for (const SpoolerJob& job : jobs) {
        records.rows << rowOf(f, job);
        records.pages << shownPagesOf(f, job);
    }
    return records;
}

// Writes the log rows of the jobs done, in one transaction; the pages they count,
// nothing when no job was done.
std::optional<qint64> logJobsDone(FrmMain& f, const Pass& pass, const JobRecords& records) {
    const QList<LogRow> rows = rowsDone(pass, records.rows);
    if (rows.isEmpty())
        return std::nullopt;
    f.log().setLogFieldsOfRows(rows);
    qint64 pages = 0;
    for (qsizetype i = 0; i < pass.jobs.size(); ++i)
        if (pass.outcomes[i].done)
            pages += records.pages[i];
    return pages;
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

// The pass as the poll's worker goes on with it: `operation` for every job after the
// first, then the jobs the server refused looked for in the queue, listed once, so
// that those that have left it are told apart; without an operation the queue is
// listed and every job still in it counts as done.
Pass passOnWorker(GuardedSpooler& spooler, Pass pass, const JobOperation& operation) {
    for (qsizetype i = 1; operation && i < pass.jobs.size(); ++i)
        pass.outcomes[i] = pass.outcomes[i - 1].unanswered
                               ? notAsked(pass.jobs[i].JobId)
                               : send(spooler, pass.queue, pass.jobs[i].JobId, operation);
    QList<qsizetype> undecided;
    for (qsizetype i = 0; i < pass.jobs.size(); ++i)
        if (!pass.outcomes[i].done && !pass.outcomes[i].unanswered)
            undecided << i;
    if (undecided.isEmpty())
        return pass;
    auto [listed, result, message] = spooler.exclusive([&pass](PrintSpooler& s) {
        QList<SpoolerJob> jobs = s.queueJobs(pass.queue);
        return std::make_tuple(jobs, s.lastResult(), s.lastMessage());
    });
    QSet<int> queued;
    for (const SpoolerJob& job : listed)
        queued.insert(job.JobId);
    for (qsizetype i : undecided) {
        const int id = pass.jobs[i].JobId;
        if (result != SpoolerResult::Success) {
            if (!operation)
                pass.outcomes[i].whyNot =
                    refusalText(QStringLiteral("Job %1").arg(id), result, message);
        } else if (!queued.contains(id)) {
            pass.outcomes[i] = {false, true, false, jobGoneText(id)};
        } else if (!operation) {
            pass.outcomes[i] = {true, false, false, QString()};
        }
    }
    return pass;
}

// Runs the pass and hands it to `finish` on the window's thread. The first job's
// request goes from the window's thread, where the server may ask for the operator's
// password; the rest of the pass runs on the poll's worker (passOnWorker). False,
// with nothing sent, without a server.
bool runPass(FrmMain& f, Pass pass, const JobOperation& operation, const Finish& finish) {
    GuardedSpooler* spooler = actionSpooler(f);
    if (!spooler || pass.jobs.isEmpty())
        return false;
    pass.outcomes.resize(pass.jobs.size());
    if (operation) {
        const WaitCursor wait;
        pass.outcomes[0] = send(*spooler, pass.queue, pass.jobs[0].JobId, operation);
    }
    AwaitedAnswers::begin(f, QLatin1String(kSelectedJobsPass));
    FrmMain* form = &f;
    askOffThread(
        f, QLatin1String(kSelectedJobsPass),
        [spooler, pass, operation] { return passOnWorker(*spooler, pass, operation); },
        [form, finish](const Pass& answered) { finish(*form, answered); });
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

void finishSelectedJobsPass(FrmMain& f, int waitMs) {
    // Jobs the server has released or deleted must not go unlogged; each request of
    // the pass has its own time limit, and the first unanswered one ends the pass.
    const QDeadlineTimer deadline(waitMs);
    while (selectedJobsPassRunning(f) && !deadline.hasExpired())
        QCoreApplication::processEvents(
            QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents, 50);
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
    const JobRecords records = recordsOf(f, jobs, releasedJobRow);
    const bool autoQueue = f.chkAutoQueue->isChecked();
    runPass(
        f, std::move(pass),
        [autoQueue](PrintSpooler& s, const QString& queue, int id) {
            return releaseHeldJob(s, queue, id, autoQueue);
        },
        [records, autoQueue](FrmMain& form, const Pass& done) {
            const std::optional<qint64> printed = logJobsDone(form, done, records);
            if (printed) {
                countPrintedPages(form, *printed);
                for (qsizetype i = done.jobs.size() - 1; i >= 0; --i)
                    if (done.outcomes[i].done) {
                        QueueSession::of(form).setLastReleasedJob(
                            QString::number(done.jobs[i].JobId));
                        break;
                    }
            }
            // Under AutoQueue the jobs have left the queue for its release queue.
            endPass(form, done, autoQueue && printed);
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
        const JobRecords records = recordsOf(f, jobs, deletedJobRow);
        if (runPass(
                f, std::move(pass),
                [](PrintSpooler& s, const QString& queue, int id) {
                    return s.deleteJob(queue, id);
                },
                [records, restart](FrmMain& form, const Pass& done) {
                    if (const std::optional<qint64> deleted = logJobsDone(form, done, records))
                        countDeletedPages(form, *deleted);
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
    const QString comment = askLogComment(f);
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
