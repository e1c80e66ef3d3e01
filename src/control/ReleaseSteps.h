#pragma once

class FrmMain;

// Steps of the poll whose work comes with the hold and release rules.

// Releases or deletes every held job when the AutoRelease time has come.
void chkTimedRelease(FrmMain& form);

// Releases the held jobs of the users AutoQueue never holds.
void ResumeExceptions(FrmMain& form);

// Goes on releasing the queue's jobs one at a time while a Resume All runs.
void ResumeAllJobs(FrmMain& form);
