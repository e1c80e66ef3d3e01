#include "session/JobRetrieval.h"

#include "form/FrmMain.h"
#include "form/JobGrid.h"
#include "form/ShapeColour.h"
#include "platform/Clock.h"
#include "platform/DateText.h"
#include "platform/GuardedSpooler.h"
#include "platform/PrintSpooler.h"
#include "session/JobLog.h"
#include "session/JobPages.h"
#include "session/OffThread.h"
#include "session/QueueSession.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QTreeWidget>

void ConnectWmi(FrmMain& f, const QString& server) {
    ShapeColour::set(f.ActiveUpdate, ShapeColour::blue);
    QueueSession& session = QueueSession::of(f);
    if (server != session.WmiServer() || !session.WmiServices()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        session.connectJobs(server, f.spoolerFor(server));
        QApplication::restoreOverrideCursor();
    }
    ShapeColour::set(f.ActiveUpdate, ShapeColour::cyan);
}

void beginRetrieval(FrmMain& f) {
    f.SearchStatus->setText(QStringLiteral("Connection Initiated"));
    f.setPanelText(1, QStringLiteral("Connection Initiated"));
    ShapeColour::set(f.SearchProgress, ShapeColour::blue);
    f.setPanelText(1, QStringLiteral("Connecting to Server"));
    ShapeColour::set(f.SearchProgress, ShapeColour::orange);
    f.SearchStatus->setText(QStringLiteral("Finding printers with jobs"));
    f.setPanelText(1, QStringLiteral("Finding Jobs"));
}

void RetrieveJobs(FrmMain& f, const QString& server, const QString& queue) {
    QElapsedTimer started;
    started.start();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    beginRetrieval(f);
    // The pass reads the spooler ConnectWmi connected last, never the server box's
    // text, which the operator may have changed without pressing Enter.
    const QueueSession& session = QueueSession::of(f);
    if (!session.WmiServices())
        ConnectWmi(f, server);
    const std::optional<QList<SpoolerJob>> jobs = readAllJobs(*session.WmiServices());
    QCoreApplication::processEvents();
    QApplication::restoreOverrideCursor();
    showAllJobs(f, jobs, started.elapsed(), queue);
}

std::optional<QList<SpoolerJob>> readAllJobs(GuardedSpooler& spooler) {
    return spooler.exclusive([](PrintSpooler& s) -> std::optional<QList<SpoolerJob>> {
        QList<SpoolerJob> jobs = s.jobs();
        if (s.lastResult() != SpoolerResult::Success)
            return std::nullopt;
        return jobs;
    });
}

void showAllJobs(FrmMain& f, const std::optional<QList<SpoolerJob>>& jobs, qint64 elapsedMs,
                 const QString& queue) {
    f.SearchStatus->setText(QStringLiteral("Retrieving Data"));
    f.setPanelText(1, QStringLiteral("Retrieving Data"));
    QueueSession& session = QueueSession::of(f);
    if (jobs) {
        // Jobs show at once; pages not counted yet follow when they are.
        QList<SpoolerJob> shown = *jobs;
        shown.removeIf([&session](const SpoolerJob& job) { return session.isGone(job.Name); });
        fillCountedPages(f, shown);
        f.searchGrid().merge(shown);
        if (!queue.isEmpty())
            f.jobGrid().merge(f.searchGrid().jobsOfQueue(queue));
        logNewJobs(f, shown);
        countMissingPages(f, session.WmiServices(), shown);
    }
    // A server that did not answer leaves the jobs shown as they were; the next
    // pass that reaches it reads them anew.
    session.setJobsStale(!jobs);
    ShapeColour::set(f.SearchProgress, jobs ? ShapeColour::green : ShapeColour::red);
    // A pass the server did not answer ends with the same words; the red shape
    // tells it apart.
    const QString finished = QStringLiteral("Retrieved Jobs (") +
                             QString::number(elapsedMs / 1000) + QStringLiteral(" seconds) ") +
                             DateText::format(f.services().clock->now());
    f.SearchStatus->setText(finished);
    f.setPanelText(1, finished);
    if (!f.CurrentPrintQueue->currentText().isEmpty())
        FilterQueueJobs(f, f.CurrentPrintQueue->currentText());
}

void FilterQueueJobs(FrmMain& f, const QString& queue) {
    f.jobGrid().merge(f.searchGrid().jobsOfQueue(queue));
}

ReadJobs readAllJobsTimed(GuardedSpooler& spooler) {
    QElapsedTimer started;
    started.start();
    ReadJobs read;
    read.jobs = readAllJobs(spooler);
    read.elapsedMs = started.elapsed();
    return read;
}

void cmdRefreshJobs_Click(FrmMain& f) {
    // A connection under way reads every job itself.
    if (AwaitedAnswers::waiting(f, QLatin1String(kFindingQueues)) ||
        !AwaitedAnswers::begin(f, QLatin1String(kReadingJobs)))
        return;
    beginRetrieval(f);
    const QueueSession& session = QueueSession::of(f);
    if (!session.WmiServices())
        ConnectWmi(f, f.CurrentPrinter->currentText());
    GuardedSpooler* spooler = session.WmiServices();
    askOffThread(
        f, QLatin1String(kReadingJobs), [spooler] { return readAllJobsTimed(*spooler); },
        [&f, spooler](const ReadJobs& read) {
            // A connection to another server came meanwhile: this answer is for a
            // view that is gone.
            if (QueueSession::of(f).WmiServices() == spooler)
                showAllJobs(f, read.jobs, read.elapsedMs, QString());
        });
}
