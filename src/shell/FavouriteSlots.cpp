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
        f.Menu(QString::fromLatin1(name))->setVisible(shown);
    if (!shown || f.Settings.SimpleView == QLatin1String("Full Menu"))
        f.Menu(QStringLiteral("mnuExportFav"))->setVisible(shown);
}

} // namespace

QAction* FavouriteEntry(const FrmMain& f, int slot) {
    return f.Menu(QStringLiteral("mnuFav%1").arg(slot));
}

QString FavouriteLine(const FrmMain& f, int slot) {
    return FavouriteEntry(f, slot)->data().toString();
}

void SetFavourite(FrmMain& f, int slot, const QString& line) {
    QAction* entry = FavouriteEntry(f, slot);
    // The line itself is kept beside the caption, where an ampersand in a name is
    // doubled so that it shows instead of marking a shortcut key.
    entry->setData(line);
    entry->setText(QString(line).replace(QLatin1Char('&'), QStringLiteral("&&")));
    entry->setChecked(FavouriteAutoActivates(line));
    entry->setEnabled(true);
    entry->setVisible(true);
    button(f, slot)->setToolTip(line);
    button(f, slot)->setVisible(true);
    showCommands(f, true);
}

void ClearFavourite(FrmMain& f, int slot) {
    QAction* entry = FavouriteEntry(f, slot);
    entry->setData(QString());
    entry->setText(QString());
    entry->setChecked(false);
    entry->setVisible(false);
    button(f, slot)->setToolTip(QString());
    button(f, slot)->setVisible(false);
}

bool AnyFavouriteShown(const FrmMain& f) {
    for (int slot = 0; slot < kFavouriteSlots; ++slot)
        if (FavouriteEntry(f, slot)->isVisible())
            return true;
    return false;
}

void HideFavouriteCommands(FrmMain& f) {
    showCommands(f, false);
    f.Menu(QStringLiteral("mnuDelFav"))->setChecked(false);
}
