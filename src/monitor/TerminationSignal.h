#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM and SIGINT, turned into a Qt signal on the event loop, so the monitor
// can cancel its subscription before it goes. The process ends anyway a few
// seconds after the signal arrived, should a request to a silent server still
// be holding it then: whoever ends the monitor does not wait for it.
class TerminationSignal : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignal(QObject* parent = nullptr);

    // Seconds between the signal and the end of the process at the latest.
    static constexpr unsigned kGraceSeconds = 3;

signals:
    void received();

private:
    static void handle(int);
    static int pipe_[2];
    QSocketNotifier* notifier_ = nullptr;
};
