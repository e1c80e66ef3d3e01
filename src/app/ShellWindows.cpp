#include "app/ShellWindows.h"

#include "form/FrmMain.h"
#include "session/JobRetrieval.h"
#include "shell/FrmSettings.h"
#include "shell/FrmStats.h"

#include <QAction>
#include <QComboBox>

void wireShellWindows(FrmMain& f) {
    QObject::connect(f.menu(QStringLiteral("mnuOptions")), &QAction::triggered, &f, [&f] {
        // After a reset of the log, the jobs of the server and queue shown are read
        // again, which logs them into the new log.
        openFrmSettings(f, [&f] {
            RetrieveJobs(f, f.CurrentPrinter->currentText(), f.CurrentPrintQueue->currentText());
        });
    });
    QObject::connect(f.menu(QStringLiteral("MenuStatistics")), &QAction::triggered, &f,
                     [&f] { openFrmStats(f); });
}
