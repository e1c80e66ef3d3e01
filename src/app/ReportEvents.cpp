#include "app/ReportEvents.h"

#include "form/FrmMain.h"
#include "log/LogReports.h"
#include "shell/Reports.h"

#include <QAction>

void wireReports(FrmMain& f) {
    for (const LogReportKind& kind : logReportKinds()) {
        const QString entry = kind.menuEntry;
        QObject::connect(f.menu(entry), &QAction::triggered, &f,
                         [&f, entry] { LogReport_Click(f, entry); });
    }
    const std::pair<const char*, void (*)(FrmMain&)> live[] = {
        {"mnuPrinterReport", mnuPrinterReport_Click},
        {"mnuPrinterReportnj", mnuPrinterReportnj_Click},
        {"mnuServerReport", mnuServerReport_Click},
        {"mnuServerReportnj", mnuServerReportnj_Click},
        {"mnuFavReport", mnuFavReport_Click}};
    for (const auto& [name, command] : live)
        QObject::connect(f.menu(QString::fromLatin1(name)), &QAction::triggered, &f,
                         [&f, command = command] { command(f); });
}
