#pragma once

#include <QString>

class FrmMain;

// Reading every job of the connected server at once into the server-wide grid.

// Makes sure WmiServices is the spooler of this server (made once per name).
void ConnectWmi(FrmMain& form, const QString& server);

// One pass over every job of the server: fills SearchList (and JobList for a named
// queue), gives each job not yet logged its log row, then rebuilds JobList for the
// queue in the queue box.
void RetrieveJobs(FrmMain& form, const QString& server, const QString& queue);

// Rebuilds JobList from the SearchList rows of one queue.
void FilterQueueJobs(FrmMain& form, const QString& queue);

// The queue control panel's reload button: a full pass.
void cmdRefreshJobs_Click(FrmMain& form);
