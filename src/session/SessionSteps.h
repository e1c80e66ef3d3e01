#pragma once

class FrmMain;

// Connects to the server named in the server box: lists its queues, reads its
// jobs and starts watching it.
void FindPrintQueues_Click(FrmMain& form);

// Shows the jobs, properties and status of the queue chosen in the queue box.
void CurrentPrintQueue_Click(FrmMain& form);

// The redraw timer: counts and status texts from what the window holds.
void Timer1_Timer(FrmMain& form);

// The poll: refreshes the job view and drives the hold and release rules.
void Timer2_Timer(FrmMain& form);
