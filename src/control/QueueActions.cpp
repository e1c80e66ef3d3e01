#include "control/QueueActions.h"

#include "control/ActionSteps.h"
#include "control/JobActions.h"
#include "control/PrinterAttributesDialog.h"
#include "control/ReleaseQuestion.h"
#include "form/FrmMain.h"
#include "form/JobGrid.h"
#include "form/SettingsRecord.h"
#include "form/ShapeColour.h"
#include "form/WaitCursor.h"
#include "log/JobLogRow.h"
#include "log/LogDatabase.h"
#include "platform/Clock.h"
#include "platform/DateText.h"
#include "platform/Desktop.h"
#include "platform/GuardedSpooler.h"
#include "platform/JobText.h"
#include "platform/NumberText.h"
#include "platform/Prompter.h"
#include "platform/WebPage.h"
#include "session/JobRetrieval.h"
#include "session/QueueSelection.h"
#include "session/QueueSession.h"
#include "shell/PageCounters.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>

namespace {

// Sends one operation on the queue; false, with the server's reason in the status
// bar, when the server refused it.
template <typename Operation>
bool sendQueueOperation(FrmMain& f, GuardedSpooler& spooler, Operation operation) {
    const WaitCursor wait;
    const QString queue = actionQueue(f);
    auto [result, message] = spooler.exclusive([&](PrintSpooler& s) {
        const SpoolerResult sent = operation(s, queue);
        return std::make_pair(sent, s.lastMessage());
    });
    if (result == SpoolerResult::Success)
        return true;
    showRefusal(f, queue, result, message);
    return false;
}

void pauseOrResumeQueue(FrmMain& f, bool pause) {
    const QString words = pause ? QStringLiteral("Pause Queue") : QStringLiteral("Resume Queue");
    showActionStatus(f, words + QLatin1Char(' '));
    f.log().WriteAudit(QStringLiteral("Queue"), words + QStringLiteral(" - ") + actionQueue(f));
    if (GuardedSpooler* spooler = actionSpooler(f))
        sendQueueOperation(f, *spooler, [pause](PrintSpooler& s, const QString& queue) {
            return pause ? s.pauseQueue(queue) : s.resumeQueue(queue);
        });
    QCoreApplication::processEvents();
    CurrentPrintQueue_Click(f);
    QCoreApplication::processEvents();
}

// The pages a deleted job counts: those its row in the grid shows (none while
// they are not counted).
qint64 deletedPagesOf(const SpoolerJob& job) {
    return job.TotalPages == kPagesNotCounted ? 0 : job.TotalPages;
}

} // namespace

void MenuPause(FrmMain& f) {
    pauseOrResumeQueue(f, true);
}

void MenuResume(FrmMain& f) {
    pauseOrResumeQueue(f, false);
}

void menuPurge(FrmMain& f) {
    PurgeAllJobs(f, false);
}

void PurgeAllJobs(FrmMain& f, bool silent) {
    const bool yes =
        silent ||
        f.services().prompter->message(
            QStringLiteral("Warning"),
            QStringLiteral("Are you sure you want to delete \r\nall print jobs?"),
            Prompter::Icon::Exclamation, Prompter::Buttons::YesNo) == Prompter::Answer::Yes;
    GuardedSpooler* spooler = actionSpooler(f);
    bool purged = false;
    if (yes && spooler) {
        showActionStatus(f, QStringLiteral("Purge All Jobs "));
        const QString queue = actionQueue(f);
        // The jobs deleted are those the operator sees, each logged: a job that came
        // after the grid was filled was never seen, and stays for the next look.
        QList<SpoolerJob> jobs = f.jobGrid().jobsOfQueue(queue);
        QList<int> ids;
        ids.reserve(jobs.size());
        for (const SpoolerJob& job : jobs)
            ids << job.JobId;
        qsizetype deleted = 0;
        if (!jobs.isEmpty())
            sendQueueOperation(f, *spooler, [&ids, &deleted](PrintSpooler& s, const QString& q) {
                return s.deleteJobs(q, ids, deleted);
            });
        // A failure part of the way leaves those before it deleted: they are logged so.
        jobs = jobs.mid(0, deleted);
        if (!jobs.isEmpty()) {
            // Every job purged keeps its row in the log, marked deleted, and its audit
            // row, all written in one transaction; the counters are raised once.
            const QString now = DateText::format(f.services().clock->now());
            const QList<LogField> byWhom = operatorFields(f);
            QList<LogRow> rows;
            QList<LogRow> deletions;
            rows.reserve(jobs.size());
            deletions.reserve(jobs.size());
            qint64 pages = 0;
            for (const SpoolerJob& job : jobs) {
                const qint64 jobPages = deletedPagesOf(job);
                pages += jobPages;
                rows.append(jobLogRow(job, QueueSession::of(f).WmiServer()));
                deletions.append(
                    {rows.last().transactionId,
                     QList<LogField>{logField(LogColumn::Deleted, now),
                                     logField(LogColumn::DeletedPages, QString::number(jobPages))} +
                         byWhom});
            }
            {
                const LogDatabase::WriteTogether together(f.log());
                f.log().logNewRowsAndFields(rows, deletions);
                f.log().writeAudits(
                    QStringLiteral("Job"),
                    QStringList(jobs.size(), QStringLiteral("Purge all jobs - ") + queue));
            }
            countDeletedPages(f, pages);
            // The server goes on writing out every cancelled job's record for seconds
            // after it answered, and a refresh now would wait behind that: the grids
            // drop the jobs at once, and the poll, which never holds the window,
            // refreshes.
            QStringList names;
            names.reserve(jobs.size());
            for (const SpoolerJob& job : jobs)
                names << job.Name;
            f.jobGrid().remove(names);
            f.searchGrid().remove(names);
            purged = true;
        }
        QCoreApplication::processEvents();
    }
    if (f.chkAutoQueue->isChecked())
        startFastPoll(f);
    else if (purged)
        f.Timer2->start(0); // each tick sets the interval of its state again
    else
        CurrentPrintQueue_Click(f);
    QCoreApplication::processEvents();
}

