#include "shell/StartupSteps.h"

void StartUpdateCheck(FrmMain&) {}
