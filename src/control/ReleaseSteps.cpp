#include "control/ReleaseSteps.h"

#include "control/Favourites.h"

void chkTimedRelease(FrmMain& form) {
    AutoActivateFavourite(form);
}

void ResumeExceptions(FrmMain&) {}
