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
#include <algorithm>
#include <array>

namespace {

const QString kFilter = QStringLiteral("CSV Files (*.csv);;All Files (*.*)");

// How many pieces of each kind a message names; the rest are counted. A file of
// garbage may hold hundreds of thousands.
constexpr qsizetype kNamedAtMost = 5;

// A piece as a message names it: a piece of garbage may be long, and may hold
// characters a message box cannot show.
QString shown(const QString& piece) {
    constexpr int kLongest = 100;
    QString text = piece.trimmed();
    if (text.size() > kLongest)
        text = text.left(kLongest) + QStringLiteral("...");
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control)
            c = QChar::ReplacementCharacter;
    return text;
}

// The pieces of one kind: the first few as the message names them, and how many.
struct Pieces {
    QStringList named;
    qsizetype count = 0;

    void add(const QString& piece) {
        if (named.size() < kNamedAtMost)
            named << shown(piece);
        ++count;
    }
    QString listed(const QString& heading) const {
        if (count == 0)
            return QString();
        QString text = QStringLiteral("\r\n\r\n") + heading;
        for (const QString& piece : named)
            text += QStringLiteral("\r\n") + piece;
        if (count > named.size())
            text += QStringLiteral("\r\n(and %1 more)").arg(count - named.size());
        return text;
    }
};

// The pieces of the file's first line, between its commas.
QStringList piecesOf(QFile& file) {
    QString line = QString::fromUtf8(file.readLine());
    if (line.startsWith(QChar(0xFEFF)))
        line.remove(0, 1); // the byte order mark some editors write
    while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    return line.split(QLatin1Char(','));
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
    const QStringList pieces = piecesOf(file);

    std::array<bool, kFavouriteSlots> isRecord{};
    Pieces unread, beyond;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QString& piece = pieces[i];
        const bool record = FavouriteRecord::read(piece).has_value();
        if (i < kFavouriteSlots)
            isRecord[std::size_t(i)] = record;
        if (!record && !piece.trimmed().isEmpty())
            unread.add(piece);
        else if (record && i >= kFavouriteSlots)
            beyond.add(piece);
    }
    // A file without a single favourite for a slot is no favourites file: importing
    // it would only wipe the favourites there are.
    const bool any =
        std::any_of(isRecord.begin(), isRecord.end(), [](bool record) { return record; });
    if (any) {
        for (int slot = 0; slot < kFavouriteSlots; ++slot) {
            if (isRecord[std::size_t(slot)])
                SetFavourite(f, slot, pieces[slot]);
            else
                ClearFavourite(f, slot);
        }
        if (unread.count == 0 && beyond.count == 0)
            return;
    }
    const QString opening =
        any ? QStringLiteral("Not every favourite of %1 was imported.")
            : QStringLiteral("%1 holds no favourites to import. Your favourites were left as "
                             "they were.");
    f.services().prompter->message(
        QStringLiteral("Spoolwright"),
        opening.arg(QFileInfo(path).fileName()) +
            unread.listed(QStringLiteral("These are no favourites and were skipped:")) +
            beyond.listed(QStringLiteral("These found no free place among the %1 favourites:")
                              .arg(kFavouriteSlots)),
        Prompter::Icon::Exclamation);
}
