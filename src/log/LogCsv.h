#pragma once

#include <QByteArray>
#include <QString>

class LogDatabase;

// The job log as comma-separated text for a spreadsheet: a header line, then one
// line per row of the log in the log's own order, each ended by CR LF, and one more
// CR LF at the end. UTF-8.
//
// The Description has its commas removed and stands in single quotes, as it always
// has; every other field that holds a comma, a double quote or a line break stands in
// double quotes with its double quotes doubled, so that a comment or a date with a
// comma never shifts the columns after it. A field that starts with =, +, -, @, a tab
// or a carriage return gets a leading single quote, so that no spreadsheet takes it
// for a formula. A log that cannot be read gives the
// header line alone.
QByteArray logCsvText(LogDatabase& log);

// Writes logCsvText to path, replacing the file only once the new one is whole.
// False when the file could not be written.
bool WriteLogCsv(LogDatabase& log, const QString& path);

// The header line, without its line end.
extern const char* const kLogCsvHeader;
