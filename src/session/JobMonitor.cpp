#include "session/JobMonitor.h"

#include "app/FrmMain.h"
#include "platform/PrintSpooler.h"
#include "platform/ProcessTable.h"
#include "session/MonitorEvents.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

namespace {

const QString kMonitorName = QStringLiteral("SWRJobMonitor");

// One line of the monitor's output: "JobEvent<TAB>action<TAB>detail" or
// "ConnectEvent<TAB>text". Anything else is ignored.
void dispatchLine(FrmMain& f, const QString& line) {
    const QStringList parts = line.split(QLatin1Char('\t'));
    if (parts.value(0) == QLatin1String("JobEvent") && parts.size() >= 3)
        mwcmnMonitor_JobEvent(f, parts[1], parts.mid(2).join(QLatin1Char('\t')));
    else if (parts.value(0) == QLatin1String("ConnectEvent") && parts.size() >= 2)
        mwcmnMonitor_ConnectEvent(f, parts.mid(1).join(QLatin1Char('\t')));
}

} // namespace

QString JobMonitorProgram() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(kMonitorName);
}

void StartJobMonitor(FrmMain& f, const QString& server) {
    if (f.services().monitorProgram.isEmpty())
        return;
    auto* monitor = new QProcess(&f);
    monitor->setProgram(f.services().monitorProgram);
    monitor->setProcessChannelMode(QProcess::SeparateChannels);
    QObject::connect(monitor, &QProcess::readyReadStandardOutput, &f, [&f, monitor] {
        while (monitor->canReadLine()) {
            QByteArray line = monitor->readLine();
            while (line.endsWith('\n') || line.endsWith('\r'))
                line.chop(1);
            // Events of a monitor the program has let go of are not for this view.
            if (f.mwcmnMonitor == monitor)
                dispatchLine(f, QString::fromUtf8(line));
        }
    });
    QObject::connect(monitor, &QProcess::finished, monitor, &QObject::deleteLater);
    f.mwcmnMonitor = monitor;
    monitor->start();
    // A server the operator gave a password to wants it from the monitor too. It
    // goes over the pipe only, never onto disk or the command line.
    const std::optional<SpoolerCredentials> given = f.SpoolerFor(server)->credentials();
    const QString fields = given ? given->user + given->password + server : QString();
    if (given && !fields.contains(QLatin1Char('\t')) && !fields.contains(QLatin1Char('\n')))
        monitor->write("Credentials\t" + server.toUtf8() + '\t' + given->user.toUtf8() + '\t' +
                       given->password.toUtf8() + '\n');
    monitor->write("WatchServer\t" + server.toUtf8() + '\n');
}

void StopJobMonitor(FrmMain& f) {
    if (QProcess* monitor = f.mwcmnMonitor) {
        monitor->write("StopWatching\n");
        monitor->closeWriteChannel();
        f.mwcmnMonitor = nullptr;
    }
    EndProcessesNamed(kMonitorName);
}

void EndProcessesNamed(const QString& name) {
    ProcessTable::EndProcessesNamed(name);
}
