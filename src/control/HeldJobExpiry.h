#pragma once

#include "form/WindowPart.h"

#include <QDateTime>

// Held jobs that nobody collected: a job of the shown queue held longer than the
// ExpireHeldAfter minutes (counted from its creation on the server) is deleted and
// logged as the Delete action logs it, with an audit row "Expired Job - <queue>". The
// jobs of the user exceptions expire too.
class HeldJobExpiry : public WindowPart {
public:
    explicit HeldJobExpiry(FrmMain& form) : WindowPart(form) {}
    static HeldJobExpiry& of(FrmMain& form) { return windowPart<HeldJobExpiry>(form); }

    // True when a check may run now: at most once a minute, and not while the
    // deletions of the last one are under way. Taking it starts the check.
    bool takeCheck(const QDateTime& now);
    void checkDone() { deleting_ = false; }

private:
    QDateTime lastCheck_;
    bool deleting_ = false;
};

// The poll's step: finds the expired jobs of the grid and deletes them on the poll's
// worker, those the server still holds, one request a job; their log rows and audit
// rows follow on the window's thread.
void expireHeldJobs(FrmMain& form);
