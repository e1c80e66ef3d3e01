#pragma once

#include "platform/PrintSpooler.h"

#include <QList>
#include <QString>

class FrmMain;

// What the job monitor reports, applied to the job grids between full retrievals.
// A job appeared ("New"), changed ("Modified") or left ("Deleted"). Every event
// makes sure the job is logged.
void mwcmnMonitor_JobEvent(FrmMain& form, const QString& action, const SpoolerJob& job);
// Events that arrived together: their jobs are logged in one transaction, then the
// events are applied to the grids in the order they came.
struct MonitorJobEvent {
    QString action;
    SpoolerJob job;
};
void mwcmnMonitor_JobEvents(FrmMain& form, QList<MonitorJobEvent> events);
// The state of the monitor's connection; "WMI Connection Error" means the watch failed.
void mwcmnMonitor_ConnectEvent(FrmMain& form, const QString& text);
