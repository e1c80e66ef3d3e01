#pragma once

#include <QString>

class FrmMain;

// What the job monitor reports, applied to the job grids between full retrievals.

// A job appeared ("New"), changed ("Modified") or left ("Deleted"). The detail is
// the job's twelve fields joined by "|". Every event makes sure the job is logged.
void mwcmnMonitor_JobEvent(FrmMain& form, const QString& action, const QString& detail);

// The state of the monitor's connection; "WMI Connection Error" means the watch failed.
void mwcmnMonitor_ConnectEvent(FrmMain& form, const QString& text);
