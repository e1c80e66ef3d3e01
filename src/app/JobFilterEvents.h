#pragma once

class FrmMain;

// Connects the filter box: its text narrows the grids as it is typed, and Ctrl+F
// gives it the keyboard from anywhere in the window.
void wireJobFilter(FrmMain& form);
