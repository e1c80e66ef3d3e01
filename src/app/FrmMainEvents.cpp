#include "app/FrmMainEvents.h"

#include "app/FavouriteEvents.h"
#include "app/HelpAndNetworkEvents.h"
#include "app/JobFilterEvents.h"
#include "app/ReleaseEvents.h"
#include "app/ReportEvents.h"
#include "app/ShellWindows.h"
#include "app/Startup.h"
#include "control/JobActions.h"
#include "control/QueueActions.h"
#include "control/ReleaseSteps.h"
#include "form/FrmMain.h"
#include "form/PanelFrame.h"
#include "log/LogDatabase.h"
#include "session/JobRetrieval.h"
#include "session/QueuePoll.h"
#include "session/QueueSelection.h"
#include "session/ServerConnection.h"
#include "session/StatusRedraw.h"
#include "shell/MenuStyle.h"
#include "shell/Panels.h"
#include "shell/Settings.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace {

void wireMenus(FrmMain& f) {
    QObject::connect(f.menu(QStringLiteral("menuExit")), &QAction::triggered, &f,
                     [&f] { menuExit_Click(f); });
    // A ticked entry flips its own tick when chosen; the commands decide by the tick
    // as it was, so the flip is undone before they run.
    const std::pair<const char*, void (*)(FrmMain&)> toggles[] = {
        {"mnuSearchQueue", mnuSearchQueue_Click},
        {"mnuQueueInfo", mnuQueueInfo_Click},
        {"mnuQueueControl", mnuQueueControl_Click},
        {"mnuFavouritesPanel", mnuFavouritesPanel_Click},
        {"mnuNetwork", mnuNetwork_Click},
        {"mnuOnline", mnuOnline_Click},
        {"mnuStatusBar", mnuStatusBar_Click}};
    for (const auto& [name, command] : toggles) {
        QAction* action = f.menu(QString::fromLatin1(name));
        QObject::connect(action, &QAction::triggered, &f, [&f, action, command = command] {
            action->setChecked(!action->isChecked());
            command(f);
        });
    }
    const std::pair<const char*, void (*)(FrmMain&)> commands[] = {
        {"mnuClosePanel", mnuClosePanel_Click},
        {"mnuSearch", mnuSearch_Click},
        {"mnuMenu", mnuMenu_Click},
        {"MenuPauseJob", MenuPauseJob},
        {"MenuResumeJob", MenuResumeJob},
        {"MenuRemove", MenuRemove},
        {"MenuPriority", MenuPriority},
        {"mnuLogComment", mnuLogComment},
        {"mnuJobProperties", mnuJobProperties},
        {"mnupausealljobs", mnupausealljobs},
        {"mnuresumealljobs", mnuresumealljobs},
        {"menuPurge", menuPurge},
        {"MenuPause", MenuPause},
        {"MenuResume", MenuResume},
        {"mnutestpage", mnutestpage},
        {"mnuPrinterProperties", mnuPrinterProperties}};
    for (const auto& [name, command] : commands)
        QObject::connect(f.menu(QString::fromLatin1(name)), &QAction::triggered, &f,
                         [&f, command = command] { command(f); });
}

void wireControls(FrmMain& f) {
    QObject::connect(f.FindPrintQueues, &QPushButton::clicked, &f,
                     [&f] { FindPrintQueues_Click(f); });
    QObject::connect(f.CurrentPrinter->lineEdit(), &QLineEdit::returnPressed, &f,
                     [&f] { CurrentPrinter_KeyDown(f, 13, 0); });
    QObject::connect(f.CurrentPrintQueue, &QComboBox::activated, &f,
                     [&f] { CurrentPrintQueue_Click(f); });
    QObject::connect(f.cmdRefreshJobs, &QPushButton::clicked, &f,
                     [&f] { cmdRefreshJobs_Click(f); });
    QObject::connect(f.cmdTestPage, &QPushButton::clicked, &f, [&f] { mnutestpage(f); });
    QObject::connect(f.cmdPrintProperty, &QPushButton::clicked, &f,
                     [&f] { mnuPrinterProperties(f); });
    // The play picture shows a running queue and pauses it; the pause picture resumes.
    QObject::connect(f.imgPlay, &QToolButton::clicked, &f, [&f] { MenuPause(f); });
    QObject::connect(f.imgPause, &QToolButton::clicked, &f, [&f] { MenuResume(f); });
    f.frmQueueControl->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(
        f.frmQueueControl, &QWidget::customContextMenuRequested, &f, [&f](const QPoint& at) {
            frmQueueControl_MouseDown(f, Qt::RightButton, f.frmQueueControl->mapToGlobal(at));
        });
}

} // namespace

void wireFrmMain(FrmMain& f) {
    applyColumnLayout(f); // the designed widths, until the settings give others
    wireMenus(f);
    wireControls(f);
    wireReports(f);
    wireHelpAndNetwork(f);
    wireShellWindows(f);
    wireFavourites(f);
    wireReleaseControls(f);
    wireJobFilter(f);
    QObject::connect(f.Timer1, &QTimer::timeout, &f, [&f] { Timer1_Timer(f); });
    // Rows the log could not take wait in memory; the status bar says so until the
    // log takes them.
    f.log().setBacklogObserver([&f](int waiting) {
        if (waiting > 0 || f.panelText(1).startsWith(QStringLiteral("Log busy")))
            f.setPanelText(1, LogDatabase::backlogText(waiting));
    });
    QueuePoll::of(f).setReleaseSteps(PollReleaseSteps);
    QObject::connect(f.Timer2, &QTimer::timeout, &f, [&f] { Timer2_Timer(f); });
    QObject::connect(&f, &FrmMain::resized, &f, [&f] { Form_Resize(f); });
    QObject::connect(&f, &FrmMain::closing, &f, [&f] {
        if (f.loaded)
            Form_Unload(f);
    });
}
