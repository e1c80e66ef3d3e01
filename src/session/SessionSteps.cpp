#include "session/SessionSteps.h"

void FindPrintQueues_Click(FrmMain&) {}

void CurrentPrintQueue_Click(FrmMain&) {}

void Timer1_Timer(FrmMain&) {}

void Timer2_Timer(FrmMain&) {}