void mnupausealljobs(FrmMain& f) {
    showActionStatus(f, QStringLiteral("Pause All Jobs "));
    f.log().WriteAudit(QStringLiteral("Job"), QStringLiteral("Pause All Jobs - ") + actionQueue(f));
    if (GuardedSpooler* spooler = actionSpooler(f))
        if (const auto jobs = listQueueJobs(f, *spooler, actionQueue(f))) {
            const WaitCursor wait;
            for (const SpoolerJob& job : *jobs)
                spooler->pauseJob(actionQueue(f), job.JobId);
        }
    QCoreApplication::processEvents();
    CurrentPrintQueue_Click(f);
    QCoreApplication::processEvents();
}

void mnuresumealljobs(FrmMain& f) {
    if (releaseAnyway(f))
        resumeAllJobs(f);
}

void resumeAllJobs(FrmMain& f) {
    QueueSession::of(f).beginResumeAll();
    showActionStatus(f, QStringLiteral("Resume All Jobs "));
    if (f.jobGrid().count() == 0) {
        QueueSession::of(f).endResumeAll();
        return;
    }
    const int watching = pollInterval(f.Settings.PollAQactive, kPollAQactiveDefaultMs);
    GuardedSpooler* spooler = actionSpooler(f);
    // The queue is listed once for the pass, not once a job.
    const std::optional<QList<SpoolerJob>> queued =
        spooler ? listQueueJobs(f, *spooler, actionQueue(f)) : std::nullopt;
    if (!queued)
        return;
    const QList<SpoolerJob> rows = f.jobGrid().jobs();
    bool released = false;
    for (const SpoolerJob& job : rows) {
        // A released job still prints: the poll runs the next pass once it has left.
        if (f.Timer2->interval() == watching)
            return;
        QTreeWidgetItem* row = f.jobGrid().rowOf(job.Name);
        if (!row)
            continue;
        f.JobList->setCurrentItem(row);
        if (!f.jobGrid().texts(job)[JobColumn::Status].contains(QLatin1String("Paused"),
                                                                Qt::CaseInsensitive))
            continue;
        if (!resumeJob(f, job, &*queued))
            continue; // a job that had gone meanwhile is none
        released = true;
        if (f.chkAutoQueue->isChecked())
            break; // one job a pass under AutoQueue
    }
    // Without AutoQueue the queue runs for every job released, resumed once.
    if (released && !f.chkAutoQueue->isChecked())
        spooler->resumeQueue(actionQueue(f));
    CurrentPrintQueue_Click(f);
}

void mnutestpage(FrmMain& f) {
    f.Timer2->stop();
    showActionStatus(f, QStringLiteral("Print Test Page "));
    f.log().WriteAudit(QStringLiteral("Queue"),
                       QStringLiteral("Print Test Page - ") + actionQueue(f));
    SendTestPage(f, f.CurrentPrinter->currentText(), actionQueue(f));
    ShapeColour::set(f.ActiveUpdate, ShapeColour::green);
    CurrentPrintQueue_Click(f);
    f.Timer2->start();
}

void SendTestPage(FrmMain& f, const QString& server, const QString& queue) {
    SpoolerResult result = SpoolerResult::Failed;
    {
        const WaitCursor wait;
        ConnectWmi(f, server);
        if (GuardedSpooler* spooler = QueueSession::of(f).WmiServices())
            result = spooler->printTestPage(queue);
    }
    if (result == SpoolerResult::AccessDenied)
        f.services().prompter->message(
            QStringLiteral("Spoolwright"),
            QStringLiteral("You do not have permission to print a test page!"),
            Prompter::Icon::Critical);
}

void mnuPrinterProperties(FrmMain& f) {
    // The queue information panel shows the printer's address as the last refresh
    // read it.
    const QString path = f.txtPrintPath->text();
    if (!path.isEmpty())
        ShowPrinterProperties(f, actionQueue(f));
    f.log().WriteAudit(QStringLiteral("Queue"), QStringLiteral("Get printer properties: ") + path);
}

void ShowPrinterProperties(FrmMain& f, const QString& queue) {
    GuardedSpooler* spooler = actionSpooler(f);
    if (!spooler)
        return;
    const QUrl page(spooler->printerWebPage(queue));
    WebPageState state = WebPageState::NoAnswer;
    {
        const WaitCursor wait;
        state = probeWebPage(page, SpoolerTimeouts{}.requestMs);
    }
    if (state == WebPageState::Serves && f.services().desktop->openUrl(page))
        return;
    QList<SpoolerAttribute> attributes;
    {
        const WaitCursor wait;
        attributes = spooler->printerAttributes(queue);
    }
    showPrinterAttributes(f, queue, attributes);
}
