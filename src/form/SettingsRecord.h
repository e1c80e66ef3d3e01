#pragma once

#include <QDateTime>
#include <QString>
#include <optional>
#include <variant>

// The values in force when a setting is missing or empty.
namespace SettingDefaults {
inline constexpr const char* ColumnWidths = "1200,3000,1800,1200,800,800,700,1300,2500,800,1800";
inline constexpr const char* ColumnPositions = "1,2,3,4,5,6,7,8,9,10,11";
inline constexpr const char* Tagline = "Save money and the environment by reducing paper and ink "
                                       "usage through better print management.";
} // namespace SettingDefaults

// What the program remembers between runs, as held while it runs. Fields keep the
// type they are read with; the panel and option switches stay raw text until
// changed, and are read as Booleans where "True" is true and anything else false.
struct SettingsRecord {
    // Applied at start-up; written back from the controls at shutdown.
    QString Server, Queue, AutoQueue, TimedRelease, TimedReleaseTime, TimedReleaseAction;
    int DisplaySizeWidth = 14970; // twips, the last normal (not maximised) size
    int DisplaySizeHeight = 0;
    QString ColumnWidths = QString::fromLatin1(SettingDefaults::ColumnWidths);
    QString ColumnPositions = QString::fromLatin1(SettingDefaults::ColumnPositions);
    QString GridFontSize; // points, as read or as the grid's font gives them
    QString ShowErrors, ShowServerView, StartMax, ShowUpdates, FavouritesPanel, ShowNetwork,
        ShowQueueInfo, ShowQueueControl, ShowSearch, ShowStatusBar;
    QString PollNorm, PollAQ, PollAQactive; // milliseconds, or the raw text
    int QuickAction = 0;
    QString JobAction, Exceptions, ReportPath, SimpleView, Company, Tagline, LogPath;
    bool QAHideAllButtons = false;
    bool Audit = false;
    QDateTime ResetTotal;
    QString resetTotalUnread; // a ResetTotal that is not a date, kept to be written back
    // Minutes a held job may wait before it is deleted; 0 or less: never.
    int ExpireHeldAfter = 0;
    // Desktop notifications: a printer that needs attention, and a job held longer
    // than these minutes (0 or less: never).
    bool notifyPrinterAttention = false;
    int notifyHeldAfter = 0;
};

// How a key's text becomes its field and back.
enum class SettingKind {
    Text,          // taken as it stands
    Number,        // the leading whole number ("12abc" reads 12), written as a number
    Switch,        // true only when it reads as true; written "True" or "False"
    PositiveTwips, // a whole number above 0, else the field keeps its value
    Date,          // "yyyy-MM-dd...", written in the program's date format
};

using SettingField = std::variant<QString SettingsRecord::*, int SettingsRecord::*,
                                  bool SettingsRecord::*, QDateTime SettingsRecord::*>;

// One key of the main section of swr.ini, in the order a new file lists them.
struct SettingKey {
    const char* key;
    SettingKind kind;
    SettingField field;
    const char* firstStart;        // the value in force when the key is missing or empty, or null
    const char* section = nullptr; // another section than the main one
};

// Every key of the record, in the order they are written: those of the main section,
// then the few kept in a section of their own.
extern const SettingKey kSettingKeys[];
extern const int kSettingKeyCount;

// A poll interval setting as milliseconds; the default when it is not a number.
int pollInterval(const QString& setting, int defaultMs);

// The poll's three rates, from the settings: normal, while AutoQueue holds, and
// while a job released under AutoQueue prints.
inline constexpr int kPollNormDefaultMs = 10000;
inline constexpr int kPollAQDefaultMs = 6000;
inline constexpr int kPollAQactiveDefaultMs = 10;

// A switch's text as a Boolean: "True" or "False" in any letter case, or a number
// (true unless zero); nothing for any other text.
std::optional<bool> parseBoolean(const QString& text);
// How every switch of the record is read: true only when it reads as true.
inline bool settingIsTrue(const QString& value) {
    return parseBoolean(value).value_or(false);
}
