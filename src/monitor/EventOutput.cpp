#include "monitor/EventOutput.h"

#include "platform/MonitorProtocol.h"

#include <QByteArray>
#include <cerrno>
#include <unistd.h>

EventOutput::EventOutput(int fd, QObject* parent) : QObject(parent), fd_(fd) {}

void EventOutput::jobEvent(const QString& action, const SpoolerJob& job) {
    writeLine(MonitorProtocol::encode(MonitorProtocol::JobEvent,
                                      QStringList{action} + MonitorProtocol::jobFields(job)));
}

void EventOutput::connectEvent(const QString& text) {
    writeLine(MonitorProtocol::encode(MonitorProtocol::ConnectEvent, {text}));
}

void EventOutput::writeLine(const QByteArray& bytes) {
    if (!open_)
        return;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.constData() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            open_ = false;
            emit broken();
            return;
        }
        done += n;
    }
}
