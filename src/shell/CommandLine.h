#pragma once

#include <QString>
#include <QStringList>

class FrmMain;

// The program's command line: "/rpt:Printer", "/rpt:Server" and "/rpt:Fav" write
// that live report without opening it and close the window; "/menu:Full",
// "/menu:Classic", "/menu:Simple", "/menu:Help" and "/menu:No" apply a menu style for
// the run; "/?" opens the help page and closes the window; anything else is the
// server name the server search falls back on.

// Splits the raw command line (the arguments joined by one blank each) at "/" and
// tabs. Blanks belong to the arguments; several separators in a row make no empty
// argument; splitting stops when maxArgs arguments are found.
QStringList splitCommandLine(const QString& commandLine, int maxArgs = 10);

// Whether an argument is one of the report switches, which need no display.
bool isReportSwitch(const QString& argument);

// Acts on the window's command line, argument by argument, as the last step of
// start-up; returns the arguments.
QStringList GetCommandLine(FrmMain& form, int MaxArgs = 10);

// What --help prints.
QString commandLineHelp();
