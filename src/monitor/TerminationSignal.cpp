#include "monitor/TerminationSignal.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

int TerminationSignal::pipe_[2] = {-1, -1};

namespace {

// The grace time is over: end as the termination asked, without cleaning up.
void endNow(int) {
    _exit(128 + SIGTERM);
}

void install(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

} // namespace

TerminationSignal::TerminationSignal(QObject* parent) : QObject(parent) {
    if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // the default action (ending at once) stays
    notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char drained[16];
        while (::read(pipe_[0], drained, sizeof drained) > 0) {
        }
        emit received();
    });
    install(SIGALRM, endNow);
    install(SIGTERM, handle);
    install(SIGINT, handle);
}

// Only async-signal-safe calls here.
void TerminationSignal::handle(int) {
    // A second signal does not put the end off.
    const unsigned left = alarm(kGraceSeconds);
    if (left > 0)
        alarm(left);
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(pipe_[1], &byte, 1);
}
