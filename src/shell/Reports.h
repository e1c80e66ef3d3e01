#pragma once

#include <QString>
#include <functional>

class FrmMain;
struct LogReportKind;

// The HTML reports the Reports menu and the command line ask for. Each writes its
// page to its file in the ReportPath folder, replacing the previous one only once
// the new page is on disk whole, and opens it with the desktop's handler unless
// `noOpen` is set. A page that cannot be written is told to the operator in one
// message naming the file and the reason (on standard error with `noOpen`, which only
// the unattended command line sets); the old file stays. True when written.
bool logReport(FrmMain& form, const LogReportKind& kind, bool noOpen = false);

// The live reports read the servers at once, then look up the names of the
// computers their jobs came from off the window's thread, all at once, while the
// window goes on; the page is written once the names are in (at once when no
// address is to be looked up), and then `done` is called with whether it was. The
// same report asked for again while it waits is not made twice.
using ReportDone = std::function<void(bool written)>;
void PrinterReport(FrmMain& form, const QString& server, const QString& queue, bool noOpen,
                   bool withScript, ReportDone done = {});
void ServerReport(FrmMain& form, const QString& server, bool noOpen, bool withScript,
                  ReportDone done = {});
void FavouritesReport(FrmMain& form, bool noOpen, ReportDone done = {});

// The menu commands: the report, then its audit row (and, for the live reports, the
// activity light back to green). A log report is named by its menu entry.
void LogReport_Click(FrmMain& form, const QString& menuEntry);
void mnuPrinterReport_Click(FrmMain& form);
void mnuPrinterReportnj_Click(FrmMain& form);
void mnuServerReport_Click(FrmMain& form);
void mnuServerReportnj_Click(FrmMain& form);
void mnuFavReport_Click(FrmMain& form);

// The file of a report in the report folder.
QString reportFilePath(const FrmMain& form, const QString& fileName);
