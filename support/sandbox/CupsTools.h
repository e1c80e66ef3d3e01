#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The command-line tools around a print server, run from the tests and the
// benchmarks: CUPS's own clients (lp, lpadmin, lpstat, ipptool, cupsctl, ...)
// and the sandbox print server's tool.

// How one run of a tool went.
struct ToolRun {
    bool ok = false;        // it started, ended by itself in time and exited with status 0
    QByteArray output;      // its standard output
    QString error;          // when not ok: the command, what went wrong, its standard error
    qint64 nanoseconds = 0; // from start to end, the start of the process included
};

// Long enough for any tool on a busy machine; only a tool that hangs meets it.
constexpr int kToolTimeoutMs = 60000;

// The path of a CUPS tool, from PATH or else from the sbin folders, which an
// ordinary user's PATH often lacks; empty when it is not installed.
QString findCupsTool(const QString& name);

// Runs `tool` (a path, or a name findCupsTool looks up) to its end, with `input`
// on its standard input. A tool still running after timeoutMs is killed.
ToolRun runTool(const QString& tool, const QStringList& arguments,
                const QByteArray& input = QByteArray(), int timeoutMs = kToolTimeoutMs);
