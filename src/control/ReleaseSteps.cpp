#include "control/ReleaseSteps.h"

void chkTimedRelease(FrmMain&) {}

void ResumeExceptions(FrmMain&) {}
