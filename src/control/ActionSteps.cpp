#include "control/ActionSteps.h"

#include "form/FrmMain.h"
#include "form/JobGrid.h"
#include "form/SettingsRecord.h"
#include "form/WaitCursor.h"
#include "log/JobLogRow.h"
#include "platform/Clock.h"
#include "platform/DateText.h"
#include "platform/Environment.h"
#include "platform/GuardedSpooler.h"
#include "platform/NumberText.h"
#include "platform/Prompter.h"
#include "session/QueueSession.h"

#include <QComboBox>
#include <QTimer>

namespace {

QString resultText(SpoolerResult result) {
    switch (result) {
    case SpoolerResult::NotFound:
        return QStringLiteral("not found on the server");
    case SpoolerResult::AccessDenied:
        return QStringLiteral("not authorised");
    case SpoolerResult::Unreachable:
        return QStringLiteral("the server did not answer");
    default:
        return QStringLiteral("refused by the server");
    }
}

QString pagesText(FrmMain& f, const SpoolerJob& job) {
    return f.jobGrid().texts(job)[JobColumn::Pages];
}

// A job's log row as every release and deletion writes it, with the fields of the
// action and the operator's after the job's own.
LogRow jobActionRow(FrmMain& f, const SpoolerJob& job, const QList<LogField>& actionFields) {
    LogRow row = jobLogRow(job, QueueSession::of(f).WmiServer());
    row.fields += actionFields + operatorFields(f);
    return row;
}

QString nowText(FrmMain& f) {
    return DateText::format(f.services().clock->now());
}

} // namespace

void showActionStatus(FrmMain& f, const QString& words) {
    f.setPanelText(1, words + DateText::timeOfDay(f.services().clock->now()));
}

GuardedSpooler* actionSpooler(FrmMain& f) {
    return QueueSession::of(f).ServerContainer();
}

QString actionQueue(FrmMain& f) {
    return f.CurrentPrintQueue->currentText();
}

void restartPoll(FrmMain& f, int intervalMs) {
    f.Timer2->stop();
    f.Timer2->setInterval(intervalMs);
    f.Timer2->start();
}

void startFastPoll(FrmMain& f) {
    restartPoll(f, pollInterval(f.Settings.PollAQactive, kPollAQactiveDefaultMs));
}

std::optional<QList<SpoolerJob>> listQueueJobs(FrmMain& f, GuardedSpooler& spooler,
                                               const QString& queue) {
    const WaitCursor wait;
    auto [jobs, result, message] = spooler.exclusive([&queue](PrintSpooler& s) {
        QList<SpoolerJob> listed = s.queueJobs(queue);
        return std::make_tuple(listed, s.lastResult(), s.lastMessage());
    });
    if (result != SpoolerResult::Success) {
        showRefusal(f, QStringLiteral("Jobs of ") + queue, result, message);
        return std::nullopt;
    }
    return jobs;
}

void showRefusal(FrmMain& f, const QString& what, SpoolerResult result, const QString& message) {
    f.setPanelText(1, refusalText(what, result, message));
}

QString refusalText(const QString& what, SpoolerResult result, const QString& message) {
    const QString reason = message.trimmed().isEmpty() ? resultText(result) : message.trimmed();
    return what + QStringLiteral(": ") + reason;
}

QString jobGoneText(int jobId) {
    return QStringLiteral("Job %1 is no longer in the queue").arg(jobId);
}

LogRow releasedJobRow(FrmMain& f, const SpoolerJob& job) {
    return jobActionRow(f, job,
                        {logField(LogColumn::Resumed, nowText(f)),
                         logField(LogColumn::PrintedPages, pagesText(f, job)),
                         logField(LogColumn::Deleted, QString()),
                         logField(LogColumn::DeletedPages, QString())});
}

LogRow deletedJobRow(FrmMain& f, const SpoolerJob& job) {
    return jobActionRow(f, job,
                        {logField(LogColumn::Deleted, nowText(f)),
                         logField(LogColumn::DeletedPages, pagesText(f, job)),
                         logField(LogColumn::Resumed, QString()),
                         logField(LogColumn::PrintedPages, QString())});
}

qint64 shownPagesOf(FrmMain& f, const SpoolerJob& job) {
    return leadingNumberOf(pagesText(f, job));
}

QString askLogComment(FrmMain& f) {
    return f.services()
        .prompter
        ->input(QStringLiteral("Add Log Comments - Spoolwright"),
                QStringLiteral("Enter your Comments:"))
        .value_or(QString());
}

QList<LogField> operatorFields(FrmMain& f) {
    const Environment& environment = *f.services().environment;
    return {logField(LogColumn::SwrUser, environment.userName()),
            logField(LogColumn::SwrComputer, environment.computerName())};
}
