#include "monitor/EventOutput.h"

#include <QByteArray>
#include <cerrno>
#include <unistd.h>

EventOutput::EventOutput(int fd, QObject* parent) : QObject(parent), fd_(fd) {}

void EventOutput::jobEvent(const QString& action, const QString& detail) {
    writeLine(QStringLiteral("JobEvent\t") + action + QLatin1Char('\t') + detail);
}

void EventOutput::connectEvent(const QString& text) {
    writeLine(QStringLiteral("ConnectEvent\t") + text);
}

void EventOutput::writeLine(const QString& line) {
    if (!open_)
        return;
    const QByteArray bytes = line.toUtf8() + '\n';
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
