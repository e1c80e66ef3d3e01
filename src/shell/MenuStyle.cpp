#include "shell/MenuStyle.h"

#include "form/FrmMain.h"
#include "platform/AdminCheck.h"

#include <QAction>

namespace {

void setVisible(FrmMain& f, std::initializer_list<const char*> names, bool visible) {
    for (const char* name : names)
        if (QAction* action = f.menu(QString::fromLatin1(name)))
            action->setVisible(visible);
}

} // namespace

void SwSimpleView(FrmMain& f, const QString& tempView) {
    const QString style = tempView.isEmpty() ? f.Settings.SimpleView : tempView;

    setVisible(f, {"mnuMenu"}, false);
    setVisible(f,
               {"menufile", "menuJobs", "mnuReports", "mnuImportFav", "mnuPanels", "mnuFavToolsSep",
                "menuPrinter", "mnuNew", "mnuseparator3", "mnuHelpTop", "MenuStatistics",
                "mnuFavourites", "mnuOptions", "mnuseparator5"},
               true);
    if (settingIsTrue(f.Settings.ShowServerView))
        setVisible(f, {"mnuSearch"}, true); // the reset never hides it
    setVisible(f, {"mnuExportFav"}, f.menu(QStringLiteral("mnuFav0"))->isVisible());

    if (style == QLatin1String("Full Menu")) {
    } else if (style == QLatin1String("Classic Menu")) {
        setVisible(f, {"menuJobs", "menuPrinter", "mnuImportFav", "mnuExportFav", "mnuFavToolsSep"},
                   false);
    } else if (style == QLatin1String("Simple Menu")) {
        setVisible(f,
                   {"menuJobs", "menuPrinter", "mnuReports", "mnuPanels", "mnuNew", "mnuseparator3",
                    "mnuImportFav", "mnuExportFav", "mnuFavToolsSep"},
                   false);
    } else if (style == QLatin1String("Help Menu") || style == QLatin1String("No Menu")) {
        setVisible(f,
                   {"menufile", "mnuPanels", "menuJobs", "menuPrinter", "mnuFavourites",
                    "mnuReports", "MenuStatistics", "mnuSearch"},
                   false);
        if (style == QLatin1String("No Menu"))
            setVisible(f, {"mnuHelpTop"}, false);
        if (AdminCheck::runningUserIsAdmin())
            setVisible(f, {"mnuMenu"}, true);
    } else {
        f.Settings.SimpleView = QStringLiteral("Full Menu");
        SwSimpleView(f);
        return;
    }
    f.update();
}

void mnuMenu_Click(FrmMain& f) {
    SwSimpleView(f, QStringLiteral("Full Menu"));
}
