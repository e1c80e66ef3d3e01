#pragma once

#include "form/FrmMain.h"
#include "platform/GuardedSpooler.h"
#include "session/QueuePoll.h"
#include "shell/AwaitedAnswers.h"

#include <QMetaObject>
#include <QThreadPool>

// Asks a server for an action of the operator's off the window's thread, as the
// poll does: `ask` runs on the poll's worker (after a tick under way), where no
// password dialog can open, and `apply` gets its answer on the window's thread,
// unless the window is closing by then. The caller has marked `action` waiting
// (AwaitedAnswers::begin); it waits no more once its answer has been applied.
template <typename Ask, typename Apply>
void askOffThread(FrmMain& f, const QString& action, Ask ask, Apply apply) {
    FrmMain* form = &f;
    QueuePoll::of(f).worker().start([form, action, ask, apply] {
        const SpoolerPrompts::Off noDialogsHere;
        const auto answer = ask();
        QMetaObject::invokeMethod(
            form,
            [form, action, answer, apply] {
                if (!form->unloading)
                    apply(answer);
                AwaitedAnswers::end(*form, action);
            },
            Qt::QueuedConnection);
    });
}
