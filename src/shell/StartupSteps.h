#pragma once

#include <QString>

class FrmMain;

// Start-up and shutdown steps whose work is still to come. Each keeps its place in
// the order of start-up and shutdown, so the order holds as they are filled in.

// Sends the hidden update browser to the vendor's update check with this version;
// its answer decides whether the Updates panel shows.
void StartUpdateCheck(FrmMain& form);
