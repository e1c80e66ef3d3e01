#include "platform/HoldReasons.h"

#include "platform/CupsStatus.h"
#include "platform/PrintSpooler.h"

#include <QDateTime>
#include <QHash>
#include <QTime>

namespace {

const QString heldForAuthentication = QStringLiteral("Held for authentication");

// The words for a keyword, and whether it keeps a job that is not held from starting.
struct Words {
    QString text;
    bool waiting = false;
};

// job-hold-until values first, then job-state-reasons keywords. CUPS names the
// periods by the hours of its own clock.
const QHash<QString, Words>& reasonWords() {
    static const QHash<QString, Words> words{
        {QStringLiteral("indefinite"), {QStringLiteral("Held by the operator")}},
        {QStringLiteral("auth-info-required"), {heldForAuthentication}},
        {QStringLiteral("day-time"), {QStringLiteral("Held until day-time (06:00 to 18:00)")}},
        {QStringLiteral("evening"), {QStringLiteral("Held until the evening (18:00 to 06:00)")}},
        {QStringLiteral("night"), {QStringLiteral("Held until the night (18:00 to 06:00)")}},
        {QStringLiteral("second-shift"),
         {QStringLiteral("Held until the second shift (16:00 to 24:00)")}},
        {QStringLiteral("third-shift"),
         {QStringLiteral("Held until the third shift (00:00 to 08:00)")}},
        {QStringLiteral("weekend"), {QStringLiteral("Held until the weekend")}},
        {QStringLiteral("cups-held-for-authentication"), {heldForAuthentication}},
        {QStringLiteral("job-held-for-authentication"), {heldForAuthentication}},
        {QStringLiteral("job-password-wait"), {QStringLiteral("Held until its password is given")}},
        {QStringLiteral("job-hold-until-specified"), {QStringLiteral("Held until released")}},
        {QStringLiteral("printer-stopped"),
         {QStringLiteral("Waiting: the printer is stopped"), true}},
        {QStringLiteral("printer-stopped-partly"),
         {QStringLiteral("Waiting: the printer is partly stopped"), true}},
        {QStringLiteral("resources-are-not-ready"),
         {QStringLiteral("Waiting: the printer's paper or toner is not ready"), true}},
        {QStringLiteral("job-incoming"),
         {QStringLiteral("Waiting: the job is still arriving"), true}},
        {QStringLiteral("job-data-insufficient"),
         {QStringLiteral("Waiting: the job's data has not all arrived"), true}},
        {QStringLiteral("job-stopped"), {QStringLiteral("Stopped on the printer")}},
    };
    return words;
}

// A time of day the server holds the job until: "HH:MM" or "HH:MM:SS", in UTC.
QTime holdTime(const QString& until) {
    const QTime withSeconds = QTime::fromString(until, QStringLiteral("HH:mm:ss"));
    return withSeconds.isValid() ? withSeconds : QTime::fromString(until, QStringLiteral("HH:mm"));
}

bool anyForAuthentication(const SpoolerJob& job) {
    if (job.holdUntil == QLatin1String("auth-info-required"))
        return true;
    for (const QString& reason : job.stateReasons)
        if (holdReasonText(reason) == heldForAuthentication)
            return true;
    return false;
}

// The words of the first reason the table knows; of the first that keeps a job
// waiting when `waitingOnly`.
QString firstReasonText(const QStringList& reasons, bool waitingOnly) {
    for (const QString& reason : reasons) {
        const auto found = reasonWords().constFind(reason);
        if (found != reasonWords().constEnd() && (found->waiting || !waitingOnly))
            return found->text;
    }
    return QString();
}

} // namespace

QString holdReasonText(const QString& keyword) {
    return reasonWords().value(keyword).text;
}

bool openEndedHold(const SpoolerJob& job) {
    return job.holdUntil.isEmpty() || job.holdUntil == QLatin1String("indefinite");
}

QString whyHeld(const SpoolerJob& job, const HoldContext& context) {
    if (!isHeld(job)) {
        // A job the server would start but for its printer or its data. CUPS 2.4
        // gives a job no reason of its own while its queue is stopped.
        if (context.queueStopped && isQueued(job))
            return holdReasonText(QStringLiteral("printer-stopped"));
        return firstReasonText(job.stateReasons, true);
    }
    // Releasing a job held for authentication does not print it: that comes first.
    if (anyForAuthentication(job))
        return heldForAuthentication;
    if (context.heldByProgram)
        return QStringLiteral("Held by AutoQueue");
    if (const QTime utc = holdTime(job.holdUntil); utc.isValid())
        return QStringLiteral("Held until ") + QDateTime(context.today, utc, Qt::UTC)
                                                   .toLocalTime()
                                                   .time()
                                                   .toString(QStringLiteral("HH:mm"));
    if (const QString text = holdReasonText(job.holdUntil); !text.isEmpty())
        return text;
    if (const QString text = firstReasonText(job.stateReasons, false); !text.isEmpty())
        return text;
    // A server that says nothing of the hold: a job held without a word was held by
    // somebody's hand.
    return holdReasonText(QStringLiteral("indefinite"));
}
