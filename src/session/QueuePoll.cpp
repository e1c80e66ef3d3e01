#include "session/QueuePoll.h"

#include "form/FrmMain.h"
#include "form/SettingsRecord.h"
#include "form/ShapeColour.h"
#include "platform/Clock.h"
#include "platform/CupsStatus.h"
#include "platform/DateText.h"
#include "platform/GuardedSpooler.h"
#include "platform/PrintSpooler.h"
#include "session/JobRetrieval.h"
#include "session/QueueSelection.h"
#include "session/QueueSession.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTimer>
#include <QTreeWidget>

QueuePoll::QueuePoll(FrmMain& form) : WindowPart(form) {
    worker_.setMaxThreadCount(1);
}

QueuePoll::~QueuePoll() {
    worker_.waitForDone(); // its spoolers and answer belong to the window
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
    answer.view = readQueueView(server, jobsServer, view);
    return answer;
}

// The answer, applied on the window in the order of the tick's steps.
void applyPoll(FrmMain& f, const PollTick& tick, const PollAnswer& answer) {
    // The operator moved on while the server answered: this answer is for a view
    // that is gone, and the refresh they started has done its work.
    if (f.unloading || tick.queue != f.CurrentPrintQueue->currentText() ||
        tick.server != f.CurrentPrinter->currentText()) {
        if (!f.unloading && !f.CurrentPrintQueue->currentText().isEmpty())
            f.Timer2->start();
        return;
    }
    if (answer.releasedJobPrinting) {
        if (f.JobList->topLevelItemCount() > 0)
            f.setPanelText(1, QStringLiteral("Resume Print Job ") +
                                  DateText::timeOfDay(f.services().clock->now()));
        showQueueView(f, answer.view);
        ShapeColour::set(f.ActiveUpdate, ShapeColour::red);
        if (f.chkAutoQueue->isChecked())
            f.Timer2->setInterval(pollInterval(f.Settings.PollAQactive, kPollAQactiveDefaultMs));
        f.Timer2->start();
        return;
    }
    if (f.chkAutoQueue->isChecked())
        f.Timer2->setInterval(pollInterval(f.Settings.PollAQ, kPollAQDefaultMs));
    else
        f.Timer2->setInterval(pollInterval(f.Settings.PollNorm, kPollNormDefaultMs));
    showQueueView(f, answer.view);
    QueuePoll::of(f).runReleaseSteps(f);
    ShapeColour::set(f.ActiveUpdate, ShapeColour::green);
    f.Timer2->start();
}

} // namespace

void Timer2_Timer(FrmMain& f) {
    ShapeColour::set(f.ActiveUpdate, ShapeColour::orange);
    if (f.CurrentPrintQueue->currentText().isEmpty())
        return;
    // A server still answering the last tick is not asked again; its answer
    // restarts the poll.
    QueuePoll& poll = QueuePoll::of(f);
    if (poll.inFlight())
        return;
    f.Timer2->stop();

    PollTick tick;
    tick.server = f.CurrentPrinter->currentText();
    tick.queue = f.CurrentPrintQueue->currentText();
    tick.autoQueue = f.chkAutoQueue->isChecked();
    const QueueSession& session = QueueSession::of(f);
    tick.watchRelease = tick.autoQueue && !session.LastReleasedJob().isEmpty();
    tick.view.queue = tick.queue;
    tick.view.readAllJobs = session.jobsStale() || tick.server != session.CurrentServer();
    tick.view.holdNewJobs = tick.autoQueue && f.CurrentPrintQueue->count() > 0 &&
                            (tick.queue == session.CurrentQueue() || session.ResumeAllInProgress());
    tick.view.lastReleasedJob = session.LastReleasedJob();
    if (tick.view.readAllJobs && !session.WmiServices())
        ConnectWmi(f, tick.server);

    poll.setInFlight(true);
    GuardedSpooler* server = session.ServerContainer();
    GuardedSpooler* jobsServer = session.WmiServices();
    FrmMain* form = &f;
    poll.worker().start([form, tick, server, jobsServer] {
        const PollAnswer answer = readPoll(tick, server, jobsServer);
        QMetaObject::invokeMethod(
            form,
            [form, tick, answer] {
                QueuePoll::of(*form).setInFlight(false);
                applyPoll(*form, tick, answer);
            },
            Qt::QueuedConnection);
    });
}
