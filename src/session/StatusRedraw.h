#pragma once

class FrmMain;

// The redraw timer (every 100 ms): counts and status texts from what the window holds.
void Timer1_Timer(FrmMain& form);
