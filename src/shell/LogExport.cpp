#include "shell/LogExport.h"

#include "form/FrmMain.h"
#include "form/frmSplash.h"
#include "log/LogCsv.h"
#include "log/LogDatabase.h"
#include "platform/Clock.h"
#include "platform/DateText.h"
#include "platform/Desktop.h"
#include "platform/Environment.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QTimer>
#include <QUrl>

namespace {

const char* const kPromo =
    "Save money and the environment by reducing paper and ink usage through better "
    "printer management.";

QString now(const FrmMain& f) {
    return DateText::format(f.services().clock->now());
}

QString signature() {
    return QStringLiteral("Spoolwright - ") + QLatin1String(kVendorWebAddress);
}

} // namespace

QString logCsvPath(const FrmMain& f) {
    return QDir(f.services().environment->temp()).filePath(QStringLiteral("SWR_Log.csv"));
}

void mnuExportLog_Click(FrmMain& f) {
    f.Timer2->stop();
    const QString path = logCsvPath(f);
    WriteLogCsv(f.log(), path);
    // A file that could not be written is opened all the same: the desktop says
    // what it says of a missing file.
    f.services().desktop->openUrl(QUrl::fromLocalFile(path));
    f.Timer2->start();
    f.log().WriteAudit(QStringLiteral("Log"), QStringLiteral("Log Exported to CSV"));
}

bool send_mail(FrmMain& f, const QString& sendTo, const QString& subject, const QString& textmsg,
               const QString& attachment) {
    if (f.services().desktop->composeMail(sendTo, subject, textmsg, attachment))
        return true;
    QString text = QStringLiteral("No mail program is set up on this computer, so the message "
                                  "could not be prepared.");
    if (!attachment.isEmpty())
        text += QStringLiteral("\nThe log was saved as ") + attachment +
                QStringLiteral(" for you to send yourself.");
    f.services().prompter->message(QStringLiteral("Spoolwright"), text,
                                   Prompter::Icon::Exclamation);
    return false;
}

void emailLog(FrmMain& f, const QString& subject, const QString& text) {
    const QString path = logCsvPath(f);
    WriteLogCsv(f.log(), path);
    send_mail(f, QLatin1String(kSupportMailAddress), subject, text, path);
    f.log().WriteAudit(QStringLiteral("Log"), QStringLiteral("Log Emailed"));
}

QString fullLogMailText(const FrmMain& f) {
    const Environment& environment = *f.services().environment;
    return QStringList{QStringLiteral("Exported from Spoolwright by ") + environment.userName() +
                           QStringLiteral(" on ") + environment.computerName() +
                           QStringLiteral(" at ") + now(f),
                       QString(), QLatin1String(kPromo), signature()}
        .join(QStringLiteral("\r\n"));
}

void mnuLogFullReportEmail_Click(FrmMain& f) {
    emailLog(f, QStringLiteral("Spoolwright - Full Log"), fullLogMailText(f));
}

QString statisticsMailText(const FrmMain& f, const QStringList& session, const QStringList& totals,
                           const QStringList& logLines) {
    const QString rule = QStringLiteral("------------------");
    QStringList lines{QStringLiteral("Spoolwright on ") + f.services().environment->computerName() +
                          QStringLiteral(" at ") + now(f),
                      QString(), QStringLiteral("Current Session"), rule, QString()};
    lines << session << QString() << QStringLiteral("Totals") << rule << QString();
    lines << totals << QString() << QStringLiteral("Log File") << rule << QString();
    lines << logLines << QString() << QLatin1String(kPromo) << signature();
    return lines.join(QStringLiteral("\r\n"));
}

void emailStatistics(FrmMain& f, const QStringList& session, const QStringList& totals,
                     const QStringList& logLines) {
    emailLog(f, QStringLiteral("Spoolwright - Statistics"),
             statisticsMailText(f, session, totals, logLines));
}
