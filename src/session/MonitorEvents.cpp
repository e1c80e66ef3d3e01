#include "session/MonitorEvents.h"

#include "form/FrmMain.h"
#include "form/JobGrid.h"
#include "platform/Clock.h"
#include "platform/DateText.h"
#include "platform/JobText.h"
#include "platform/PrintSpooler.h"
#include "platform/Prompter.h"
#include "session/JobLog.h"

#include <QComboBox>
#include <QLabel>

namespace {

void setStatus(FrmMain& f, const QString& text) {
    const QString line = text + DateText::format(f.services().clock->now());
    f.SearchStatus->setText(line);
    f.SetPanelText(1, line);
}

} // namespace

void mwcmnMonitor_JobEvent(FrmMain& f, const QString& action, const SpoolerJob& job) {
    LogNewJobs(f, {job});

    const bool shownQueue = PrinterOfJobName(job.Name) == f.CurrentPrintQueue->currentText();
    if (action == QLatin1String("New") || action == QLatin1String("Modified")) {
        f.searchGrid().rewrite(job);
        if (shownQueue)
            f.jobGrid().rewrite(job);
        setStatus(f, action == QLatin1String("New") ? QStringLiteral("New Job ")
                                                    : QStringLiteral("Updated Job "));
    } else if (action == QLatin1String("Deleted")) {
        f.searchGrid().remove(job.Name);
        if (shownQueue)
            f.jobGrid().remove(job.Name);
        setStatus(f, QStringLiteral("Deleted Job "));
    }
}

void mwcmnMonitor_ConnectEvent(FrmMain& f, const QString& text) {
    if (text == QLatin1String("WMI Connection Error"))
        f.services().prompter->message(
            QStringLiteral("Spoolwright"),
            QStringLiteral("Cannot connect to server, jobs will not update!"),
            Prompter::Icon::Critical);
    const QString line = QStringLiteral("Server ") + text + QLatin1Char(' ') +
                         DateText::format(f.services().clock->now());
    f.SetPanelText(1, line);
    f.SearchStatus->setText(line);
    f.ServerStatus->setText(line);
}
