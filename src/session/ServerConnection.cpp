#include "session/ServerConnection.h"

#include "form/FrmMain.h"
#include "form/JobGrid.h"
#include "log/LogDatabase.h"
#include "platform/Clock.h"
#include "platform/DateText.h"
#include "platform/GuardedSpooler.h"
#include "platform/PrintSpooler.h"
#include "platform/Prompter.h"
#include "session/JobMonitor.h"
#include "session/JobRetrieval.h"
#include "session/OffThread.h"
#include "session/QueueSession.h"
#include "session/ReleaseQueueName.h"
#include "shell/History.h"
#include "shell/NetworkPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

namespace {

// What connecting reads of a server.
struct ServerRead {
    ReadJobs jobs;
    QStringList queues;
};

// The end of a connection, once the server answered or gave up: its jobs, the job
// monitor, and its queues in the queue box.
void showServer(FrmMain& f, const QString& server, const std::optional<ServerRead>& read) {
    if (read) {
        // The network panel lists the server's printers with a request of its own on
        // the window's thread: asked once the server answered, a silent server is
        // known silent by then and is not waited for again.
        navigateWebServer(f, QStringLiteral("\\\\") + server);
        showAllJobs(f, read->jobs.jobs, read->jobs.elapsedMs, QString());
        startJobMonitor(f, server);
    }
    const QString time = DateText::timeOfDay(f.services().clock->now());
    f.setPanelText(1, QStringLiteral("Find Queues ") + time);

    QueueSession::of(f).setServerContainer(server.isEmpty() ? nullptr : f.spoolerFor(server));
    if (read) {
        f.CurrentPrintQueue->addItems(read->queues);
        f.CurrentPrintQueue->setCurrentIndex(-1); // listing selects nothing
    }
    if (f.CurrentPrintQueue->currentText().isEmpty()) {
        f.imgPause->hide();
        f.imgPlay->hide();
    }
    if (!f.CurrentPrintQueue->currentText().isEmpty())
        f.setPanelText(1, QStringLiteral("Queue Loaded ") + time);
    else if (f.CurrentPrintQueue->count() > 0)
        f.setPanelText(1, QStringLiteral("Queues Found ") + time);
    else
        f.setPanelText(1, QStringLiteral("No Queues Found ") + time);
    f.log().WriteAudit(QStringLiteral("Queue"), QStringLiteral("Search for queues on ") + server);
}

} // namespace

void FindPrintQueues_Click(FrmMain& f, std::function<void()> then) {
    QueueSession& session = QueueSession::of(f);
    // Pressed again while the server has not answered: it is not asked twice.
    if (AwaitedAnswers::waiting(f, QLatin1String(kFindingQueues)))
        return;
    f.LabelPrintQueues->clear();
    if (session.ResumeAllInProgress()) {
        refuseDuringResumeAll(f);
        return;
    }
    f.Timer2->stop();
    f.chkAutoQueue->setChecked(false);
    f.setWindowTitle(QStringLiteral("Spoolwright"));
    session.setCurrentServer(f.CurrentPrinter->currentText());

    f.CurrentPrintQueue->clear();
    f.CurrentPrintQueue->setCurrentIndex(-1);
    f.jobGrid().clear();

    if (f.CurrentPrinter->currentText().isEmpty()) {
        f.CurrentPrinter->setEditText(f.Settings.Server);
        List_Add(f.CurrentPrinter, f.Settings.Server);
        session.setLastHistoryServer(f.Settings.Server);
    } else if (f.CurrentPrinter->currentText() != session.LastHistoryServer()) {
        session.setLastHistoryServer(f.CurrentPrinter->currentText());
        List_Add(f.CurrentPrinter, session.LastHistoryServer());
    }
    const QString server = f.CurrentPrinter->currentText();
    if (server.isEmpty()) {
        showServer(f, server, std::nullopt);
        if (then)
            then();
        return;
    }
    const QString disconnected =
        QStringLiteral("Disconnected ") + DateText::format(f.services().clock->now());
    f.SearchStatus->setText(disconnected);
    f.ServerStatus->setText(disconnected);
    f.searchGrid().clear();
    session.forgetGoneJobs();
    stopJobMonitor(f);
    ConnectWmi(f, server);
    AwaitedAnswers::begin(f, QLatin1String(kFindingQueues));
    beginRetrieval(f);
    GuardedSpooler* jobsServer = session.WmiServices();
    GuardedSpooler* queuesServer = f.spoolerFor(server);
    askOffThread(
        f, QLatin1String(kFindingQueues),
        [jobsServer, queuesServer] {
            ServerRead read;
            read.jobs = readAllJobsTimed(*jobsServer);
            read.queues = withoutReleaseQueues(queuesServer->queueNames());
            return read;
        },
        [&f, server, then](const ServerRead& read) {
            showServer(f, server, read);
            if (then)
                then();
        });
}

void refuseDuringResumeAll(FrmMain& f) {
    const QueueSession& session = QueueSession::of(f);
    f.CurrentPrinter->setEditText(session.CurrentServer());
    f.CurrentPrintQueue->setCurrentText(session.CurrentQueue());
    f.services().prompter->message(
        session.CurrentQueue() + QStringLiteral(" Resume All"),
        session.CurrentQueue() +
            QStringLiteral(" is currently resuming print jobs. Please wait until "
                           "all jobs are printed!"),
        Prompter::Icon::Exclamation);
}

void CurrentPrinter_KeyDown(FrmMain& f, int keyCode, int) {
    if (keyCode == 13)
        FindPrintQueues_Click(f);
}
