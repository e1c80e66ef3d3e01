#include "app/ShellWindows.h"

#include "form/FrmMain.h"
#include "session/JobRetrieval.h"
#include "shell/FrmSettings.h"
#include "shell/FrmStats.h"

#include <QAction>
#include <QComboBox>

void WireShellWindows(FrmMain& f) {
    QObject::connect(f.Menu(QStringLiteral("mnuOptions")), &QAction::triggered, &f, [&f] {
        // After a reset of the log, the jobs of the server and queue shown are read
        // again, which logs them into the new log.
        OpenFrmSettings(f, [&f] {
            RetrieveJobs(f, f.CurrentPrinter->currentText(), f.CurrentPrintQueue->currentText());
        });
    });
    QObject::connect(f.Menu(QStringLiteral("MenuStatistics")), &QAction::triggered, &f,
                     [&f] { OpenFrmStats(f); });
}
