#include "control/FavouritesFile.h"

#include "form/FrmMain.h"
#include "platform/Desktop.h"
#include "platform/Prompter.h"
#include "platform/SafeFile.h"
#include "shell/FavouriteRecord.h"
#include "shell/FavouriteSlots.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kFilter = QStringLiteral("CSV Files (*.csv);;All Files (*.*)");

// A line as a message names it: a line of garbage may be long.
QString shown(const QString& line) {
    constexpr int kLongest = 100;
    const QString text = line.trimmed();
    return text.size() > kLongest ? text.left(kLongest) + QStringLiteral("...") : text;
}

QString listed(const QString& heading, const QStringList& lines) {
    if (lines.isEmpty())
        return QString();
    QString text = QStringLiteral("\r\n\r\n") + heading;
    for (const QString& line : lines)
        text += QStringLiteral("\r\n") + shown(line);
    return text;
}

} // namespace

void mnuExportFav_Click(FrmMain& f) {
    const QString path = f.services().desktop->saveFileName(&f, QStringLiteral("Export Favourites"),
                                                            QDir::homePath(), kFilter);
    if (path.isEmpty())
        return;
    QString line;
    for (int slot = 0; slot < kFavouriteSlots; ++slot) {
        const QAction* entry = FavouriteEntry(f, slot);
        if (entry->isEnabled() && entry->isVisible())
            line += FavouriteLine(f, slot) + QLatin1Char(',');
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
    QString line = QString::fromUtf8(file.readLine());
    if (line.startsWith(QChar(0xFEFF)))
        line.remove(0, 1); // the byte order mark some editors write
    while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    const QStringList pieces = line.split(QLatin1Char(','));

    QStringList unread;
    for (int slot = 0; slot < kFavouriteSlots; ++slot) {
        const QString piece = pieces.value(slot);
        const bool record = FavouriteRecord::read(piece).has_value();
        if (record)
            SetFavourite(f, slot, piece);
        else
            ClearFavourite(f, slot);
        if (!record && !piece.trimmed().isEmpty())
            unread << piece;
    }
    if (!AnyFavouriteShown(f))
        HideFavouriteCommands(f);

    QStringList beyond;
    for (const QString& piece : pieces.mid(kFavouriteSlots))
        if (!piece.trimmed().isEmpty())
            beyond << piece;
    if (unread.isEmpty() && beyond.isEmpty())
        return;
    f.services().prompter->message(
        QStringLiteral("Spoolwright"),
        QStringLiteral("Not every favourite of %1 was imported.").arg(QFileInfo(path).fileName()) +
            listed(QStringLiteral("These are no favourites and were skipped:"), unread) +
            listed(QStringLiteral("These found no free place among the %1 favourites:")
                       .arg(kFavouriteSlots),
                   beyond),
        Prompter::Icon::Exclamation);
}
