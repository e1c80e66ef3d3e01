#pragma once

#include <QString>

class FrmMain;

// The redraw timer (every 100 ms): counts and status texts from what the window holds.
void Timer1_Timer(FrmMain& form);

// The poll: refreshes the job view of the chosen queue and drives AutoQueue's release
// watch and re-hold, the timed release, the user exceptions and a running Resume All.
// Its interval tells the rest of the program what it is doing: normal, holding, or
// watching a released job print.
void Timer2_Timer(FrmMain& form);
