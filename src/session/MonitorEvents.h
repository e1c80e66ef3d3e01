#pragma once

#include <QString>

struct SpoolerJob;
class FrmMain;

// What the job monitor reports, applied to the job grids between full retrievals.
// A job appeared ("New"), changed ("Modified") or left ("Deleted"). Every event
// makes sure the job is logged.
void mwcmnMonitor_JobEvent(FrmMain& form, const QString& action, const SpoolerJob& job);
// The state of the monitor's connection; "WMI Connection Error" means the watch failed.
void mwcmnMonitor_ConnectEvent(FrmMain& form, const QString& text);
