#pragma once

#include <QString>

class FrmMain;

// The filter box (txtFilter): narrows both job grids to the jobs whose user, document
// or status holds its text. It narrows what the operator sees and nothing else: the
// rows it hides stay in the grids, so the log, AutoQueue, the release watch and
// Resume All go on seeing every job.

// The text changed: both grids show what it lets through.
void txtFilter_Change(FrmMain& form);
// Ctrl+F: the box takes the keyboard, its text selected.
void focusJobFilter(FrmMain& form);
// Puts the box above the grid the operator sees: the server-wide one while the
// ServerView is up, else the job grid, once the layout has placed the grids.
void placeJobFilter(FrmMain& form);
// The box's height; the job grid starts below it.
int jobFilterHeightTwips();
// "N of M jobs shown" for the grid the operator sees while a filter is set; empty
// without one.
QString jobFilterStatus(FrmMain& form);
