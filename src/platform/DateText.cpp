#include "platform/DateText.h"

namespace DateText {

QString format(const QDateTime& when) {
    return when.isValid() ? when.toLocalTime().toString(QLatin1String(kFormat)) : QString();
}

QString fromEpoch(qint64 secondsSinceEpoch) {
    return format(QDateTime::fromSecsSinceEpoch(secondsSinceEpoch));
}

QString timeOfDay(const QDateTime& when) {
    return when.isValid() ? when.toLocalTime().toString(QStringLiteral("HH:mm:ss")) : QString();
}

QDateTime parse(const QString& text) {
    return QDateTime::fromString(text, QLatin1String(kFormat));
}

} // namespace DateText
