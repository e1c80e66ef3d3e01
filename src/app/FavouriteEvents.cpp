#include "app/FavouriteEvents.h"

#include "control/Favourites.h"
#include "control/FavouritesFile.h"
#include "form/FrmMain.h"
#include "shell/FavouriteSlots.h"

#include <QAction>
#include <QPushButton>
#include <QToolButton>

void wireFavourites(FrmMain& f) {
    QObject::connect(f.imgFavourite, &QToolButton::clicked, &f, [&f] { imgFavourite_Click(f); });
    // A ticked entry flips its own tick when chosen; the commands decide by the tick
    // as it was, so the flip is undone before they run.
    for (int slot = 0; slot < kFavouriteSlots; ++slot) {
        QAction* entry = favouriteEntry(f, slot);
        QObject::connect(entry, &QAction::triggered, &f, [&f, entry, slot] {
            entry->setChecked(!entry->isChecked());
            mnuFav_Click(f, slot);
        });
        QObject::connect(f.favbutton[static_cast<std::size_t>(slot)], &QPushButton::clicked, &f,
                         [&f, slot] { favbutton_Click(f, slot); });
    }
    QAction* deleteMode = f.menu(QStringLiteral("mnuDelFav"));
    QObject::connect(deleteMode, &QAction::triggered, &f, [&f, deleteMode] {
        deleteMode->setChecked(!deleteMode->isChecked());
        mnuDelFav_Click(f);
    });
    const std::pair<const char*, void (*)(FrmMain&)> commands[] = {
        {"mnuAddFav", mnuAddFav_Click},
        {"mnuExportFav", mnuExportFav_Click},
        {"mnuImportFav", mnuImportFav_Click}};
    for (const auto& [name, command] : commands)
        QObject::connect(f.menu(QString::fromLatin1(name)), &QAction::triggered, &f,
                         [&f, command = command] { command(f); });
}
