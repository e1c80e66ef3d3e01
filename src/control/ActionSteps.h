#pragma once

#include "log/LogDatabase.h"
#include "platform/PrintSpooler.h"

#include <QList>
#include <QString>
#include <optional>

class FrmMain;
class GuardedSpooler;

// Steps every job and queue action shares.

// Panel 1 of the status bar: the action's words followed directly by the time.
void showActionStatus(FrmMain& form, const QString& words);

// The spooler of the server the window shows; null before one was connected.
GuardedSpooler* actionSpooler(FrmMain& form);
// The queue the window shows, which the actions act on.
QString actionQueue(FrmMain& form);

// Restarts the poll at this interval (stop, set, start).
void restartPoll(FrmMain& form, int intervalMs);
// Restarts the poll at its fast rate, which watches a released job print.
void startFastPoll(FrmMain& form);

// The jobs of the queue as the server has them now (its PrintJobs collection);
// nothing when the server would not list them, which the status bar then says.
std::optional<QList<SpoolerJob>> listQueueJobs(FrmMain& form, GuardedSpooler& spooler,
                                               const QString& queue);

// Says in the status bar why the server refused what it was asked, in its own words
// where it gave some: refusalText.
void showRefusal(FrmMain& form, const QString& what, SpoolerResult result, const QString& message);
QString refusalText(const QString& what, SpoolerResult result, const QString& message);
// What the status bar says of a job that left the queue since the grid was drawn.
QString jobGoneText(int jobId);

// A job's log row as a release writes it (Resumed now, its pages printed, not
// deleted) and as a deletion writes it (the other way round), from the job's texts
// in the grid, with the connected server and the operator.
LogRow releasedJobRow(FrmMain& form, const SpoolerJob& job);
LogRow deletedJobRow(FrmMain& form, const SpoolerJob& job);
// The pages the grid shows for a job, as the counters count them.
qint64 shownPagesOf(FrmMain& form, const SpoolerJob& job);

// Asks for the comment Add Log Comment stores; empty when the operator gave none.
QString askLogComment(FrmMain& form);

// The operator's name and computer, as every log row the actions touch records.
QList<LogField> operatorFields(FrmMain& form);
