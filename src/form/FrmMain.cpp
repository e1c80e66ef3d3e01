#include "form/FrmMain.h"

#include "form/JobGrid.h"
#include "form/MainMenu.h"
#include "form/Named.h"
#include "form/PanelControls.h"
#include "form/Twips.h"
#include "form/WindowPart.h"
#include "form/frmSplash.h"
#include "log/LogDatabase.h"
#include "platform/CupsSpooler.h"
#include "platform/Environment.h"
#include "platform/GuardedSpooler.h"

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

QTreeWidget* makeJobGrid(QWidget* parent, const char* name, const QStringList& headers) {
    auto* grid = new QTreeWidget(parent);
    grid->setObjectName(QString::fromLatin1(name));
    grid->setColumnCount(headers.size());
    grid->setHeaderLabels(headers);
    grid->setRootIsDecorated(false);
    grid->setUniformRowHeights(true);
    grid->setAlternatingRowColors(true);
    // Ctrl, Shift and Ctrl+A select several jobs, for the Jobs menu to act on at once.
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
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
    if (!services_.startNewCopy)
        services_.startNewCopy = [] {
            QProcess::startDetached(QCoreApplication::applicationFilePath(), {});
        };
    if (!services_.makeSpooler)
        services_.makeSpooler = [prompt = services_.credentials](const QString& server) {
            auto spooler = std::make_unique<CupsSpooler>(server, SpoolerTimeouts{}, prompt);
            // The window counts pages itself, off its thread, once per job: a listing
            // that waited for them would wait for every document of the server.
            spooler->setCountsPages(false);
            return spooler;
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
    buildMainMenu(*this);
    buildPanels(*this);
    for (QLabel* label : {SearchStatus, ServerStatus, LabelPrintQueues, LabelPrintJobs})
        label->setTextFormat(Qt::PlainText);
    setMinimumSize(Twips::toPixels(8150), Twips::toPixels(3800));
    resize(Twips::toPixels(14970), Twips::toPixels(9000));

    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setInterval(100);
    Timer2 = named(new QTimer(this), "Timer2");
    Timer2->setInterval(1000);
}

FrmMain::~FrmMain() {
    // The parts go first, the newest first: work they have under way ends while
    // the spoolers, the log and the controls it uses are still there.
    const QObjectList owned = children();
    for (auto child = owned.rbegin(); child != owned.rend(); ++child)
        delete dynamic_cast<WindowPart*>(*child);
    // A monitor process still running is ended before the controls go: its last
    // output or its end must not reach a window half taken apart.
    for (QProcess* process : findChildren<QProcess*>()) {
        process->disconnect();
        process->kill();
        process->waitForFinished(1000);
    }
}

void FrmMain::buildGrid() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    client->installEventFilter(this);
    txtFilter = named(new QLineEdit(client), "txtFilter");
    txtFilter->setPlaceholderText(QStringLiteral("Filter jobs by user, document or status"));
    txtFilter->setClearButtonEnabled(true);
    JobList = makeJobGrid(client, "JobList", jobListHeaders());
    SearchList = makeJobGrid(client, "SearchList", searchListHeaders());
    jobGrid_ = std::make_unique<JobGrid>(JobList, false);
    searchGrid_ = std::make_unique<JobGrid>(SearchList, true);
}

void FrmMain::buildStatusBar() {
    StatusBar1 = named(new QStatusBar(this), "StatusBar1");
    StatusBar1->setSizeGripEnabled(true);
    const int stretch[4] = {4, 3, 1, 2};
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(StatusBar1);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        panel->setTextFormat(Qt::PlainText); // server, queue and job names are never markup
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setContentsMargins(4, 0, 4, 0);
        panel->setFixedHeight(Twips::toPixels(270));
        StatusBar1->addWidget(panel, stretch[i]);
        statusPanels[static_cast<std::size_t>(i)] = panel;
    }
    setStatusBar(StatusBar1);
}

GuardedSpooler* FrmMain::spoolerFor(const QString& server) {
    std::unique_ptr<GuardedSpooler>& spooler = spoolers_[server];
    if (!spooler)
        spooler = std::make_unique<GuardedSpooler>(services_.makeSpooler(server));
    return spooler.get();
}

QAction* FrmMain::menu(const QString& name) const {
    return findChild<QAction*>(name, Qt::FindChildrenRecursively);
}

void FrmMain::setPanelText(int panel, const QString& text) {
    if (panel >= 1 && panel <= 4)
        statusPanels[static_cast<std::size_t>(panel - 1)]->setText(text);
}

QString FrmMain::panelText(int panel) const {
    return panel >= 1 && panel <= 4 ? statusPanels[static_cast<std::size_t>(panel - 1)]->text()
                                    : QString();
}

void FrmMain::appendSplashStatus(const QString& text) {
    if (splash)
        splash->lblStatus->setText(splash->lblStatus->text() + text);
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
    // The client area also changes size when the status bar comes or goes.
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        emit resized();
    return QMainWindow::eventFilter(watched, event);
}

void FrmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    emit resized();
}

void FrmMain::closeEvent(QCloseEvent* event) {
    emit closing();
    event->accept();
}
