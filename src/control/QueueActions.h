#pragma once

#include <QString>

class FrmMain;

// The Printer menu, the all-jobs entries of the Jobs menu and the queue panels'
// buttons: each acts on the queue the window shows as a whole.

void MenuPause(FrmMain& form);
void MenuResume(FrmMain& form);
void menuPurge(FrmMain& form);
// Deletes every job of the queue, asking first unless silent; each job's log row is
// marked deleted and its pages counted as deleted.
void PurgeAllJobs(FrmMain& form, bool silent);
void mnupausealljobs(FrmMain& form);
// The operator's Resume All: asks first when the printer needs attention
// (ReleaseQuestion.h), then starts resumeAllJobs.
void mnuresumealljobs(FrmMain& form);
// One pass of Resume All: under AutoQueue it releases the first held job and leaves
// the next to the pass the poll runs once that job has left the queue; otherwise it
// releases every held job. A pass that finds the grid empty ends Resume All.
void resumeAllJobs(FrmMain& form);
void mnutestpage(FrmMain& form);
// Prints the server's test page on the queue; says so when the operator may not.
void SendTestPage(FrmMain& form, const QString& server, const QString& queue);
void mnuPrinterProperties(FrmMain& form);
// Opens the queue's page of the server's web interface, or, where the server shows
// none, a window of the printer's attributes as the server gives them.
void ShowPrinterProperties(FrmMain& form, const QString& queue);
