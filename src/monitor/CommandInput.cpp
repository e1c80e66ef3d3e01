#include "monitor/CommandInput.h"

#include <QSocketNotifier>
#include <QStringList>
#include <QTextStream>
#include <cerrno>
#include <poll.h>
#include <unistd.h>

CommandInput::CommandInput(int fd, QObject* parent)
    : QObject(parent), fd_(fd), notifier_(new QSocketNotifier(fd, QSocketNotifier::Read, this)) {
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        readAvailable();
        carryOut();
    });
}

bool CommandInput::watchAboutToChange() {
    readAvailable();
    if (!waiting_.isEmpty() && !carryOutQueued_) {
        carryOutQueued_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                carryOutQueued_ = false;
                carryOut();
            },
            Qt::QueuedConnection);
    }
    return !waiting_.isEmpty();
}

// Never waits: the notifier may report input that watchAboutToChange() has
// already taken, and a read on an empty pipe would hold the whole monitor.
void CommandInput::readAvailable() {
    pollfd input{fd_, POLLIN, 0};
    if (ended_ || ::poll(&input, 1, 0) <= 0)
        return;
    char chunk[4096];
    ssize_t n;
    do {
        n = ::read(fd_, chunk, sizeof chunk);
    } while (n < 0 && errno == EINTR);
    if (n > 0) {
        buffer_.append(chunk, n);
        takeLines();
        return;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        return;
    // End of input, or an input that cannot be read: both mean the program is gone.
    ended_ = true;
    notifier_->setEnabled(false);
    if (!buffer_.isEmpty()) // a last call without its line end still counts
        buffer_.append('\n');
    takeLines();
    waiting_.enqueue({Kind::Closed, QString()});
}

void CommandInput::takeLines() {
    int end;
    while ((end = buffer_.indexOf('\n')) >= 0) {
        QByteArray line = buffer_.left(end);
        buffer_.remove(0, end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        const QStringList fields = QString::fromUtf8(line).split(QLatin1Char('\t'));
        const QString& name = fields.first();
        if (name == QLatin1String("WatchServer") && fields.size() >= 2)
            waiting_.enqueue({Kind::WatchServer, fields.at(1)});
        else if (name == QLatin1String("StopWatching"))
            waiting_.enqueue({Kind::StopWatching, QString()});
        else if (name == QLatin1String("Credentials") && fields.size() >= 4)
            waiting_.enqueue({Kind::Credentials, fields.at(1), fields.mid(2, 2)});
        else if (!line.trimmed().isEmpty())
            QTextStream(stderr) << "SWRJobMonitor: ignored unknown call: " << fields.first()
                                << Qt::endl;
    }
}

void CommandInput::carryOut() {
    while (!waiting_.isEmpty()) {
        const Command command = waiting_.dequeue();
        switch (command.kind) {
        case Kind::Credentials:
            emit credentialsGiven(command.argument, command.more.at(0), command.more.at(1));
            break;
        case Kind::WatchServer:
            emit watchServer(command.argument);
            break;
        case Kind::StopWatching:
            emit stopWatching();
            break;
        case Kind::Closed:
            emit closed();
            return;
        }
    }
}
