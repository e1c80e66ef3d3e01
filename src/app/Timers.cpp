#include "app/Timers.h"

#include "control/QueueActions.h"
#include "control/ReleaseSteps.h"
#include "form/FrmMain.h"
#include "form/SettingsRecord.h"
#include "form/ShapeColour.h"
#include "log/LogDatabase.h"
#include "platform/Clock.h"
#include "platform/CupsStatus.h"
#include "platform/DateText.h"
#include "platform/GuardedSpooler.h"
#include "platform/PrintSpooler.h"
#include "session/JobRetrieval.h"
#include "session/QueueSelection.h"
#include "session/ServerConnection.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThreadPool>
#include <QTimer>
#include <QTreeWidget>

void Timer1_Timer(FrmMain& f) {
    f.Log().flushPending(); // never waits: rows the log could not take are tried again
    if (f.Log().pendingCount() > 0)
        f.SetPanelText(1, LogDatabase::backlogText(f.Log().pendingCount()));
    const QString jobs = QString::number(f.JobList->topLevelItemCount());
    f.LabelPrintQueues->setText(QString::number(f.CurrentPrintQueue->count()) +
                                QStringLiteral(" Available Queues"));
    f.LabelPrintJobs->setText(QStringLiteral("Queued Print Jobs: ") + jobs);
    if (f.txtPrintPath->text().isEmpty()) {
        f.SetPanelText(2, QString());
        f.SetPanelText(3, QString());
    } else {
        f.SetPanelText(2,
                       f.CurrentQueue + QStringLiteral(" on ") + f.CurrentPrinter->currentText());
        f.SetPanelText(3, QStringLiteral("Jobs: ") + jobs);
    }
    f.FindPrintQueues->setEnabled(!f.CurrentPrinter->currentText().isEmpty());
    if (f.CurrentPrintQueue->currentText().isEmpty()) {
        f.chkAutoQueue->setEnabled(false);
        for (QLineEdit* box :
             {f.txtDescription, f.txtLocation, f.txtPrintPath, f.txtModel, f.txtPrintStatus})
            box->clear();
        f.SetPanelText(4, QString());
        ShapeColour::set(f.txtPrintStatus, ShapeColour::White);
    } else {
        f.chkAutoQueue->setEnabled(true);
    }
}

namespace {

// One tick's questions, fixed when the tick starts.
struct PollTick {
    QString server;
    QString queue;
    bool autoQueue = false;
    bool watchRelease = false; // a job released under AutoQueue is still in the queue
    QueueViewRequest view;
};

struct PollAnswer {
    bool releasedJobPrinting = false;
    QueueView view;
};

// Every request of a tick, made on the poll's worker. Only the watched queue is
// asked for, never the whole server: at the fast rate a server-wide listing would
// hold up every other client of the server.
PollAnswer readPoll(const PollTick& tick, GuardedSpooler* server, GuardedSpooler* jobsServer) {
    const SpoolerPrompts::Off noDialogsHere;
    PollAnswer answer;
    QueueViewRequest view = tick.view;
    if (tick.watchRelease && server) {
        const std::optional<SpoolerQueue> queue = server->queue(tick.queue);
        // A queue printing the released job reports processing: only a paused
        // queue has stopped.
        if (queue && !queuePaused(queue->Status)) {
            const QList<SpoolerJob> jobs = server->queueJobs(tick.queue);
            for (const SpoolerJob& job : jobs)
                if (!isHeld(job) && QString::number(job.JobId) == tick.view.lastReleasedJob) {
                    answer.releasedJobPrinting = true;
                    break;
                }
            // The refresh takes the jobs as just read; the queue too while the job
            // prints, for otherwise the queue is paused below and read again.
            view.jobsRead = jobs;
            if (answer.releasedJobPrinting)
                view.queueRead = queue;
        }
    }
    if (!answer.releasedJobPrinting && tick.autoQueue && server)
        server->pauseQueue(tick.queue);
    answer.view = ReadQueueView(server, jobsServer, view);
    return answer;
}

// The answer, applied on the window in the order of the tick's steps.
void applyPoll(FrmMain& f, const PollTick& tick, const PollAnswer& answer) {
    // The operator moved on while the server answered: this answer is for a view
    // that is gone, and the refresh they started has done its work.
    if (f.Unloading || tick.queue != f.CurrentPrintQueue->currentText() ||
        tick.server != f.CurrentPrinter->currentText()) {
        if (!f.Unloading && !f.CurrentPrintQueue->currentText().isEmpty())
            f.Timer2->start();
        return;
    }
    if (answer.releasedJobPrinting) {
        if (f.JobList->topLevelItemCount() > 0)
            f.SetPanelText(1, QStringLiteral("Resume Print Job ") +
                                  DateText::timeOfDay(f.services().clock->now()));
        ShowQueueView(f, answer.view);
        ShapeColour::set(f.ActiveUpdate, ShapeColour::Red);
        if (f.chkAutoQueue->isChecked())
            f.Timer2->setInterval(PollInterval(f.Settings.PollAQactive, kPollAQactiveDefaultMs));
        f.Timer2->start();
        return;
    }
    if (f.chkAutoQueue->isChecked())
        f.Timer2->setInterval(PollInterval(f.Settings.PollAQ, kPollAQDefaultMs));
    else
        f.Timer2->setInterval(PollInterval(f.Settings.PollNorm, kPollNormDefaultMs));
    ShowQueueView(f, answer.view);
    chkTimedRelease(f);
    if (f.ResumeAllInProgress)
        ResumeAllJobs(f);
    else
        ResumeExceptions(f);
    ShapeColour::set(f.ActiveUpdate, ShapeColour::Green);
    f.Timer2->start();
}

} // namespace

void Timer2_Timer(FrmMain& f) {
    ShapeColour::set(f.ActiveUpdate, ShapeColour::Orange);
    if (f.CurrentPrintQueue->currentText().isEmpty())
        return;
    // A server still answering the last tick is not asked again; its answer
    // restarts the poll.
    if (f.PollInFlight)
        return;
    f.Timer2->stop();

    PollTick tick;
    tick.server = f.CurrentPrinter->currentText();
    tick.queue = f.CurrentPrintQueue->currentText();
    tick.autoQueue = f.chkAutoQueue->isChecked();
    tick.watchRelease = tick.autoQueue && !f.LastReleasedJob.isEmpty();
    tick.view.queue = tick.queue;
    tick.view.readAllJobs = f.JobsStale || tick.server != f.CurrentServer;
    tick.view.holdNewJobs = tick.autoQueue && f.CurrentPrintQueue->count() > 0 &&
                            (tick.queue == f.CurrentQueue || f.ResumeAllInProgress);
    tick.view.lastReleasedJob = f.LastReleasedJob;
    if (tick.view.readAllJobs && !f.WmiServices)
        ConnectWmi(f, tick.server);

    f.PollInFlight = true;
    GuardedSpooler* server = f.ServerContainer;
    GuardedSpooler* jobsServer = f.WmiServices;
    FrmMain* form = &f;
    f.PollWorker->start([form, tick, server, jobsServer] {
        const PollAnswer answer = readPoll(tick, server, jobsServer);
        QMetaObject::invokeMethod(
            form,
            [form, tick, answer] {
                form->PollInFlight = false;
                applyPoll(*form, tick, answer);
            },
            Qt::QueuedConnection);
    });
}
