#include "shell/StartupSteps.h"

void StartUpdateCheck(FrmMain&) {}

void GetCommandLine(FrmMain&, const QString&) {}

void WriteAudit(FrmMain&, const QString&, const QString&) {}
