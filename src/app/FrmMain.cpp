#include "app/FrmMain.h"

#include "app/Timers.h"
#include "app/frmSplash.h"
#include "log/LogDatabase.h"
#include "platform/Clock.h"
#include "platform/CupsSpooler.h"
#include "platform/Environment.h"
#include "session/JobMonitor.h"
#include "session/JobRetrieval.h"
#include "session/JobRow.h"
#include "session/MonitorEvents.h"
#include "session/QueueSelection.h"
#include "session/ServerConnection.h"
#include "shell/History.h"
#include "shell/MainMenu.h"
#include "shell/MenuStyle.h"
#include "shell/Named.h"
#include "shell/PanelFrame.h"
#include "shell/Panels.h"
#include "shell/Settings.h"
#include "shell/StartupSteps.h"
#include "shell/Twips.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>

namespace {

// "Let pending window events run": timer ticks, monitor events and clicks queued
// meanwhile are handled here, between the steps.
void DoEvents() {
    QCoreApplication::processEvents();
}

QTreeWidget* makeJobGrid(QWidget* parent, const char* name, const QStringList& headers) {
    auto* grid = new QTreeWidget(parent);
    grid->setObjectName(QString::fromLatin1(name));
    grid->setColumnCount(headers.size());
    grid->setHeaderLabels(headers);
    grid->setRootIsDecorated(false);
    grid->setUniformRowHeights(true);
    grid->setAlternatingRowColors(true);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setAllColumnsShowFocus(true);
    grid->header()->setSectionsMovable(true);
    grid->header()->setStretchLastSection(false);
    return grid;
}

} // namespace

FrmMain::FrmMain(FrmMainServices services, frmSplash* splashWindow)
    : splash(splashWindow), services_(std::move(services)) {
    setObjectName(QStringLiteral("FrmMain"));
    if (!services_.endProcess)
        services_.endProcess = [](int code) {
            fflush(nullptr);
            std::_Exit(code);
        };
    if (!services_.makeSpooler)
        services_.makeSpooler = [prompt = services_.credentials](const QString& server) {
            return std::make_unique<CupsSpooler>(server, SpoolerTimeouts{}, prompt);
        };
    log_ = std::make_unique<LogDatabase>(
        [this] {
            return LogContext{Settings.LogPath, Settings.Audit, CurrentPrinter->currentText(),
                              CurrentPrintQueue->currentText(), chkAutoQueue->isChecked()};
        },
        services_.environment->programFolder(), *services_.environment, *services_.clock,
        *services_.prompter);
    buildGrid();
    buildStatusBar();
    BuildMainMenu(*this);
    BuildPanels(*this);
    ApplyColumnLayout(*this); // the designed widths, until the settings give others
    wireMenus();
    wireControls();
    setMinimumSize(Twips::toPixels(8150), Twips::toPixels(3800));
    resize(Twips::toPixels(14970), Twips::toPixels(9000));

    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(*this); });
    Timer2 = named(new QTimer(this), "Timer2");
    Timer2->setInterval(1000);
    connect(Timer2, &QTimer::timeout, this, [this] { Timer2_Timer(*this); });
}

FrmMain::~FrmMain() = default;

void FrmMain::buildGrid() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    client->installEventFilter(this);
    JobList = makeJobGrid(client, "JobList", JobListHeaders());
    SearchList = makeJobGrid(client, "SearchList", SearchListHeaders());
}

void FrmMain::wireMenus() {
    connect(Menu(QStringLiteral("menuExit")), &QAction::triggered, this, &FrmMain::menuExit_Click);
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
        QAction* action = Menu(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, [this, action, command = command] {
            action->setChecked(!action->isChecked());
            command(*this);
        });
    }
    connect(Menu(QStringLiteral("mnuClosePanel")), &QAction::triggered, this,
            [this] { mnuClosePanel_Click(*this); });
    connect(Menu(QStringLiteral("mnuSearch")), &QAction::triggered, this,
            [this] { mnuSearch_Click(*this); });
    connect(Menu(QStringLiteral("mnuMenu")), &QAction::triggered, this,
            [this] { mnuMenu_Click(*this); });
}

void FrmMain::wireControls() {
    connect(FindPrintQueues, &QPushButton::clicked, this, [this] { FindPrintQueues_Click(*this); });
    connect(CurrentPrinter->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { CurrentPrinter_KeyDown(*this, 13, 0); });
    connect(CurrentPrintQueue, &QComboBox::activated, this,
            [this] { CurrentPrintQueue_Click(*this); });
    connect(cmdRefreshJobs, &QPushButton::clicked, this, [this] { cmdRefreshJobs_Click(*this); });
}

void FrmMain::buildStatusBar() {
    StatusBar1 = named(new QStatusBar(this), "StatusBar1");
    StatusBar1->setSizeGripEnabled(true);
    const int stretch[4] = {4, 3, 1, 2};
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(StatusBar1);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setContentsMargins(4, 0, 4, 0);
        panel->setFixedHeight(Twips::toPixels(270));
        StatusBar1->addWidget(panel, stretch[i]);
        StatusPanels[static_cast<std::size_t>(i)] = panel;
    }
    setStatusBar(StatusBar1);
}

PrintSpooler* FrmMain::SpoolerFor(const QString& server) {
    std::unique_ptr<PrintSpooler>& spooler = spoolers_[server];
    if (!spooler)
        spooler = services_.makeSpooler(server);
    return spooler.get();
}

