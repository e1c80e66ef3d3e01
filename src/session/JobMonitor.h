#pragma once

#include <QString>

class FrmMain;

// The job monitor: a separate process, SWRJobMonitor beside the program, that watches
// one server and reports job and connection events, one line each, on its output.

// Starts a new monitor watching the server; the window takes its events from now on.
void StartJobMonitor(FrmMain& form, const QString& server);

// Stops watching, lets go of the monitor and ends every monitor process of the user.
void StopJobMonitor(FrmMain& form);

// Ends every process of the current user whose name contains the text.
void EndProcessesNamed(const QString& name);

// Where the monitor program lies: beside the program.
QString JobMonitorProgram();
