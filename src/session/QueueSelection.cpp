#include "session/QueueSelection.h"

#include "form/FrmMain.h"
#include "form/JobGrid.h"
#include "form/SettingsRecord.h"
#include "form/ShapeColour.h"
#include "log/LogDatabase.h"
#include "platform/CupsStatus.h"
#include "platform/GuardedSpooler.h"
#include "platform/JobStatus.h"
#include "platform/PrintSpooler.h"
#include "platform/Prompter.h"
#include "session/HoldRule.h"
#include "session/JobRetrieval.h"
#include "session/PrinterAlerts.h"
#include "session/QueueSession.h"
#include "session/ReleaseQueueName.h"
#include "session/ServerConnection.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

namespace {

void enableQueueCommands(FrmMain& f, bool enabled) {
    f.menu(QStringLiteral("menuJobs"))->setEnabled(enabled);
    f.menu(QStringLiteral("menuPrinter"))->setEnabled(enabled);
    f.cmdPrintProperty->setEnabled(enabled);
    f.cmdTestPage->setEnabled(enabled);
}

} // namespace

QColor queueStatusColour(const QString& text) {
    const std::pair<const char*, QColor> words[] = {
        {"OK", ShapeColour::green},      {"Printing", ShapeColour::green},
        {"Waiting", ShapeColour::green}, {"Paused", ShapeColour::orange},
        {"Busy", ShapeColour::orange},   {"Error", ShapeColour::red},
        {"Offline", ShapeColour::red}};
    QColor colour;
    for (const auto& [word, wordColour] : words)
        if (text.contains(QLatin1String(word)))
            colour = wordColour;
    return colour;
}

QueueView readQueueView(GuardedSpooler* server, GuardedSpooler* jobsServer,
                        const QueueViewRequest& request) {
    QueueView view;
    if (request.readAllJobs && jobsServer) {
        QElapsedTimer started;
        started.start();
        view.allJobsRead = true;
        view.allJobs = readAllJobs(*jobsServer);
        view.allJobsMs = started.elapsed();
    }
    if (request.queue.isEmpty() || !server)
        return view;
    view.queue = request.queueRead ? request.queueRead : server->queue(request.queue);
    // Under AutoQueue the printer prints through the release queue, whose backend is
    // the one that finds a jam or an empty tray. The fast poll watching a release
    // leaves it to the next tick.
    if (request.holdNewJobs && view.queue && !request.queueRead)
        if (const std::optional<SpoolerQueue> released =
                server->queue(releaseQueueName(request.queue)))
            for (const QString& reason : released->stateReasons)
                if (!view.queue->stateReasons.contains(reason))
                    view.queue->stateReasons << reason;
    if (request.holdNewJobs)
        for (const SpoolerJob& job :
             request.jobsRead ? *request.jobsRead : server->queueJobs(request.queue))
            if (holdsUnderAutoQueue(job, request.lastReleasedJob) &&
                server->pauseJob(request.queue, job.JobId) == SpoolerResult::Success)
                view.held << job.JobId;
    return view;
}

void CurrentPrintQueue_Click(FrmMain& f) {
    const QueueSession& session = QueueSession::of(f);
    if (ShapeColour::of(f.ActiveUpdate) == ShapeColour::green)
        ShapeColour::set(f.ActiveUpdate, ShapeColour::orange);
    const QString chosen = f.CurrentPrintQueue->currentText();
    const QString server = f.CurrentPrinter->currentText();
    if (chosen != session.CurrentQueue())
        f.log().WriteAudit(QStringLiteral("Queue"), QStringLiteral("Queue changed to ") + server +
                                                        QLatin1Char('-') + chosen);
    // The grids are merged in place, so the selected job keeps its selection. With
    // no queue chosen there is no view to bring up to date: a connection that
    // found no queue has just read (or failed to read) every job.
    if (!chosen.isEmpty() && (server != session.CurrentServer() || session.jobsStale()))
        RetrieveJobs(f, server, QString());
    QueueViewRequest request;
    request.queue = chosen;
    // AutoQueue holds only in the queue it was switched on for; a change of queue
    // switches it off below.
    request.holdNewJobs = f.chkAutoQueue->isChecked() && f.CurrentPrintQueue->count() > 0 &&
                          (chosen == session.CurrentQueue() || session.ResumeAllInProgress());
    request.lastReleasedJob = session.LastReleasedJob();
    showQueueView(f, readQueueView(session.ServerContainer(), session.WmiServices(), request));
}

