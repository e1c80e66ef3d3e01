#pragma once

#include <QColor>
#include <QString>

class FrmMain;

// The job-view refresh: brings the job grid, the queue's properties and coloured
// status up to date for the queue in the queue box, holds new jobs under AutoQueue
// and restarts the poll.
void CurrentPrintQueue_Click(FrmMain& form);

// The colour a queue status text gives its box: each word found overrides the one
// before ("OK", "Printing", "Waiting" green; "Paused", "Busy" orange; "Error",
// "Offline" red). Invalid when no word is found, so the box keeps its colour.
QColor QueueStatusColour(const QString& statusText);
