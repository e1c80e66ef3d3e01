#include "shell/StartupSteps.h"

void StartUpdateCheck(FrmMain&) {}

void GetCommandLine(FrmMain&, const QString&) {}
