#pragma once

class FrmMain;

// Connects the Reports menu's HTML entries to their commands.
void WireReports(FrmMain& form);
