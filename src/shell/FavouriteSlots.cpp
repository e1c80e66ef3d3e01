#include "shell/FavouriteSlots.h"

#include "form/FrmMain.h"
#include "shell/FavouriteRecord.h"

#include <QAction>
#include <QPushButton>

namespace {

QPushButton* button(const FrmMain& f, int slot) {
    return f.favbutton[static_cast<std::size_t>(slot)];
}

void showCommands(FrmMain& f, bool shown) {
    for (const char* name : {"mnuFavSep1", "mnuFavSep2", "mnuDelFav"})
        f.menu(QString::fromLatin1(name))->setVisible(shown);
    if (!shown || f.Settings.SimpleView == QLatin1String("Full Menu"))
        f.menu(QStringLiteral("mnuExportFav"))->setVisible(shown);
}

} // namespace

QAction* favouriteEntry(const FrmMain& f, int slot) {
    return f.menu(QStringLiteral("mnuFav%1").arg(slot));
}

QString favouriteLine(const FrmMain& f, int slot) {
    return favouriteEntry(f, slot)->data().toString();
}

void setFavourite(FrmMain& f, int slot, const QString& line) {
    QAction* entry = favouriteEntry(f, slot);
    // The line itself is kept beside the caption, where an ampersand in a name is
    // doubled so that it shows instead of marking a shortcut key.
    entry->setData(line);
    entry->setText(QString(line).replace(QLatin1Char('&'), QStringLiteral("&&")));
    entry->setChecked(favouriteAutoActivates(line));
    entry->setEnabled(true);
    entry->setVisible(true);
    button(f, slot)->setToolTip(line);
    button(f, slot)->setVisible(true);
    showCommands(f, true);
}

void clearFavourite(FrmMain& f, int slot) {
    QAction* entry = favouriteEntry(f, slot);
    entry->setData(QString());
    entry->setText(QString());
    entry->setChecked(false);
    entry->setVisible(false);
    button(f, slot)->setToolTip(QString());
    button(f, slot)->setVisible(false);
}

bool anyFavouriteShown(const FrmMain& f) {
    for (int slot = 0; slot < kFavouriteSlots; ++slot)
        if (favouriteEntry(f, slot)->isVisible())
            return true;
    return false;
}

void hideFavouriteCommands(FrmMain& f) {
    showCommands(f, false);
    f.menu(QStringLiteral("mnuDelFav"))->setChecked(false);
}
