#pragma once

class FrmMain;

// Connects the main window's menus, controls and timers to the procedures that
// answer them, and gives the job grid its designed column widths.
void wireFrmMain(FrmMain& form);
