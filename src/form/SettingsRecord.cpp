#include "form/SettingsRecord.h"

std::optional<bool> ParseBoolean(const QString& text) {
    const QString value = text.trimmed();
    if (value.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (value.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool isNumber = false;
    const double number = value.toDouble(&isNumber);
    if (isNumber)
        return number != 0;
    return std::nullopt;
}
