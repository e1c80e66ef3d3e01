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
#include "shell/CommandLine.h"
#include "shell/LogImportCommand.h"

#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <cstring>

namespace {

// A report run needs no screen: without one it runs off screen, so that a timer or
// cron job can write the report.
void runOffScreenWithoutDisplay(const QStringList& arguments) {
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
        qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        return;
    for (const QString& argument : splitCommandLine(arguments.join(QLatin1Char(' '))))
        if (isReportSwitch(argument))
            qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace

int main(int argc, char** argv) {
    // The two questions every user asks first are answered before anything starts.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(commandLineHelp().toLocal8Bit().constData(), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Spoolwright %s\n", SPOOLWRIGHT_VERSION);
            return 0;
        }
    }
    // Merging a local log into the shared one needs no window.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--import-log") == 0) {
            QCoreApplication app(argc, argv);
            const Environment environment;
            return importLogCommand(environment,
                                    i + 1 < argc ? QString::fromLocal8Bit(argv[i + 1]) : QString());
        }
    }
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    runOffScreenWithoutDisplay(arguments);

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
    services.arguments = QApplication::arguments().mid(1); // without the options Qt took
    services.monitorProgram = jobMonitorProgram();
    FrmMain* owner = nullptr;
    services.credentials = [&owner](const CredentialsQuestion& question) {
        return askForCredentials(owner, question);
    };
    FrmMain window(services, &splash);
    wireFrmMain(window);
    owner = &window;
    prompter.setOwner(&window);
    splash.onTimer = [&window] { showFrmMain(window); };

    SignalBridge signalBridge;
    closeOnTermination(signalBridge, window);

    splash.show();
    return app.exec();
}
