#include "shell/Panels.h"

#include "form/FrmMain.h"
#include "form/PanelFrame.h"
#include "form/Twips.h"
#include "shell/JobFilter.h"

#include <QAction>
#include <QMenu>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTreeWidget>

namespace {

constexpr int kStatusBarTwips = 270;
constexpr int kMinFormWidth = 8150;
constexpr int kMinFormHeight = 3800;
constexpr int kGridTopWithPanels = 2760;

// The panel command: its entry's tick says whether the panel is on.
void togglePanel(FrmMain& f, PanelFrame* panel, const char* entry, QString& setting) {
    QAction* action = f.menu(QString::fromLatin1(entry));
    if (!action->isChecked()) {
        panel->setVisible(true);
        action->setChecked(true);
        setting = QStringLiteral("True");
    } else {
        panel->setVisible(false);
        action->setChecked(false);
        setting = QStringLiteral("False");
    }
    Form_Resize(f);
}

} // namespace

void mnuSearchQueue_Click(FrmMain& f) {
    togglePanel(f, f.PrintQueue, "mnuSearchQueue", f.Settings.ShowSearch);
}
void mnuQueueInfo_Click(FrmMain& f) {
    togglePanel(f, f.frmQueueInfo, "mnuQueueInfo", f.Settings.ShowQueueInfo);
}
void mnuQueueControl_Click(FrmMain& f) {
    togglePanel(f, f.frmQueueControl, "mnuQueueControl", f.Settings.ShowQueueControl);
}
void mnuFavouritesPanel_Click(FrmMain& f) {
    togglePanel(f, f.FrameFavourites, "mnuFavouritesPanel", f.Settings.FavouritesPanel);
}
void mnuNetwork_Click(FrmMain& f) {
    togglePanel(f, f.frmServer, "mnuNetwork", f.Settings.ShowNetwork);
}
void mnuOnline_Click(FrmMain& f) {
    togglePanel(f, f.frmOnline, "mnuOnline", f.Settings.ShowUpdates);
}

void mnuClosePanel_Click(FrmMain& f) {
    const std::pair<const char*, void (*)(FrmMain&)> panels[] = {
        {"mnuQueueInfo", mnuQueueInfo_Click},     {"mnuQueueControl", mnuQueueControl_Click},
        {"mnuNetwork", mnuNetwork_Click},         {"mnuOnline", mnuOnline_Click},
        {"mnuSearchQueue", mnuSearchQueue_Click}, {"mnuFavouritesPanel", mnuFavouritesPanel_Click}};
    for (const auto& [entry, command] : panels)
        if (f.menu(QString::fromLatin1(entry))->isChecked())
            command(f);
    Form_Resize(f);
}

void mnuStatusBar_Click(FrmMain& f) {
    QAction* action = f.menu(QStringLiteral("mnuStatusBar"));
    action->setChecked(!action->isChecked());
    f.StatusBar1->setVisible(action->isChecked());
    Form_Resize(f);
}

void mnuSearch_Click(FrmMain& f) {
    QAction* action = f.menu(QStringLiteral("mnuSearch"));
    if (!f.ServerViewShown) {
        f.ServerViewShown = true;
        f.FrameSearch->setVisible(true);
        f.FrameSearch->raise();
        action->setText(QStringLiteral("Hide ServerView"));
        f.FrameSearch->setGeometryTwips(0, 0, f.FrameSearch->widthTwips(),
                                        f.FrameSearch->heightTwips());
    } else {
        f.ServerViewShown = false;
        f.FrameSearch->setVisible(false);
        action->setText(QStringLiteral("ServerView"));
    }
    placeJobFilter(f); // the filter box goes with the grid shown
}

void frmQueueControl_MouseDown(FrmMain& f, Qt::MouseButton button, const QPoint& at) {
    if (button == Qt::RightButton)
        f.menu(QStringLiteral("menuPrinter"))->menu()->popup(at);
}

