#pragma once

#include <QPoint>

class FrmMain;

// The commands that show and hide the optional panels and the ServerView overlay, and the layout
// that places them and stretches the job grid.

// Panel commands: show the panel, tick its entry and remember it, or the reverse.
void mnuSearchQueue_Click(FrmMain& form);
void mnuQueueInfo_Click(FrmMain& form);
void mnuQueueControl_Click(FrmMain& form);
void mnuFavouritesPanel_Click(FrmMain& form);
void mnuNetwork_Click(FrmMain& form);
void mnuOnline_Click(FrmMain& form);
void mnuClosePanel_Click(FrmMain& form);
void mnuStatusBar_Click(FrmMain& form);
void mnuSearch_Click(FrmMain& form);

// A right button press on the Queue Control panel pops up the Printer menu at `at`
// (global coordinates).
void frmQueueControl_MouseDown(FrmMain& form, Qt::MouseButton button, const QPoint& at);

// The layout, run on every resize and after every panel change.
void Form_Resize(FrmMain& form);
