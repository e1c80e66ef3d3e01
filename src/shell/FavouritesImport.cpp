#include "shell/FavouritesImport.h"

#include "shell/FavouriteRecord.h"

#include <QStringList>

namespace {

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

// The pieces of the first line, between its commas.
QStringList piecesOf(const QByteArray& content) {
    const qsizetype end = content.indexOf('\n');
    QString line = QString::fromUtf8(end < 0 ? content : content.left(end));
    if (line.startsWith(QChar(0xFEFF)))
        line.remove(0, 1); // the byte order mark some editors write
    while (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    return line.split(QLatin1Char(','));
}

} // namespace

FavouritesImport readFavouritesFile(const QByteArray& content) {
    const QStringList pieces = piecesOf(content);
    FavouritesImport imported;
    Pieces unread, beyond;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QString& piece = pieces[i];
        const bool record = FavouriteRecord::read(piece).has_value();
        if (record && i < kFavouriteSlots) {
            imported.slotLines[std::size_t(i)] = piece;
            imported.any = true;
        }
        if (!record && !piece.trimmed().isEmpty())
            unread.add(piece);
        else if (record && i >= kFavouriteSlots)
            beyond.add(piece);
    }
    imported.leftOut =
        unread.listed(QStringLiteral("These are no favourites and were skipped:")) +
        beyond.listed(QStringLiteral("These found no free place among the %1 favourites:")
                          .arg(kFavouriteSlots));
    return imported;
}
