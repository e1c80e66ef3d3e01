#include "app/Startup.h"

#include "control/ReleaseSteps.h"
#include "control/SelectedJobActions.h"
#include "form/FrmMain.h"
#include "form/Twips.h"
#include "form/frmSplash.h"
#include "log/LogDatabase.h"
#include "platform/AdminCheck.h"
#include "platform/Environment.h"
#include "session/JobMonitor.h"
#include "session/QueueSelection.h"
#include "session/ServerConnection.h"
#include "shell/AwaitedAnswers.h"
#include "shell/CommandLine.h"
#include "shell/History.h"
#include "shell/IniFile.h"
#include "shell/MenuStyle.h"
#include "shell/PageCounters.h"
#include "shell/Settings.h"
#include "shell/StartupSteps.h"
#include "shell/WebLinks.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

namespace {

// "Let pending window events run": timer ticks, monitor events and clicks queued
// meanwhile are handled here, between the steps.
void doEvents() {
    QCoreApplication::processEvents();
}

// The rest of the reconnection, once the server answered: the queue of the last
// run, and its AutoQueue and AutoRelease.
void reconnectQueue(FrmMain& f, const std::function<void()>& then) {
    doEvents();
    if (!f.Settings.Queue.isEmpty())
        for (int i = 0; i < f.CurrentPrintQueue->count(); ++i)
            if (f.CurrentPrintQueue->itemText(i) == f.Settings.Queue)
                f.CurrentPrintQueue->setCurrentIndex(i); // with duplicates the last one stays
    f.appendSplashStatus(QStringLiteral("Queue (") + f.Settings.Queue + QStringLiteral("), "));
    f.appendSplashStatus(QStringLiteral("WMI Job Monitor"));
    f.appendSplashStatus(QStringLiteral(", "));
    doEvents();
    CurrentPrintQueue_Click(f);
    // A saved "1" ticks AutoQueue or AutoRelease again, which runs their handlers; a
    // value that is not a number changes nothing.
    bool isNumber = false;
    int value = f.Settings.AutoQueue.trimmed().toInt(&isNumber);
    if (isNumber)
        f.chkAutoQueue->setChecked(value != 0);
    value = f.Settings.TimedRelease.trimmed().toInt(&isNumber);
    if (isNumber)
        f.chkTimed->setChecked(value != 0);
    if (!f.Settings.TimedReleaseTime.isEmpty())
        f.txtTimed->setText(f.Settings.TimedReleaseTime);
    if (f.Settings.TimedReleaseAction == QLatin1String("PRINT"))
        f.optTimed[0]->setChecked(true);
    else if (f.Settings.TimedReleaseAction == QLatin1String("CLEAR"))
        f.optTimed[1]->setChecked(true);
    // From now on, each queue shown with AutoQueue off gets back a hold a crashed run left.
    giveBackHoldLeftBehind(f);
    QObject::connect(f.CurrentPrintQueue, &QComboBox::currentTextChanged, &f,
                     [&f] { giveBackHoldLeftBehind(f); });
    doEvents();
    if (then)
        then();
}

} // namespace

void showFrmMain(FrmMain& f) {
    if (!f.loaded)
        Form_Load(f);
    f.show();
}

void Form_Load(FrmMain& f) {
    f.loaded = true;
    if (f.splash)
        f.splash->lblStatus->setText(QStringLiteral("Loading....     "));
    // Every step below carries on when it fails: start-up never stops half way.
    f.setWindowTitle(QStringLiteral("Spoolwright"));
    f.appendSplashStatus(QStringLiteral("History, "));
    f.appendSplashStatus(QStringLiteral("Internet Connection, "));
    startUpdateCheck(f);
    doEvents();
    endOrphanedJobMonitors();
    if (AdminCheck::runningUserIsAdmin())
        f.menu(QStringLiteral("mnuMenu"))->setVisible(true);
    const Environment& environment = *f.services().environment;
    QDir().mkpath(environment.appData()); // the settings and history need their folder
    List_Load(f.CurrentPrinter, HistoryFilePath(environment));
    doEvents();
    f.appendSplashStatus(QStringLiteral("Settings, "));
    f.resize(Twips::toPixels(14970), f.height());
    SessionPages::of(f).reset();
    LoadSettings(f);
    applyUpdateCheckStatus(f); // an answer that came before the panels were placed
    f.log().WriteAudit(QStringLiteral("Program"), QStringLiteral("Spoolwright Started"));
    doEvents();
    applyColumnLayout(f);
    // The server is asked off the window's thread: the rest of start-up follows its
    // answer, while the window is shown and answers meanwhile.
    ReconnectLastQueue(f, [&f] {
        f.appendSplashStatus(QStringLiteral("Done."));
        GetCommandLine(f);
        doEvents();
        if (f.splash)
            f.splash->repaint();
        f.Timer1->start();
    });
}

void ReconnectLastQueue(FrmMain& f, std::function<void()> then) {
    QString server = f.Settings.Server;
    if (server.isEmpty() && f.services().environment)
        server = f.services().environment->variable(QStringLiteral("COMPUTERNAME"));
    if (server.isEmpty())
        server = QStringLiteral("localhost"); // where a stock print server listens
    f.CurrentPrinter->setCurrentText(server);
    f.appendSplashStatus(QStringLiteral("Server (") + f.CurrentPrinter->currentText() +
                         QStringLiteral("), "));
    f.appendSplashStatus(QStringLiteral("WMI Connection"));
    f.appendSplashStatus(QStringLiteral(", "));
    FindPrintQueues_Click(f, [&f, then] { reconnectQueue(f, then); });
}

void Form_Unload(FrmMain& f) {
    // A close that comes while the first waits for a pass to end is the same close.
    if (f.unloading || !AwaitedAnswers::begin(f, QStringLiteral("Shutdown")))
        return;
    f.Timer1->stop();
    f.Timer2->stop();
    finishSelectedJobsPass(f, 15000);
    f.unloading = true;
    stopJobMonitor(f, 1000);
    f.log().WriteAudit(QStringLiteral("Program"), QStringLiteral("Spoolwright Shutdown"));
    f.log().flushPending();
    f.log().keepWaitingRows(); // what the log could not take is written next time
    SaveSettings(f);
    if (f.splash)
        f.splash->close();
    f.services().endProcess(0);
}

void menuExit_Click(FrmMain& f) {
    f.close();
    // Unloading ends the process; should control come back, end it here.
    f.services().endProcess(0);
}
