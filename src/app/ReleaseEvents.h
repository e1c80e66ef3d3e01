#pragma once

class FrmMain;

// Connects the AutoQueue and AutoRelease controls, and the mouse on the job grids.
void wireReleaseControls(FrmMain& form);
