#include "app/CredentialsDialog.h"
#include "app/DesktopServices.h"
#include "app/FrmMainEvents.h"
#include "app/MessageBoxPrompter.h"
#include "app/SignalBridge.h"
#include "app/Startup.h"
#include "form/FrmMain.h"
#include "form/frmSplash.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "session/JobMonitor.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Spoolwright"));
    QApplication::setApplicationVersion(QStringLiteral(SPOOLWRIGHT_VERSION));

    Environment environment;
    Clock clock;
    MessageBoxPrompter prompter;
    DesktopServices desktop;

    frmSplash splash;
    FrmMainServices services;
    services.environment = &environment;
    services.clock = &clock;
    services.prompter = &prompter;
    services.desktop = &desktop;
    services.monitorProgram = JobMonitorProgram();
    FrmMain* owner = nullptr;
    services.credentials = [&owner](const CredentialsQuestion& question) {
        return AskForCredentials(owner, question);
    };
    FrmMain window(services, &splash);
    WireFrmMain(window);
    owner = &window;
    prompter.setOwner(&window);
    splash.onTimer = [&window] { ShowFrmMain(window); };

    SignalBridge signalBridge;
    CloseOnTermination(signalBridge, window);

    splash.show();
    return app.exec();
}
