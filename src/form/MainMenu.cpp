#include "form/MainMenu.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

enum State : unsigned { Shown = 0, Hidden = 1, Disabled = 2, Ticked = 4, Checkable = 8 };

struct Entry {
    const char* name;    // empty for an unnamed separator
    const char* caption; // "-" for a separator
    const char* shortcut = "";
    unsigned state = Shown;
};

QAction* addEntry(QMenu* menu, const Entry& entry) {
    QAction* action = QLatin1String(entry.caption) == QLatin1String("-")
                          ? menu->addSeparator()
                          : menu->addAction(QString::fromUtf8(entry.caption));
    action->setObjectName(QString::fromLatin1(entry.name));
    if (*entry.shortcut)
        action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
    action->setCheckable(entry.state & (Ticked | Checkable));
    action->setChecked(entry.state & Ticked);
    action->setVisible(!(entry.state & Hidden));
    action->setEnabled(!(entry.state & Disabled));
    return action;
}

QMenu* addMenu(QWidget* parent, QMenuBar* bar, const char* name, const char* caption,
               std::initializer_list<Entry> entries) {
    auto* menu = new QMenu(QString::fromUtf8(caption), parent);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    for (const Entry& entry : entries)
        addEntry(menu, entry);
    bar->addMenu(menu);
    return menu;
}

QAction* addCommand(QMenuBar* bar, const char* name, const char* caption, unsigned state) {
    auto* action = new QAction(QString::fromUtf8(caption), bar);
    bar->addAction(action);
    action->setObjectName(QString::fromLatin1(name));
    action->setVisible(!(state & Hidden));
    return action;
}

QMenu* addSubmenu(QMenu* parent, const char* name, const char* caption,
                  std::initializer_list<Entry> entries) {
    QMenu* menu = parent->addMenu(QString::fromUtf8(caption));
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    for (const Entry& entry : entries)
        addEntry(menu, entry);
    return menu;
}

} // namespace

void buildMainMenu(QMainWindow& window) {
    QMenuBar* bar = window.menuBar();

    addMenu(&window, bar, "menufile", "&File",
            {{"mnuNew", "&New Spoolwright", "Ctrl+N"},
             {"mnuseparator3", "-"},
             {"mnuOptions", "&Settings"},
             {"mnuseparator5", "-"},
             {"menuExit", "E&xit"}});

    addMenu(&window, bar, "mnuPanels", "&Panels",
            {{"mnuSearchQueue", "&Search", "", Checkable},
             {"mnuQueueInfo", "Queue &Information", "", Checkable},
             {"mnuQueueControl", "Queue &Control", "", Checkable},
             {"mnuFavouritesPanel", "&Favourites", "", Checkable},
             {"mnuNetwork", "&Network", "", Checkable},
             {"mnuOnline", "&Updates", "", Checkable},
             {"mnusepPanel1", "-"},
             {"mnuClosePanel", "&Close Panels"},
             {"mnusepPanel2", "-"},
             {"mnuStatusBar", "&Status Bar", "", Ticked}});

    addMenu(&window, bar, "menuJobs", "&Jobs",
            {{"MenuResumeJob", "Resume Job", "F2"},
             {"MenuPauseJob", "Pause Job", "F3"},
             {"mnuLogComment", "Add &Log Comment", "Ctrl+L"},
             {"", "-"},
             {"mnuresumealljobs", "Resume All Jobs", "F4"},
             {"mnupausealljobs", "Pause All Jobs", "F5"},
             {"", "-"},
             {"MenuRemove", "Delete Job", "Del"},
             {"menuPurge", "Delete All Jobs", "Shift+Del"},
             {"", "-"},
             {"MenuPriority", "Change Job Priority", "F6"},
             {"mnuJobProperties", "Job Properties", "Ctrl+J", Hidden | Disabled}});

    addMenu(&window, bar, "menuPrinter", "&Printer",
            {{"MenuResume", "Resume Printer", "F7"},
             {"MenuPause", "Pause Printer", "F8"},
             {"", "-"},
             {"mnuPrinterProperties", "Printer &Properties", "Ctrl+P"},
             {"mnutestpage", "Print &Test Page", "Ctrl+T"}});

    QMenu* favourites = addMenu(&window, bar, "mnuFavourites", "&Favourites",
                                {{"mnuAddFav", "&Add Favourite"}, {"mnuFavSep1", "-", "", Hidden}});
    for (int slot = 0; slot < 20; ++slot) {
        const QByteArray name = "mnuFav" + QByteArray::number(slot);
        addEntry(favourites, {name.constData(), "", "", Hidden | Checkable});
    }
    for (const Entry& entry :
         {Entry{"mnuFavSep2", "-", "", Hidden},
          Entry{"mnuDelFav", "&Delete Favourites", "", Hidden | Checkable},
          Entry{"mnuFavToolsSep", "-"}, Entry{"mnuImportFav", "&Import Favourites"},
          Entry{"mnuExportFav", "&Export Favourites", "", Hidden}})
        addEntry(favourites, entry);

    auto* reports = new QMenu(QStringLiteral("&Reports"), &window);
    reports->setObjectName(QStringLiteral("mnuReports"));
    reports->menuAction()->setObjectName(QStringLiteral("mnuReports"));
    addSubmenu(reports, "mnuPrnRptMenu", "Printer",
               {{"mnuPrinterReport", "Current Queue (Javascript)"},
                {"mnuPrinterReportnj", "Current Queue"}});
    addSubmenu(reports, "mnuSrvRptMenu", "Server",
               {{"mnuServerReport", "Current Queues (Javascript)"},
                {"mnuServerReportnj", "Current Queues"}});
    addSubmenu(reports, "mnuFavRptMenu", "Favourites", {{"mnuFavReport", "Current Queues"}});
    QMenu* log = addSubmenu(reports, "mnuLogRptMenu", "Log", {{"mnuLogRptToday", "Today's Logs"}});
    addSubmenu(log, "mnuFullLogReports", "Full Log",
               {{"mnuLogFullReportCSV", "CSV"},
                {"mnuLogFullReportEmail", "Email"},
                {"mnuLogFullReportHTML", "HTML"}});
    for (const Entry& entry :
         {Entry{"mnuLogRptPrinter", "Printers"}, Entry{"mnuLogRptUser", "Users"},
          Entry{"mnuLogRptDailyJobs", "Daily Jobs"}, Entry{"mnuLogRptMonthlyJobs", "Monthly Jobs"},
          Entry{"mnuLogRptSWR", "Spoolwrights"}})
        addEntry(log, entry);
    addSubmenu(reports, "mnuAuditRptMenu", "Audit",
               {{"mnuAuditRptToday", "Today's Audit"}, {"mnuAuditRptActions", "Audit Actions"}});
    bar->addMenu(reports);

    addCommand(bar, "MenuStatistics", "&Statistics", Shown);
    addCommand(bar, "mnuSearch", "&ServerView", Hidden);
    addMenu(&window, bar, "mnuHelpTop", "&Help",
            {{"mnuAbout", "&About"},
             {"Help", "&Contents", "F1"},
             {"mnupsrsep", "-", "", Hidden},
             {"mnupsr", "&Problem Steps Recorder", "", Hidden}});
    addCommand(bar, "mnuMenu", "Show &Full Menu", Hidden);
}
