#pragma once

struct SpoolerJob;
class FrmMain;

// Holds a job of the watched queue under AutoQueue: every job that is not paused
// and is not the job just released.
void ApplyHoldRule(FrmMain& form, const SpoolerJob& job);
