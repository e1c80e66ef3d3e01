#pragma once

#include <QString>
#include <QTime>
#include <optional>

// Clock times as operators type them for the timed release and the favourites.
namespace TimeOfDay {

// The time of day a text gives: 12-hour times with AM or PM in either case
// ("5:00 PM", "5:00:30 pm", "5 PM"), 24-hour times ("17:00", "17:00:30") and the
// system's own short and long time formats. None when the text is no time.
std::optional<QTime> read(const QString& text);

// Hour and minute as plain numbers joined by a colon, the form in which the release
// checks compare a time with the clock: 09:05 gives "9:5".
QString hourMinute(const QTime& time);

} // namespace TimeOfDay