void showQueueView(FrmMain& f, const QueueView& view) {
    QueueSession& session = QueueSession::of(f);
    for (int id : view.held)
        session.noteHeldByProgram(id);
    const QString chosen = f.CurrentPrintQueue->currentText();
    const QString server = f.CurrentPrinter->currentText();
    if (view.allJobsRead)
        showAllJobs(f, view.allJobs, view.allJobsMs, QString());
    else
        FilterQueueJobs(f, chosen);
    if (f.chkAutoQueue->isChecked() && chosen != session.CurrentQueue()) {
        if (session.ResumeAllInProgress()) {
            refuseDuringResumeAll(f);
        } else {
            f.Timer2->stop();
            f.chkAutoQueue->setChecked(false);
        }
    }

    if (f.CurrentPrintQueue->currentText().isEmpty()) {
        enableQueueCommands(f, false);
        f.imgPause->hide();
        f.imgPlay->hide();
        ShapeColour::set(f.ActiveUpdate, ShapeColour::green);
        return;
    }

    enableQueueCommands(f, true);
    session.setCurrentQueue(f.CurrentPrintQueue->currentText());
    const std::optional<SpoolerQueue>& queue = view.queue;
    session.noteCurrentQueueStopped(queue && queuePaused(queue->Status));
    QCoreApplication::processEvents();
    if (queue) {
        const std::pair<QLineEdit*, QString> boxes[] = {{f.txtDescription, queue->Description},
                                                        {f.txtPrintPath, queue->PrinterPath},
                                                        {f.txtLocation, queue->Location},
                                                        {f.txtModel, queue->Model}};
        for (const auto& [box, text] : boxes) {
            box->setText(text);
            box->setCursorPosition(0); // show the beginning of a long text
            box->setToolTip(text);
        }
        notePrinterAttention(f, server, *queue);
        if (!session.ResumeAllInProgress()) {
            // A server told to hold every new job says so, whoever told it.
            const QString& hold = queue->holdUntilDefault;
            f.txtPrintStatus->setText(PrinterStatusText(queue->Status) + attentionStatusText(f) +
                                      (hold.isEmpty() || hold == QLatin1String("no-hold")
                                           ? QString()
                                           : QStringLiteral(" - New Jobs Held (%1)").arg(hold)));
            f.setPanelText(4, f.txtPrintStatus->text());
        }
    }
    noticeLongHeldJobs(f);
    if (session.ResumeAllInProgress())
        f.txtPrintStatus->setText(QStringLiteral("Resuming All Jobs"));
    if (f.chkAutoQueue->isChecked())
        f.setPanelText(4, QStringLiteral("AQ:") + f.txtPrintStatus->text());

    const QColor colour = queueStatusColour(f.txtPrintStatus->text());
    if (colour.isValid())
        ShapeColour::set(f.txtPrintStatus, colour);
    if (f.txtPrintStatus->text().contains(QLatin1String("Error")) &&
        settingIsTrue(f.Settings.ShowErrors))
        f.services().prompter->message(
            QStringLiteral("Spoolwright"),
            QStringLiteral("An Error has been reported!\r\nPlease check the printer: ") + server +
                QStringLiteral("\r\nLocation: ") + f.txtLocation->text(),
            Prompter::Icon::Critical);

    const QColor shown = ShapeColour::of(f.txtPrintStatus);
    if (shown == ShapeColour::green || shown == ShapeColour::red) {
        f.imgPlay->show();
        f.imgPause->hide();
    } else if (shown == ShapeColour::orange) {
        f.imgPlay->hide();
        f.imgPause->show();
    }
    f.imgPlay->setEnabled(!f.chkAutoQueue->isChecked());
    f.imgPause->setEnabled(!f.chkAutoQueue->isChecked());

    if (f.CurrentPrintQueue->count() == 0) {
        f.Timer2->stop();
        f.chkAutoQueue->setChecked(false);
        f.chkTimed->setChecked(false);
        f.chkAA->setChecked(false);
    } else {
        f.Timer2->start();
        f.setWindowTitle(session.CurrentQueue() + QStringLiteral(" on ") + server +
                         QStringLiteral(" - Spoolwright"));
    }
    ShapeColour::set(f.ActiveUpdate, ShapeColour::green);
}
