#pragma once

#include "form/WindowPart.h"

#include <QSet>
#include <QString>

class GuardedSpooler;

// The queue session: the server and queue the view is connected to, the spoolers
// it reads them through, what is known of their jobs, and the hold and release
// state of AutoQueue. It keeps the session's rules: one server at a time, a job
// that left never comes back, one Resume All at a time, each timed act once in its
// minute.
class QueueSession : public WindowPart {
public:
    using WindowPart::WindowPart;
    static QueueSession& of(FrmMain& form) { return windowPart<QueueSession>(form); }
    static const QueueSession& of(const FrmMain& form) { return windowPart<QueueSession>(form); }

    // The server of the last connection, and the queue the view last showed.
    const QString& CurrentServer() const { return currentServer_; }
    const QString& CurrentQueue() const { return currentQueue_; }
    void setCurrentServer(const QString& server) { currentServer_ = server; }
    void setCurrentQueue(const QString& queue) { currentQueue_ = queue; }
    // The server last added to the server history.
    const QString& LastHistoryServer() const { return lastHistoryServer_; }
    void setLastHistoryServer(const QString& server) { lastHistoryServer_ = server; }

    // The spooler the job retrieval reads (WmiServices), and its server's name
    // exactly as asked for (WmiServer): both change together.
    GuardedSpooler* WmiServices() const { return wmiServices_; }
    const QString& WmiServer() const { return wmiServer_; }
    void connectJobs(const QString& server, GuardedSpooler* spooler);
    // The spooler whose queues the queue box lists.
    GuardedSpooler* ServerContainer() const { return serverContainer_; }
    void setServerContainer(GuardedSpooler* spooler) { serverContainer_ = spooler; }

    // The last pass over the server's jobs found it silent: the grids show what it
    // held before, and the next tick that reaches it reads every job anew.
    bool jobsStale() const { return jobsStale_; }
    void setJobsStale(bool stale) { jobsStale_ = stale; }

    // The jobs the monitor said have left the server. A listing read before it said
    // so still holds them, and must not bring their rows back (job numbers are not
    // given out again). A new connection forgets them.
    bool isGone(const QString& jobName) const { return jobsGone_.contains(jobName); }
    void markGone(const QString& jobName);
    void forgetGoneJobs() { jobsGone_.clear(); }

    // The job last released under AutoQueue, by its ID: the hold rule lets it print.
    const QString& LastReleasedJob() const { return lastReleasedJob_; }
    void setLastReleasedJob(const QString& jobId) { lastReleasedJob_ = jobId; }
    // A Resume All runs, one pass a tick, until the grid is empty; the view may not
    // change meanwhile.
    bool ResumeAllInProgress() const { return resumeAllInProgress_; }
    void beginResumeAll() { resumeAllInProgress_ = true; }
    void endResumeAll() { resumeAllInProgress_ = false; }

    // The jobs this program held, by their ID, for the tool tip of their status.
    bool heldByProgram(const QString& jobId) const { return heldByProgram_.contains(jobId); }
    void noteHeldByProgram(int jobId) { heldByProgram_.insert(QString::number(jobId)); }
    // Whether the shown queue was paused when last read, for the tool tip of a job
    // that waits for it.
    bool currentQueueStopped() const { return currentQueueStopped_; }
    void noteCurrentQueueStopped(bool stopped) { currentQueueStopped_ = stopped; }

    // While AutoQueue is on the server holds each job as it arrives in the queue;
    // the queue's own hold, given back when AutoQueue goes off.
    GuardedSpooler* holdDefaultServer() const { return holdDefaultServer_; }
    const QString& holdDefaultQueue() const { return holdDefaultQueue_; }
    const QString& holdDefaultBefore() const { return holdDefaultBefore_; }
    void noteHoldDefault(GuardedSpooler* server, const QString& queue, const QString& before);
    void forgetHoldDefault() { noteHoldDefault(nullptr, QString(), QString()); }

    // The timed release, and AutoActivate, act once in their minute ("yyyy-MM-dd
    // HH:mm"): true the first time each is asked for a minute.
    bool firstTimedReleaseIn(const QString& minute) { return firstIn(timedReleaseMinute_, minute); }
    bool firstAutoActivateIn(const QString& minute) { return firstIn(autoActivateMinute_, minute); }
    // Whether the next favourite added is switched to at its release time; set from
    // the AutoActivate box by the add-favourite picture.
    bool autoActivateRequest() const { return autoActivateRequest_; }
    void setAutoActivateRequest(bool request) { autoActivateRequest_ = request; }

private:
    static bool firstIn(QString& marker, const QString& minute);

    QString currentServer_;
    QString currentQueue_;
    QString lastHistoryServer_;
    GuardedSpooler* wmiServices_ = nullptr;
    QString wmiServer_;
    GuardedSpooler* serverContainer_ = nullptr;
    bool jobsStale_ = false;
    QSet<QString> jobsGone_;
    QString lastReleasedJob_;
    bool resumeAllInProgress_ = false;
    QSet<QString> heldByProgram_;
    bool currentQueueStopped_ = false;
    GuardedSpooler* holdDefaultServer_ = nullptr;
    QString holdDefaultQueue_;
    QString holdDefaultBefore_;
    QString timedReleaseMinute_;
    QString autoActivateMinute_;
    bool autoActivateRequest_ = false;
};
