#include "session/PrinterAlerts.h"

#include "form/FrmMain.h"
#include "form/JobGrid.h"
#include "form/SettingsRecord.h"
#include "platform/Clock.h"
#include "platform/CupsStatus.h"
#include "platform/JobText.h"
#include "platform/PrintSpooler.h"
#include "platform/PrinterReasons.h"
#include "session/DesktopNotification.h"

QStringList PrinterAlerts::takeReasons(const QString& watched, const QStringList& attention) {
    const QStringList before = watched == watched_ ? attention_ : QStringList();
    watched_ = watched;
    attention_ = attention;
    QStringList fresh;
    for (const QString& reason : attention)
        if (!before.contains(reason))
            fresh << reason;
    return fresh;
}

bool PrinterAlerts::firstNoticeOf(const QString& jobName, const QSet<QString>& current) {
    heldNoticed_.intersect(current);
    if (heldNoticed_.contains(jobName))
        return false;
    heldNoticed_.insert(jobName);
    return true;
}

void notePrinterAttention(FrmMain& f, const QString& server, const SpoolerQueue& queue) {
    const QStringList fresh = PrinterAlerts::of(f).takeReasons(
        server + QLatin1Char('/') + queue.Name, attentionReasons(queue.stateReasons));
    if (!f.Settings.notifyPrinterAttention)
        return;
    for (const QString& reason : fresh)
        sendDesktopNotification(queue.Name + QStringLiteral(" needs attention"),
                                queue.Name + QStringLiteral(" reports ") +
                                    printerReasonText(reason) + QStringLiteral(" (") + server +
                                    QStringLiteral(")."));
}

QString attentionStatusText(FrmMain& f) {
    const QStringList& attention = PrinterAlerts::of(f).attention();
    if (attention.isEmpty())
        return QString();
    return QStringLiteral(" - Needs Attention (") + printerReasonsText(attention) +
           QLatin1Char(')');
}

void noticeLongHeldJobs(FrmMain& f) {
    const int minutes = f.Settings.notifyHeldAfter;
    if (minutes <= 0)
        return;
    const QDateTime now = f.services().clock->now();
    const QList<SpoolerJob> jobs = f.jobGrid().jobs();
    QSet<QString> current;
    for (const SpoolerJob& job : jobs)
        current.insert(job.Name);
    for (const SpoolerJob& job : jobs) {
        if (!isHeld(job) || !job.TimeSubmitted.isValid() ||
            job.TimeSubmitted.secsTo(now) < qint64(minutes) * 60)
            continue;
        if (!PrinterAlerts::of(f).firstNoticeOf(job.Name, current))
            continue;
        const QStringList text = f.jobGrid().texts(job);
        sendDesktopNotification(QStringLiteral("Job held for over %1 minutes").arg(minutes),
                                QStringLiteral("%1 by %2 waits in %3.")
                                    .arg(text[JobColumn::Description], text[JobColumn::User],
                                         printerOfJobName(job.Name)));
    }
}
