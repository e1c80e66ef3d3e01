#include "form/SettingsRecord.h"

using R = SettingsRecord;
using K = SettingKind;

const SettingKey kSettingKeys[] = {
    {"Server", K::Text, &R::Server, nullptr},
    {"Queue", K::Text, &R::Queue, nullptr},
    {"AutoQueue", K::Text, &R::AutoQueue, nullptr},
    {"TimedRelease", K::Text, &R::TimedRelease, nullptr},
    {"TimedReleaseTime", K::Text, &R::TimedReleaseTime, nullptr},
    {"TimedReleaseAction", K::Text, &R::TimedReleaseAction, nullptr},
    {"DisplaySizeWidth", K::PositiveTwips, &R::DisplaySizeWidth, nullptr},
    {"DisplaySizeHeight", K::PositiveTwips, &R::DisplaySizeHeight, nullptr},
    {"ColumnWidths", K::Text, &R::ColumnWidths, SettingDefaults::ColumnWidths},
    {"ColumnPositions", K::Text, &R::ColumnPositions, SettingDefaults::ColumnPositions},
    {"GridFontSize", K::Text, &R::GridFontSize, nullptr},
    {"ShowErrors", K::Text, &R::ShowErrors, nullptr},
    {"ShowServerView", K::Text, &R::ShowServerView, nullptr},
    {"StartMax", K::Text, &R::StartMax, nullptr},
    {"Company", K::Text, &R::Company, "Spoolwright"},
    {"Tagline", K::Text, &R::Tagline, SettingDefaults::Tagline},
    {"ShowUpdates", K::Text, &R::ShowUpdates, nullptr},
    {"FavouritesPanel", K::Text, &R::FavouritesPanel, nullptr},
    {"ShowNetwork", K::Text, &R::ShowNetwork, nullptr},
    {"ShowQueueInfo", K::Text, &R::ShowQueueInfo, nullptr},
    {"ShowQueueControl", K::Text, &R::ShowQueueControl, nullptr},
    {"ShowSearch", K::Text, &R::ShowSearch, nullptr},
    {"ShowStatusBar", K::Text, &R::ShowStatusBar, nullptr},
    {"Audit", K::Switch, &R::Audit, nullptr},
    {"PollNorm", K::Text, &R::PollNorm, "10000"},
    {"PollAQ", K::Text, &R::PollAQ, "6000"},
    {"PollAQactive", K::Text, &R::PollAQactive, "10"},
    {"QuickAction", K::Number, &R::QuickAction, nullptr},
    {"JobAction", K::Text, &R::JobAction, nullptr},
    {"Exceptions", K::Text, &R::Exceptions, nullptr},
    {"ResetTotal", K::Date, &R::ResetTotal, nullptr}, // empty: now
    {"ReportPath", K::Text, &R::ReportPath, nullptr}, // empty: the temporary folder
    {"LogPath", K::Text, &R::LogPath, nullptr},       // empty: the settings folder
    {"SimpleView", K::Text, &R::SimpleView, nullptr}, // repaired by the menu style
    {"QAHideAllButtons", K::Switch, &R::QAHideAllButtons, nullptr},
    {"ExpireHeldAfter", K::Number, &R::ExpireHeldAfter, "0", "AutoQueue"},
    {"PrinterAttention", K::Switch, &R::notifyPrinterAttention, nullptr, "Notifications"},
    {"HeldAfter", K::Number, &R::notifyHeldAfter, "0", "Notifications"},
};
const int kSettingKeyCount = static_cast<int>(std::size(kSettingKeys));

std::optional<bool> parseBoolean(const QString& text) {
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

int pollInterval(const QString& setting, int defaultMs) {
    bool ok = false;
    const int ms = setting.trimmed().toInt(&ok);
    return ok && ms > 0 ? ms : defaultMs;
}
