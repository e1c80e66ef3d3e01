#pragma once

#include <functional>

class FrmMain;

// Start-up and shutdown of the main window.

// Loads (start-up) and shows the window, as showing a form loads it first.
void showFrmMain(FrmMain& form);
// Start-up: history, settings, the log's first row, the last server and queue.
void Form_Load(FrmMain& form);
// Connects to the server and queue of the last run (or this computer's server),
// then runs `then`. The server answers off the window's thread.
void ReconnectLastQueue(FrmMain& form, std::function<void()> then = {});
// Shutdown: stops the timers and the job monitor, logs, saves, ends the process.
void Form_Unload(FrmMain& form);
void menuExit_Click(FrmMain& form);
