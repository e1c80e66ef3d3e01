#include "control/AutoQueue.h"

#include "form/FrmMain.h"
#include "platform/PrintSpooler.h"

#include <QCheckBox>
#include <QComboBox>

void ApplyHoldRule(FrmMain& f, const SpoolerJob& job) {
    if (!f.chkAutoQueue->isChecked() || job.StatusMask == 1 || job.Name == f.LastReleasedJob ||
        !f.ServerContainer)
        return;
    f.ServerContainer->pauseJob(f.CurrentPrintQueue->currentText(), job.JobId);
}
