#include "shell/StartupSteps.h"

#include "form/FrmMain.h"
#include "shell/PanelBrowser.h"
#include "shell/WebLinks.h"

#include <QTextBrowser>

void startUpdateCheck(FrmMain& f) {
    // The answer comes while the window goes on loading and running; its status
    // texts show or hide the Updates panel.
    PanelBrowser::of(f.WebVersion)
        .navigate(vendorAddress(f, QStringLiteral("/cgi-bin/updatecheck.cgi?soft=SWR&vers=") +
                                       versionText()));
}
