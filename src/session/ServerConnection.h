#pragma once

#include <functional>

class FrmMain;

// Connecting to the server named in the server box and listing its queues.

// Drops the previous server's view, restarts the job monitor, reads every job of
// the server once and lists its queues. The server is asked off the window's
// thread, with the wait cursor and "Finding Jobs" meanwhile; the view is shown,
// and then `then` runs, once it answered or gave up. Asked again while it waits,
// it does nothing.
void FindPrintQueues_Click(FrmMain& form, std::function<void()> then = {});

// While a Resume All runs the view may not change: puts the shown server and queue
// back into their boxes and says why.
void refuseDuringResumeAll(FrmMain& form);

// Enter in the server box connects; any other key does nothing.
void CurrentPrinter_KeyDown(FrmMain& form, int keyCode, int shift);
