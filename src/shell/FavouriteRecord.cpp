#include "shell/FavouriteRecord.h"

#include <algorithm>

namespace {

const QString kSeparator = QStringLiteral(" | ");

// A marker of two values: the first gives true, the second false.
std::optional<bool> marker(const QString& field, const char* yes, const char* no) {
    if (field == QLatin1String(yes))
        return true;
    if (field == QLatin1String(no))
        return false;
    return std::nullopt;
}

} // namespace

QStringList favouriteFields(const QString& line) {
    QStringList fields = line.split(QLatin1Char('|'));
    for (QString& field : fields)
        field = field.trimmed();
    return fields;
}

bool favouriteAutoActivates(const QString& line) {
    const QStringList fields = favouriteFields(line);
    return fields.value(3) == QLatin1String("AR On") && fields.value(6) == QLatin1String("AA");
}

QString FavouriteRecord::line() const {
    QString text = server + kSeparator + queue + kSeparator +
                   (autoQueue ? QStringLiteral("AQ On") : QStringLiteral("AQ Off")) + kSeparator +
                   (autoRelease ? QStringLiteral("AR On") : QStringLiteral("AR Off"));
    if (autoRelease) {
        text += kSeparator + (releasePrints ? QStringLiteral("Print") : QStringLiteral("Delete")) +
                kSeparator + releaseTime;
        if (autoActivate)
            text += QStringLiteral(" | AA ");
    }
    return text;
}

std::optional<FavouriteRecord> FavouriteRecord::read(const QString& line) {
    // Four, six or seven fields: counting the bars first turns garbage away cheaply,
    // and a favourites file of garbage may hold hundreds of thousands of pieces.
    const qsizetype bars = line.count(QLatin1Char('|'));
    if (bars != 3 && bars != 5 && bars != 6)
        return std::nullopt;
    // A control character is no part of a name a favourite holds, and would go on
    // into swr.ini and the menu.
    if (std::any_of(line.begin(), line.end(),
                    [](QChar c) { return c.category() == QChar::Other_Control; }))
        return std::nullopt;
    const QStringList fields = favouriteFields(line);
    FavouriteRecord record;
    record.server = fields.value(0);
    record.queue = fields.value(1);
    const std::optional<bool> autoQueue = marker(fields.value(2), "AQ On", "AQ Off");
    const std::optional<bool> autoRelease = marker(fields.value(3), "AR On", "AR Off");
    if (record.server.isEmpty() || record.queue.isEmpty() || !autoQueue || !autoRelease)
        return std::nullopt;
    record.autoQueue = *autoQueue;
    record.autoRelease = *autoRelease;
    if (!record.autoRelease)
        return fields.size() == 4 ? std::optional(record) : std::nullopt;

    const std::optional<bool> prints = marker(fields.value(4), "Print", "Delete");
    record.releaseTime = fields.value(5);
    if (!prints || (fields.size() != 6 && fields.size() != 7))
        return std::nullopt;
    record.releasePrints = *prints;
    if (fields.size() == 7) {
        if (fields[6] != QLatin1String("AA"))
            return std::nullopt;
        record.autoActivate = true;
    }
    return record;
}

QStringList FavouriteRecord::unstorableTexts() const {
    QStringList texts;
    for (const QString& text : {server, queue, autoRelease ? releaseTime : QString()})
        if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('|')))
            texts << text;
    return texts;
}
