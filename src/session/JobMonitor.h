#pragma once

#include "form/WindowPart.h"

#include <QPointer>
#include <QProcess>
#include <QString>

// The job monitor: a separate process, SWRJobMonitor beside the program, that watches
// one server and reports job and connection events, one line each, on its output.

// Starts a new monitor watching the server; the window takes its events from now on.
// A monitor that ends without being told to is started again (see below).
void startJobMonitor(FrmMain& form, const QString& server);
// Stops watching and lets go of the program's own monitor; `waitMs` is how long to
// wait for it to end before it is ended by force (shutdown waits, so no zombie is
// left; a change of server does not).
void stopJobMonitor(FrmMain& form, int waitMs = 0);
// Ends monitors that copies of the program which ended abruptly left behind. The
// monitors of other running copies are theirs and are left alone.
void endOrphanedJobMonitors();
// Where the monitor program lies: beside the program in the build tree, in the
// helper folder when installed.
QString jobMonitorProgram();
// After this many failed starts in a row the operator is told, once.
inline constexpr int kMonitorFailedStartsToTell = 3;

// The monitor link: the monitor process the window takes its events from, the
// server it watches, and how it has fared since the program started it.
class MonitorLink : public WindowPart {
public:
    using WindowPart::WindowPart;
    static MonitorLink& of(FrmMain& form) { return windowPart<MonitorLink>(form); }

    // The monitor process; null once it ended or was let go.
    QProcess* mwcmnMonitor() const { return monitor_; }
    // The server it watches; empty once it was told to stop.
    const QString& server() const { return server_; }
    // Monitors in a row that ended without saying anything.
    int failedStarts() const { return failedStarts_; }
    // The soonest a monitor that ended starts again (10 s).
    void setRestartIntervalMs(int ms) { restartIntervalMs_ = ms; }

    // A monitor watching `server` is wanted from now on, or none (empty).
    void watch(const QString& server) { server_ = server; }
    // The monitor just started.
    void started(QProcess* monitor);
    // The program lets go of its monitor: its output and its end are no longer news.
    QProcess* letGo();
    // The wanted monitor ended, having said something or not: true the one time the
    // operator is to be told that it cannot connect.
    bool ended(bool everSpoke);
    // How long a monitor that ended waits before it starts again.
    qint64 restartWaitMs() const;

private:
    QPointer<QProcess> monitor_;
    QString server_;
    int failedStarts_ = 0;
    qint64 lastStartMs_ = -1; // on the monotonic clock, -1 before the first
    bool connectMessageShown_ = false;
    int restartIntervalMs_ = 10000;
};
