#include "shell/StartupSteps.h"

#include "form/FrmMain.h"
#include "shell/PanelBrowser.h"
#include "shell/WebLinks.h"

#include <QTextBrowser>

void StartUpdateCheck(FrmMain& f) {
    // The answer comes while the window goes on loading and running; its status
    // texts show or hide the Updates panel.
    PanelBrowser::of(f.WebVersion)
        .Navigate(VendorAddress(f, QStringLiteral("/cgi-bin/updatecheck.cgi?soft=SWR&vers=") +
                                       VersionText()));
}
