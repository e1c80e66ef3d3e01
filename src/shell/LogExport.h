#pragma once

#include <QString>
#include <QStringList>

class FrmMain;

// The address the log is mailed to from the Reports menu and the statistics window.
inline constexpr const char* kSupportMailAddress = "support@spoolwright.example";

// The export file: SWR_Log.csv in the temporary folder, overwritten by each export.
QString logCsvPath(const FrmMain& form);

// Writes the export file and opens it with the desktop's program for CSV files, with
// the poll stopped meanwhile. Writes the "Log Exported to CSV" audit row.
void mnuExportLog_Click(FrmMain& form);

// Opens the operator's mail client on a new message with the export file attached.
// When no mail client is set up the operator is told so, and where the file is.
// False when the message could not be handed to a mail client.
bool send_mail(FrmMain& form, const QString& sendTo, const QString& subject, const QString& textmsg,
               const QString& attachment = QString());

// Writes the export file and mails it with this subject and text, then writes the
// "Log Emailed" audit row (also when the mail went nowhere).
void emailLog(FrmMain& form, const QString& subject, const QString& text);

// Reports, Log, Full Log, "Email": the whole log with a short note.
void mnuLogFullReportEmail_Click(FrmMain& form);
QString fullLogMailText(const FrmMain& form);

// The statistics window's message: its label captions as they stand, in three
// groups (the session's three, the totals' four, the log's ten).
QString statisticsMailText(const FrmMain& form, const QStringList& session,
                           const QStringList& totals, const QStringList& logLines);
// The statistics window's "Email": the log with the statistics message.
void emailStatistics(FrmMain& form, const QStringList& session, const QStringList& totals,
                     const QStringList& logLines);
