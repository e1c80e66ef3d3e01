#pragma once

class FrmMain;

// Makes the row of optional panels across the top of the main window and the
// ServerView overlay, with their controls, all hidden, at their design places.
void buildPanels(FrmMain& form);
