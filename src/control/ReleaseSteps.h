#pragma once

#include <QString>

class FrmMain;
struct SpoolerJob;

// The steps of the poll that release held jobs, and the AutoQueue controls.

// Ticking AutoQueue holds the queue and every job in it, and makes the server hold
// every job that arrives, even while the program is closed, and sets up the queue's
// release queue (ReleaseQueue.h); unticking it leaves queue and jobs held and gives
// the queue back exactly the hold it had.
void chkAutoQueue_Click(FrmMain& form);
// A queue whose own hold AutoQueue changed in a run that ended without unticking it
// (a crash, a kill) gets that hold back when it is shown with AutoQueue off, and the
// status bar says so. Start-up asks once its queue and AutoQueue box are set.
void giveBackHoldLeftBehind(FrmMain& form);
// AutoRelease: the release time and action become usable while it is ticked.
void chkTimed_Click(FrmMain& form);
// AutoActivate is read when a favourite is stored; ticking it changes nothing else.
void chkAA_Click(FrmMain& form);

// Releases ("Print Jobs") or deletes ("Delete Jobs") every held job at the first tick
// in the AutoRelease minute, and switches to the first AutoActivate favourite whose
// minute it is at the first tick in it.
void chkTimedRelease(FrmMain& form);
// A release time that cannot be read: unticks AutoRelease and AutoActivate and says
// the release could not be done.
void timedReleaseUnreadable(FrmMain& form);

// Releases one held job of a user AutoQueue never holds, when no release is under way.
void ResumeExceptions(FrmMain& form);

// What the poll does once it refreshed the view: held jobs expire
// (HeldJobExpiry.h), the timed release, then the next
// pass of a running Resume All, else the user exceptions.
void PollReleaseSteps(FrmMain& form);

// Why a held job waits, for the tool tip of its Status cell and the job action
// dialog: "Held by AutoQueue", "Held by the operator", "Held until <time>", "Held for
// authentication", "Waiting: the printer is stopped", ...; nothing for a job that
// nothing holds.
QString heldJobToolTip(FrmMain& form, const SpoolerJob& job);

// Whether a job's user is one of the names of the exceptions text. Names are
// separated by commas, semicolons, blanks or line breaks and compared whole,
// without regard to case; an empty user is nobody's exception.
bool isUserException(const QString& user, const QString& exceptions);
