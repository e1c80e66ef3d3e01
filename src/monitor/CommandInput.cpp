#include "monitor/CommandInput.h"

#include "platform/MonitorProtocol.h"

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
        const QByteArray line = buffer_.left(end);
        buffer_.remove(0, end + 1);
        const MonitorProtocol::Line call = MonitorProtocol::decode(line);
        const QStringList& fields = call.fields;
        if (call.name == MonitorProtocol::WatchServer && !fields.isEmpty())
            waiting_.enqueue({Kind::WatchServer, fields.at(0)});
        else if (call.name == MonitorProtocol::StopWatching)
            waiting_.enqueue({Kind::StopWatching, QString()});
        else if (call.name == MonitorProtocol::Credentials && fields.size() >= 3)
            waiting_.enqueue({Kind::Credentials, fields.at(0), fields.mid(1, 2)});
        else if (!line.trimmed().isEmpty())
            QTextStream(stderr) << "SWRJobMonitor: ignored unknown call: " << call.name << Qt::endl;
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
