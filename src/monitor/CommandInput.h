#pragma once

#include <QByteArray>
#include <QObject>
#include <QQueue>
#include <QString>
#include <QStringList>

class QSocketNotifier;

// The program's calls (MonitorProtocol), one line each on standard input. Lines are carried out in
// order from the event loop. Other lines are ignored.
class CommandInput : public QObject {
    Q_OBJECT
public:
    explicit CommandInput(int fd, QObject* parent = nullptr);

    // Reads what has arrived without waiting, and says whether a call that ends
    // or replaces the current watch (or the end of input) is waiting to be
    // carried out. The watch asks before it reports a job event, so that nothing
    // it learnt before such a call reaches the program after it.
    bool watchAboutToChange();

signals:
    void credentialsGiven(const QString& server, const QString& user, const QString& password);
    void watchServer(const QString& server);
    void stopWatching();
    // The program closed its end: no more calls will come.
    void closed();

private:
    enum class Kind { Credentials, WatchServer, StopWatching, Closed };
    struct Command {
        Kind kind;
        QString argument;
        QStringList more = {}; // the further fields of a call that has them
    };

    void readAvailable();
    void takeLines();
    void carryOut();

    int fd_;
    QSocketNotifier* notifier_;
    QByteArray buffer_;
    QQueue<Command> waiting_;
    bool ended_ = false;
    bool carryOutQueued_ = false;
};
