#pragma once

#include <QString>

class FrmMain;

// The job monitor: a separate process, SWRJobMonitor beside the program, that watches
// one server and reports job and connection events, one line each, on its output.

// Starts a new monitor watching the server; the window takes its events from now on.
// A monitor that ends without being told to is started again (see below).
void StartJobMonitor(FrmMain& form, const QString& server);
// Stops watching and lets go of the program's own monitor; `waitMs` is how long to
// wait for it to end before it is ended by force (shutdown waits, so no zombie is
// left; a change of server does not).
void StopJobMonitor(FrmMain& form, int waitMs = 0);
// Ends monitors that copies of the program which ended abruptly left behind. The
// monitors of other running copies are theirs and are left alone.
void EndOrphanedJobMonitors();
// Where the monitor program lies: beside the program in the build tree, in the
// helper folder when installed.
QString JobMonitorProgram();
// After this many failed starts in a row the operator is told, once.
inline constexpr int kMonitorFailedStartsToTell = 3;
