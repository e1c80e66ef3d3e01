#include "platform/TimeOfDay.h"

#include <QLocale>

namespace TimeOfDay {

std::optional<QTime> read(const QString& text) {
    const QString typed = text.trimmed();
    if (typed.isEmpty())
        return std::nullopt;
    // AM and PM are matched in capitals, so "5:00 pm" reads as "5:00 PM" does.
    const QString capitals = typed.toUpper();
    for (const char* format :
         {"h:mm AP", "h:mm:ss AP", "h:mmAP", "h:mm:ssAP", "h AP", "hAP", "H:mm", "H:mm:ss"}) {
        const QTime time = QTime::fromString(capitals, QLatin1String(format));
        if (time.isValid())
            return time;
    }
    const QLocale system = QLocale::system();
    for (QLocale::FormatType type : {QLocale::ShortFormat, QLocale::LongFormat}) {
        const QTime time = system.toTime(typed, type);
        if (time.isValid())
            return time;
    }
    return std::nullopt;
}

QString hourMinute(const QTime& time) {
    return QString::number(time.hour()) + QLatin1Char(':') + QString::number(time.minute());
}

} // namespace TimeOfDay
