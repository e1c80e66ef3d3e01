#pragma once

#include <QByteArray>
#include <QString>

// The readers of what others wrote, each fed one input as it would meet it: as a
// file, a line, a server's answer or a document. Each returns what went wrong
// (a reader that lost or changed what it should keep), or empty text when all is
// well; a crash or a hang is found by whoever runs it. Shared by the fuzz targets
// and by the tests that replay the inputs the fuzzers once found.
namespace FuzzEntries {

using Entry = QString (*)(const QByteArray& input);

// swr.ini: the profile-file reader, the settings record made from it, and a write.
QString profileFile(const QByteArray& input);
// swr.his, loaded into a server box, saved and loaded again.
QString serverHistory(const QByteArray& input);
// A favourites file being imported.
QString favouritesFile(const QByteArray& input);
// The command line: its first byte picks the most arguments, the rest is the line.
QString commandLine(const QByteArray& input);
// The job monitor's lines, both ways: decoded, encoded again, and read as jobs.
QString monitorLines(const QByteArray& input);
// A print server's IPP answer, read into job and printer records and the job's texts.
QString serverAnswer(const QByteArray& input);
// A job's document: its first byte picks the type the server named.
QString documentPages(const QByteArray& input);
// A log database file that need not be one.
QString logFile(const QByteArray& input);

struct Target {
    const char* name; // the fuzz target's name and its folders' names
    Entry entry;
};
inline constexpr Target kTargets[] = {
    {"profile_file", profileFile},       {"server_history", serverHistory},
    {"favourites_file", favouritesFile}, {"command_line", commandLine},
    {"monitor_lines", monitorLines},     {"server_answer", serverAnswer},
    {"document_pages", documentPages},   {"log_file", logFile},
};

} // namespace FuzzEntries
