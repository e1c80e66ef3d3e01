#pragma once

#include <QDateTime>
#include <QString>

// Every date and time the program shows or stores is written in this one format,
// local time, so that grid cells, job keys and log columns always agree and the
// log's views can compute days and months from the stored text.
namespace DateText {

inline constexpr const char* kFormat = "yyyy-MM-dd HH:mm:ss";

// Local date and time as "yyyy-MM-dd HH:mm:ss"; empty for an invalid value.
QString format(const QDateTime& when);

// Seconds since the epoch (as a spooler reports them) as local date and time text.
QString fromEpoch(qint64 secondsSinceEpoch);

// The time of day alone, "HH:mm:ss", for status lines that show only the time.
QString timeOfDay(const QDateTime& when);

// Reads a text written by format(); invalid when it is not one.
QDateTime parse(const QString& text);

} // namespace DateText
