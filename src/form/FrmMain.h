#pragma once

#include "form/SettingsRecord.h"
#include "platform/SpoolerCredentials.h"

#include <QMainWindow>
#include <QPointer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <map>
#include <memory>

class Clock;
class Desktop;
class LogDatabase;
class PrintSpooler;
class Environment;
class Prompter;
class frmSplash;
class QAction;
class QCheckBox;
class QDialog;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;
class QTextBrowser;
class QToolButton;
class QTreeWidget;
class GuardedSpooler;
class JobGrid;
class PanelFrame;

// What the main window needs from outside the process, handed in when it is made
// so that tests can put their own in place.
struct FrmMainServices {
    Environment* environment = nullptr;
    Clock* clock = nullptr;
    Prompter* prompter = nullptr;
    // Pages and files to open, mail, and the file and folder choosers.
    Desktop* desktop = nullptr;
    // The program's arguments after its own path; the command line is made of them.
    QStringList arguments;
    // Ends the process at once. Tests record the call instead.
    std::function<void(int)> endProcess;
    // Starts a new copy of the program beside this one (the restart after the
    // operator deleted every setting). Tests record the call instead.
    std::function<void()> startNewCopy;
    // The job monitor program; with none, no job events arrive.
    QString monitorProgram;
    // Asks the operator for a print server's user name and password.
    CredentialsPrompt credentials;
    // The vendor's web server ("host" or "host:port") for the update check and the
    // web links; empty: the Server key of [Updates] in swr.ini, else the vendor's own.
    QString vendorServer;
    // Makes the spooler of a server ("host" or "host:port").
    std::function<std::unique_ptr<PrintSpooler>(const QString&)> makeSpooler;
    // The host name of an address, empty when it has none; it may take seconds and
    // is asked off the window's thread. None: the system's resolver.
    std::function<QString(const QString& address)> hostNameOf;
};

// The main window: its controls and the settings record they show. It holds no
// procedure: those live in the subsystem folders and act on it, and the application
// wires its events to them. The state that is not a control is kept by parts of the
// window (WindowPart) in the folders of the procedures that change it: the queue
// session, the poll, the page counter, the monitor link, the session's pages.
//
// A kept name that misleads here: CurrentPrinter is the server box.
class FrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmMain(FrmMainServices services, frmSplash* splash = nullptr);
    ~FrmMain() override;

    // Not controls, kept here because the window's own life decides them:
    // Set by start-up once it has run; shutdown saves nothing before.
    bool loaded = false;
    // Set as shutdown begins: answers that arrive later are not applied.
    bool unloading = false;
    // The operator deleted swr.ini and swr.his: shutdown writes neither back, so the
    // copy of the program started in this one's place begins from the defaults.
    bool settingsDeleted = false;

    // Appends to the splash window's status line, when there is a splash window.
    void appendSplashStatus(const QString& text);
    // Status bar panels 1..4.
    void setPanelText(int panel, const QString& text);
    QString panelText(int panel) const;

    // What the window was handed from outside the process: not a control, the seams
    // every procedure reaches the system through.
    const FrmMainServices& services() const { return services_; }

    // Controls.
    frmSplash* splash = nullptr;
    QTreeWidget* JobList = nullptr;
    QLineEdit* txtFilter = nullptr; // above the grid the operator sees
    QStatusBar* StatusBar1 = nullptr;
    std::array<QLabel*, 4> statusPanels{};
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;

    // Search panel: the server and its queues.
    PanelFrame* PrintQueue = nullptr;
    QComboBox* CurrentPrinter = nullptr;
    QComboBox* CurrentPrintQueue = nullptr;
    QPushButton* FindPrintQueues = nullptr;
    QPushButton* FindComputers = nullptr; // searches the network for print servers
    QLabel* LabelPrintQueues = nullptr;

    // Queue Information panel.
    PanelFrame* frmQueueInfo = nullptr;
    QLineEdit* txtDescription = nullptr;
    QLineEdit* txtLocation = nullptr;
    QLineEdit* txtModel = nullptr;
    QLineEdit* txtPrintPath = nullptr;
    QLineEdit* txtPrintStatus = nullptr;
    QPushButton* cmdTestPage = nullptr;
    QPushButton* cmdPrintProperty = nullptr;

    // Queue Control panel.
    PanelFrame* frmQueueControl = nullptr;
    QPushButton* cmdRefreshJobs = nullptr;
    QCheckBox* chkAutoQueue = nullptr;
    QCheckBox* chkTimed = nullptr;
    QCheckBox* chkAA = nullptr;
    QLineEdit* txtTimed = nullptr;
    std::array<QRadioButton*, 2> optTimed{};
    QToolButton* imgPause = nullptr;
    QToolButton* imgPlay = nullptr;
    QToolButton* imgFavourite = nullptr;
    QLabel* LabelPrintJobs = nullptr;
    QFrame* ActiveUpdate = nullptr;

    // Favourites panel.
    PanelFrame* FrameFavourites = nullptr;
    std::array<QPushButton*, 20> favbutton{};

    // Network panel.
    PanelFrame* frmServer = nullptr;
    QTextBrowser* WebServer = nullptr;
    std::array<QToolButton*, 4> networkButtons{}; // Image2 .. Image5

    // Updates panel.
    PanelFrame* frmOnline = nullptr;
    QTextBrowser* WebVersion = nullptr;
    QLabel* lblWebsite = nullptr;
    QPushButton* mnuUpdate = nullptr;

    // ServerView overlay: every job of the server.
    PanelFrame* FrameSearch = nullptr;
    QTreeWidget* SearchList = nullptr;
    QLabel* SearchStatus = nullptr;
    QLabel* ServerStatus = nullptr;
    QFrame* SearchProgress = nullptr; // a shape coloured by the retrieval's stage
    // Whether the operator has the overlay up (not a control: the menu entry flips it).
    bool ServerViewShown = false;

    // The job grids with the job records their rows show.
    JobGrid& jobGrid() { return *jobGrid_; }
    JobGrid& searchGrid() { return *searchGrid_; }

    // A menu entry or menu by its name ("menuExit", "mnuPanels", ...).
    QAction* menu(const QString& name) const;

    // The job action dialog, made when first asked for.
    QPointer<QDialog> frmAction;

    // One spooler per server name, made when first asked for and kept for the run:
    // not a control, kept here because every folder of procedures from the shell up
    // reaches the print servers through it.
    GuardedSpooler* spoolerFor(const QString& server);

    // The log database and audit trail: not a control, made with the window because
    // each row it writes names the server and queue the window's boxes show.
    LogDatabase& log() { return *log_; }

    SettingsRecord Settings;

signals:
    // The window is being closed (by the operator, the window manager or code).
    void closing();
    // The window or its client area changed size.
    void resized();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildGrid();
    void buildStatusBar();

    FrmMainServices services_;
    std::map<QString, std::unique_ptr<GuardedSpooler>> spoolers_;
    std::unique_ptr<LogDatabase> log_;
    std::unique_ptr<JobGrid> jobGrid_;
    std::unique_ptr<JobGrid> searchGrid_;
};