QAction* FrmMain::Menu(const QString& name) const {
    return findChild<QAction*>(name, Qt::FindChildrenRecursively);
}

void FrmMain::SetPanelText(int panel, const QString& text) {
    if (panel >= 1 && panel <= 4)
        StatusPanels[static_cast<std::size_t>(panel - 1)]->setText(text);
}

QString FrmMain::PanelText(int panel) const {
    return panel >= 1 && panel <= 4 ? StatusPanels[static_cast<std::size_t>(panel - 1)]->text()
                                    : QString();
}

void FrmMain::AppendSplashStatus(const QString& text) {
    if (splash)
        splash->lblStatus->setText(splash->lblStatus->text() + text);
}

void FrmMain::setWidthTwips(int twips) {
    resize(Twips::toPixels(twips), height());
}

void FrmMain::Show() {
    if (!loaded_)
        Form_Load();
    show();
}

void FrmMain::Form_Load() {
    loaded_ = true;
    if (splash)
        splash->lblStatus->setText(QStringLiteral("Loading....     "));
    // Every step below carries on when it fails: start-up never stops half way.
    setWindowTitle(QStringLiteral("Spoolwright"));
    AppendSplashStatus(QStringLiteral("History, "));
    AppendSplashStatus(QStringLiteral("Internet Connection, "));
    StartUpdateCheck(*this);
    DoEvents();
    if (UserIsAdmin(*this))
        Menu(QStringLiteral("mnuMenu"))->setVisible(true);
    const Environment* environment = services_.environment;
    AppDataFolder = environment ? environment->appData() : QString();
    QDir().mkpath(AppDataFolder); // the settings and history need their folder
    HistoryPath = QDir(AppDataFolder).filePath(QStringLiteral("swr.his"));
    SettingsPath = QDir(AppDataFolder).filePath(QStringLiteral("swr.ini"));
    List_Load(CurrentPrinter, HistoryPath);
    DoEvents();
    AppendSplashStatus(QStringLiteral("Settings, "));
    setWidthTwips(14970);
    SessionPrintedPages = 0;
    LoadSettings(*this);
    Log().WriteAudit(QStringLiteral("Program"), QStringLiteral("Spoolwright Started"));
    DoEvents();
    ApplyColumnLayout(*this);
    ReconnectLastQueue();
    AppendSplashStatus(QStringLiteral("Done."));
    GetCommandLine(*this);
    DoEvents();
    if (splash)
        splash->repaint();
    Timer1->start();
}

void FrmMain::ReconnectLastQueue() {
    QString server = Settings.Server;
    if (server.isEmpty() && services_.environment)
        server = services_.environment->variable(QStringLiteral("COMPUTERNAME"));
    if (server.isEmpty())
        server = QStringLiteral("localhost"); // where a stock print server listens
    CurrentPrinter->setCurrentText(server);
    AppendSplashStatus(QStringLiteral("Server (") + CurrentPrinter->currentText() +
                       QStringLiteral("), "));
    AppendSplashStatus(QStringLiteral("WMI Connection"));
    AppendSplashStatus(QStringLiteral(", "));
    FindPrintQueues_Click(*this);
    DoEvents();
    if (!Settings.Queue.isEmpty())
        for (int i = 0; i < CurrentPrintQueue->count(); ++i)
            if (CurrentPrintQueue->itemText(i) == Settings.Queue)
                CurrentPrintQueue->setCurrentIndex(i); // with duplicates the last one stays
    AppendSplashStatus(QStringLiteral("Queue (") + Settings.Queue + QStringLiteral("), "));
    AppendSplashStatus(QStringLiteral("WMI Job Monitor"));
    AppendSplashStatus(QStringLiteral(", "));
    DoEvents();
    CurrentPrintQueue_Click(*this);
    // Setting a box runs its handler as a click would, so a saved "1" switches
    // AutoQueue or AutoRelease on again; a value that is not a number changes nothing.
    bool isNumber = false;
    int value = Settings.AutoQueue.trimmed().toInt(&isNumber);
    if (isNumber)
        chkAutoQueue->setChecked(value != 0);
    value = Settings.TimedRelease.trimmed().toInt(&isNumber);
    if (isNumber)
        chkTimed->setChecked(value != 0);
    if (!Settings.TimedReleaseTime.isEmpty())
        txtTimed->setText(Settings.TimedReleaseTime);
    if (Settings.TimedReleaseAction == QLatin1String("PRINT"))
        optTimed[0]->setChecked(true);
    else if (Settings.TimedReleaseAction == QLatin1String("CLEAR"))
        optTimed[1]->setChecked(true);
    DoEvents();
}

void FrmMain::Form_Unload() {
    if (unloading_)
        return;
    unloading_ = true;
    Timer1->stop();
    Timer2->stop();
    EndProcessesNamed(QStringLiteral("SWRJobMonitor"));
    Log().WriteAudit(QStringLiteral("Program"), QStringLiteral("Spoolwright Shutdown"));
    SaveSettings(*this);
    if (splash)
        splash->close();
    services_.endProcess(0);
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
    // The client area also changes size when the status bar comes or goes.
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        Form_Resize(*this);
    return QMainWindow::eventFilter(watched, event);
}

void FrmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize(*this);
}

void FrmMain::closeEvent(QCloseEvent* event) {
    if (loaded_)
        Form_Unload();
    event->accept();
}

void FrmMain::menuExit_Click() {
    close();
    // Unloading ends the process; should control come back, end it here.
    services_.endProcess(0);
}

void FrmMain::Form_Terminate() {
    close();
}
