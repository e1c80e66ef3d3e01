#include "platform/NumberText.h"

qint64 leadingNumberOf(const QString& text) {
    const QString trimmed = text.trimmed();
    int end = 0;
    if (end < trimmed.size() &&
        (trimmed[end] == QLatin1Char('-') || trimmed[end] == QLatin1Char('+')))
        ++end;
    while (end < trimmed.size() && trimmed[end].isDigit())
        ++end;
    // Too many digits for 64 bits reads as 0, as any other text that is no number.
    return trimmed.left(end).toLongLong();
}
