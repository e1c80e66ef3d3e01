#include "session/JobMonitor.h"

#include "form/FrmMain.h"
#include "platform/Environment.h"
#include "platform/GuardedSpooler.h"
#include "platform/MonitorProtocol.h"
#include "platform/PrintSpooler.h"
#include "platform/ProcessTable.h"
#include "platform/Prompter.h"
#include "session/JobRetrieval.h"
#include "session/MonitorEvents.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <utility>

namespace {

const QString kMonitorName = QStringLiteral("SWRJobMonitor");

// Applies what the monitor said in one read: the job events together, so that
// their jobs are logged in one transaction, and in the order they came.
void dispatchLines(FrmMain& f, const QList<QByteArray>& raw) {
    QList<MonitorJobEvent> events;
    for (const QByteArray& text : raw) {
        const MonitorProtocol::Line line = MonitorProtocol::decode(text);
        if (line.name == MonitorProtocol::JobEvent && !line.fields.isEmpty()) {
            if (const auto job = MonitorProtocol::jobFromFields(line.fields.mid(1)))
                events.append({line.fields.first(), *job});
        } else if (line.name == MonitorProtocol::ConnectEvent && !line.fields.isEmpty()) {
            mwcmnMonitor_JobEvents(f, std::exchange(events, {}));
            mwcmnMonitor_ConnectEvent(f, line.fields.first());
        }
    }
    mwcmnMonitor_JobEvents(f, events);
}

qint64 monotonicMs() {
    return QDeadlineTimer::current().deadline();
}

void restartAfterEnd(FrmMain& f, const QString& server);

// The monitor ended while the program still wanted it: say so, start another for
// the same server (at most once per interval) and read the jobs once, so that
// nothing that happened in between is missed.
void monitorEnded(FrmMain& f, const QString& server, bool everSpoke) {
    MonitorLink& link = MonitorLink::of(f);
    if (f.unloading || server != link.server())
        return;
    const bool tell = link.ended(everSpoke);
    f.setPanelText(1, QStringLiteral("Job monitor stopped, restarting"));
    if (tell) {
        // The poll goes on keeping the view up to date meanwhile.
        f.services().prompter->message(
            QStringLiteral("Spoolwright"),
            QStringLiteral("Cannot connect to server, jobs will not update!"),
            Prompter::Icon::Critical);
    }
    QTimer::singleShot(link.restartWaitMs(), &f, [&f, server] { restartAfterEnd(f, server); });
}

void restartAfterEnd(FrmMain& f, const QString& server) {
    const MonitorLink& link = MonitorLink::of(f);
    if (f.unloading || link.mwcmnMonitor() || server != link.server())
        return; // stopped, replaced or already running again
    startJobMonitor(f, server);
    RetrieveJobs(f, server, QString());
}

} // namespace

void MonitorLink::started(QProcess* monitor) {
    monitor_ = monitor;
    lastStartMs_ = monotonicMs();
}

QProcess* MonitorLink::letGo() {
    QProcess* monitor = monitor_;
    monitor_ = nullptr;
    return monitor;
}

bool MonitorLink::ended(bool everSpoke) {
    failedStarts_ = everSpoke ? 0 : failedStarts_ + 1;
    if (failedStarts_ < kMonitorFailedStartsToTell || connectMessageShown_)
        return false;
    connectMessageShown_ = true;
    return true;
}

qint64 MonitorLink::restartWaitMs() const {
    return std::max<qint64>(0, restartIntervalMs_ - (monotonicMs() - lastStartMs_));
}

QString jobMonitorProgram() {
    return QDir(Environment().helperFolder()).filePath(kMonitorName);
}

void endOrphanedJobMonitors() {
    ProcessTable::endOrphanedProcessesNamed(kMonitorName);
}

void startJobMonitor(FrmMain& f, const QString& server) {
    const QString program = f.services().monitorProgram;
    if (program.isEmpty())
        return;
    MonitorLink& link = MonitorLink::of(f);
    link.watch(server);
    if (!QFileInfo(program).isExecutable()) {
        f.setPanelText(1, QStringLiteral("Job monitor not found: jobs will not update"));
        return;
    }
    auto* monitor = new QProcess(&f);
    monitor->setProgram(program);
    monitor->setProcessChannelMode(QProcess::SeparateChannels);
    auto spoke = std::make_shared<bool>(false);
    QObject::connect(monitor, &QProcess::readyReadStandardOutput, &f, [&f, &link, monitor, spoke] {
        QList<QByteArray> lines;
        while (monitor->canReadLine()) {
            QByteArray line = monitor->readLine();
            line.chop(1);
            *spoke = true;
            lines.append(line);
        }
        // Events of a monitor the program has let go of are not for this view.
        if (link.mwcmnMonitor() == monitor)
            dispatchLines(f, lines);
    });
    // The end of a monitor is seen whichever way it comes: the field is cleared
    // before anything else can reach the process, and the process is freed later.
    auto ended = [&f, &link, monitor, server, spoke] {
        const bool wanted = link.mwcmnMonitor() == monitor;
        if (wanted)
            link.letGo();
        monitor->deleteLater();
        if (wanted)
            monitorEnded(f, server, *spoke);
    };
    QObject::connect(monitor, &QProcess::finished, &f, ended);
    QObject::connect(
        monitor, &QProcess::errorOccurred, &f, [monitor, ended](QProcess::ProcessError e) {
            if (e == QProcess::FailedToStart && monitor->state() == QProcess::NotRunning)
                ended();
        });
    link.started(monitor);
    monitor->start();
    // A server the operator gave a password to wants it from the monitor too. It
    // goes over the pipe only, never onto disk or the command line.
    if (const std::optional<SpoolerCredentials> given = f.spoolerFor(server)->credentials())
        monitor->write(MonitorProtocol::encode(MonitorProtocol::Credentials,
                                               {server, given->user, given->password}));
    monitor->write(MonitorProtocol::encode(MonitorProtocol::WatchServer, {server}));
}

void stopJobMonitor(FrmMain& f, int waitMs) {
    MonitorLink& link = MonitorLink::of(f);
    link.watch(QString());
    QProcess* monitor = link.letGo(); // its end is no longer news
    if (!monitor)
        return;
    if (monitor->state() != QProcess::NotRunning) {
        monitor->write(MonitorProtocol::encode(MonitorProtocol::StopWatching));
        monitor->closeWriteChannel();
        if (waitMs > 0 && !monitor->waitForFinished(waitMs)) {
            monitor->kill();
            monitor->waitForFinished(waitMs);
        }
    }
}
