#pragma once

class FrmMain;

// Opens the settings dialog and the statistics window from their menu entries.
void wireShellWindows(FrmMain& form);