void Form_Resize(FrmMain& f) {
    if (f.isMinimized())
        return;
    // The outer size is the window's; the inner ("scale") size is the area below the
    // menu bar, status bar included, as the panels and grid are measured in it.
    const QWidget* client = f.centralWidget();
    // The status bar shows exactly while its entry is ticked.
    const bool statusBar = f.menu(QStringLiteral("mnuStatusBar"))->isChecked();
    const int statusTwips = statusBar ? kStatusBarTwips : 0;
    const int formWidth =
        std::max(Twips::keep(f.width(), f.Settings.DisplaySizeWidth), kMinFormWidth);
    const int formHeight =
        std::max(Twips::keep(f.height(), f.Settings.DisplaySizeHeight), kMinFormHeight);
    const int scaleWidth = Twips::fromPixels(client->width());
    const int scaleHeight = Twips::fromPixels(client->height()) + statusTwips;

    PanelFrame* info = f.frmQueueInfo;
    PanelFrame* control = f.frmQueueControl;
    PanelFrame* favourites = f.FrameFavourites;
    PanelFrame* network = f.frmServer;
    PanelFrame* updates = f.frmOnline;
    const bool search = f.PrintQueue->isVisibleTo(&f);
    auto shown = [&f](const QWidget* w) { return w->isVisibleTo(&f); };

    const int infoTop = search ? 1155 : f.PrintQueue->topTwips();
    info->setGeometryTwips(info->leftTwips(), infoTop, info->widthTwips(), info->heightTwips());

    int gridTop = kGridTopWithPanels;
    const bool wide = shown(control) || shown(network) || shown(updates) || shown(favourites);
    if (!shown(info) && !wide)
        gridTop = infoTop;
    else if (shown(info) && !wide)
        gridTop = infoTop + info->heightTwips() + 100;
    const int gridLeft = 0;
    gridTop += jobFilterHeightTwips(); // the filter box stands above the grid
    const int gridHeight = scaleHeight - gridTop - statusTwips;
    const int gridWidth = scaleWidth - 2 * gridLeft;
    f.JobList->setGeometry(Twips::toPixels(gridLeft), Twips::toPixels(gridTop),
                           Twips::toPixels(std::max(gridWidth, 0)),
                           Twips::toPixels(std::max(gridHeight, 0)));

    const int controlLeft = (!search && !shown(info)) ? info->leftTwips() : 4320;
    control->setGeometryTwips(controlLeft, control->topTwips(), control->widthTwips(),
                              control->heightTwips());
    const int favouritesLeft =
        shown(control) ? controlLeft + control->widthTwips() + 100 : controlLeft;
    favourites->setGeometryTwips(favouritesLeft, favourites->topTwips(), favourites->widthTwips(),
                                 favourites->heightTwips());
    const int networkLeft =
        shown(favourites) ? favouritesLeft + favourites->widthTwips() + 100 : favouritesLeft;
    int networkWidth = network->widthTwips();
    int updatesLeft = updates->leftTwips();
    if (shown(updates) && !shown(network)) {
        updatesLeft = networkLeft;
        networkWidth = 4095;
    } else if (shown(updates) && shown(network)) {
        updatesLeft = scaleWidth - updates->widthTwips() - 100;
        networkWidth = scaleWidth - networkLeft - 100 - updates->widthTwips() - 100;
    } else if (!shown(updates)) {
        networkWidth = scaleWidth - networkLeft - 100;
    }
    network->setGeometryTwips(networkLeft, network->topTwips(), std::max(networkWidth, 0),
                              network->heightTwips());
    updates->setGeometryTwips(updatesLeft, updates->topTwips(), updates->widthTwips(),
                              updates->heightTwips());
    f.WebServer->setMaximumWidth(Twips::toPixels(std::max(networkWidth - 700, 0)));

    f.FrameSearch->setGeometryTwips(f.FrameSearch->leftTwips(), f.FrameSearch->topTwips(),
                                    formWidth, formHeight);
    f.SearchList->resize(
        Twips::toPixels(std::max(formWidth - 250, 0)),
        Twips::toPixels(std::max(formHeight - 360 - jobFilterHeightTwips() - 850, 0)));
    placeJobFilter(f);

    if (!f.isMaximized()) {
        f.Settings.DisplaySizeWidth = formWidth;
        f.Settings.DisplaySizeHeight = formHeight;
    }
}
