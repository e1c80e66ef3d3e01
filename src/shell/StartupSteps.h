#pragma once

#include <QString>

class FrmMain;

// Start-up steps that keep their place in the order of start-up.

// Sends the Updates panel's browser to the vendor's update check with this version
// and returns at once; the answer (or its absence, after 5 s) decides whether the
// Updates panel shows.
void startUpdateCheck(FrmMain& form);
