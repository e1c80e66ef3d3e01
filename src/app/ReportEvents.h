#pragma once

class FrmMain;

// Connects the Reports menu's HTML entries to their commands.
void wireReports(FrmMain& form);
