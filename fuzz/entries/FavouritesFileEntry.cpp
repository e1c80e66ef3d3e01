#include "FuzzEntries.h"
#include "Scratch.h"

#include "shell/FavouriteRecord.h"
#include "shell/FavouritesImport.h"

namespace FuzzEntries {

QString favouritesFile(const QByteArray& input) {
    const FavouritesImport imported = readFavouritesFile(input);
    bool any = false;
    for (const QString& line : imported.slotLines) {
        if (line.isEmpty())
            continue;
        any = true;
        // A favourite taken in is one the program can show, save and read again.
        const std::optional<FavouriteRecord> record = FavouriteRecord::read(line);
        if (!record)
            return QStringLiteral("the slot took %1, which is no favourite")
                .arg(Scratch::sample(line));
        const std::optional<FavouriteRecord> again = FavouriteRecord::read(record->line());
        if (!again || again->line() != record->line())
            return QStringLiteral("%1 does not read back as itself").arg(Scratch::sample(line));
    }
    if (any != imported.any)
        return QStringLiteral("whether any favourite was found is said wrongly");
    return QString();
}

} // namespace FuzzEntries
