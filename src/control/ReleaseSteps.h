#pragma once

class FrmMain;

// Steps of the poll whose work comes with the hold and release rules. Each is
// still empty: it keeps its place in the poll's order until that work is built.

// To come: releases or deletes every held job when the AutoRelease time has come.
void chkTimedRelease(FrmMain& form);

// To come: releases the held jobs of the users AutoQueue never holds.
void ResumeExceptions(FrmMain& form);
