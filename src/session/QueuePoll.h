#pragma once

#include "form/WindowPart.h"

#include <QThreadPool>
#include <functional>

// The poll (Timer2): refreshes the job view of the chosen queue, drives AutoQueue's
// release watch and re-hold, and then runs the release steps (the timed release,
// the user exceptions and a running Resume All). Its interval tells the rest of the
// program what it is doing: normal, holding, or watching a released job print.
// Its requests run on its worker, one tick at a time; their answer is applied on
// the window's thread.
class QueuePoll : public WindowPart {
public:
    explicit QueuePoll(FrmMain& form);
    ~QueuePoll() override;
    static QueuePoll& of(FrmMain& form) { return windowPart<QueuePoll>(form); }

    // A tick's requests are under way: the next tick asks nothing; their answer
    // restarts the poll.
    bool inFlight() const { return inFlight_; }
    void setInFlight(bool inFlight) { inFlight_ = inFlight; }
    // The worker; the operator's actions that wait for a server off the window's
    // thread run there too, after a tick under way.
    QThreadPool& worker() { return worker_; }
    // What a tick that refreshed the view runs next: the release steps, which live
    // above the session.
    void setReleaseSteps(std::function<void(FrmMain&)> steps) { releaseSteps_ = std::move(steps); }
    void runReleaseSteps(FrmMain& form) const {
        if (releaseSteps_)
            releaseSteps_(form);
    }

private:
    QThreadPool worker_;
    bool inFlight_ = false;
    std::function<void(FrmMain&)> releaseSteps_;
};

// One tick of the poll.
void Timer2_Timer(FrmMain& form);
