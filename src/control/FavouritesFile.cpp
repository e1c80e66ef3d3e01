#include "control/FavouritesFile.h"

#include "form/FrmMain.h"
#include "platform/Desktop.h"
#include "platform/Prompter.h"
#include "platform/SafeFile.h"
#include "shell/FavouriteSlots.h"
#include "shell/FavouritesImport.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kFilter = QStringLiteral("CSV Files (*.csv);;All Files (*.*)");

} // namespace

void mnuExportFav_Click(FrmMain& f) {
    const QString path = f.services().desktop->saveFileName(&f, QStringLiteral("Export Favourites"),
                                                            QDir::homePath(), kFilter);
    if (path.isEmpty())
        return;
    QString line;
    for (int slot = 0; slot < kFavouriteSlots; ++slot) {
        const QAction* entry = favouriteEntry(f, slot);
        if (entry->isEnabled() && entry->isVisible())
            line += favouriteLine(f, slot) + QLatin1Char(',');
    }
    // A file that cannot be written is left as it was; the favourites stay in place.
    SafeFile::replaceFileContents(path, (line + QStringLiteral("\r\n")).toUtf8());
}

void mnuImportFav_Click(FrmMain& f) {
    const QString path = f.services().desktop->openFileName(&f, QStringLiteral("Import Favourites"),
                                                            QDir::homePath(), kFilter);
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const FavouritesImport imported = readFavouritesFile(file.readLine());
    // A file without a single favourite for a slot is no favourites file: importing
    // it would only wipe the favourites there are.
    const bool any = imported.any;
    if (any) {
        for (int slot = 0; slot < kFavouriteSlots; ++slot) {
            const QString& line = imported.slotLines[std::size_t(slot)];
            if (line.isEmpty())
                clearFavourite(f, slot);
            else
                setFavourite(f, slot, line);
        }
        if (imported.leftOut.isEmpty())
            return;
    }
    const QString opening =
        any ? QStringLiteral("Not every favourite of %1 was imported.")
            : QStringLiteral("%1 holds no favourites to import. Your favourites were left as "
                             "they were.");
    f.services().prompter->message(QStringLiteral("Spoolwright"),
                                   opening.arg(QFileInfo(path).fileName()) + imported.leftOut,
                                   Prompter::Icon::Exclamation);
}
