#include "session/MonitorEvents.h"

#include "form/FrmMain.h"
#include "form/JobGrid.h"
#include "platform/Clock.h"
#include "platform/DateText.h"
#include "platform/JobText.h"
#include "platform/MonitorProtocol.h"
#include "platform/PrintSpooler.h"
#include "platform/Prompter.h"
#include "session/JobLog.h"
#include "session/JobMonitor.h"
#include "session/JobPages.h"
#include "session/QueueSession.h"

#include <QComboBox>
#include <QLabel>

namespace {

void setStatus(FrmMain& f, const QString& text) {
    const QString line = text + DateText::format(f.services().clock->now());
    f.SearchStatus->setText(line);
    f.setPanelText(1, line);
}

} // namespace

void mwcmnMonitor_JobEvent(FrmMain& f, const QString& action, const SpoolerJob& job) {
    mwcmnMonitor_JobEvents(f, {{action, job}});
}

void mwcmnMonitor_JobEvents(FrmMain& f, QList<MonitorJobEvent> events) {
    if (events.isEmpty())
        return;
    QList<SpoolerJob> jobs;
    jobs.reserve(events.size());
    for (MonitorJobEvent& event : events)
        jobs.append(event.job);
    fillCountedPages(f, jobs);
    logNewJobs(f, jobs);

    QueueSession& session = QueueSession::of(f);
    const QString shownQueue = f.CurrentPrintQueue->currentText();
    QString status;
    QList<SpoolerJob> shown;
    for (int i = 0; i < events.size(); ++i) {
        const QString& action = events.at(i).action;
        const SpoolerJob& job = jobs.at(i);
        const bool inShownQueue = printerOfJobName(job.Name) == shownQueue;
        if (action == MonitorProtocol::newAction || action == MonitorProtocol::modifiedAction) {
            f.searchGrid().rewrite(job);
            if (inShownQueue)
                f.jobGrid().rewrite(job);
            shown.append(job);
            status = action == MonitorProtocol::newAction ? QStringLiteral("New Job ")
                                                          : QStringLiteral("Updated Job ");
        } else if (action == MonitorProtocol::deletedAction) {
            f.searchGrid().remove(job.Name);
            session.markGone(job.Name);
            if (inShownQueue)
                f.jobGrid().remove(job.Name);
            status = QStringLiteral("Deleted Job ");
        }
    }
    // Each event would have said its own; the last one's is what stays.
    if (!status.isEmpty())
        setStatus(f, status);
    countMissingPages(f, countingSpooler(f), shown);
}

void mwcmnMonitor_ConnectEvent(FrmMain& f, const QString& text) {
    if (text == MonitorProtocol::connectionErrorText)
        f.services().prompter->message(
            QStringLiteral("Spoolwright"),
            QStringLiteral("Cannot connect to server, jobs will not update!"),
            Prompter::Icon::Critical);
    // The watch takes the jobs there when it begins as known, and the window read
    // the server before it began: a job that came in between is in neither, so the
    // next tick reads every job anew.
    if (text == MonitorProtocol::connectedText || text == MonitorProtocol::pollingText)
        QueueSession::of(f).setJobsStale(true);
    const QString line = QStringLiteral("Server ") + text + QLatin1Char(' ') +
                         DateText::format(f.services().clock->now());
    f.setPanelText(1, line);
    f.SearchStatus->setText(line);
    f.ServerStatus->setText(line);
}
