#pragma once

#include <QObject>
#include <QString>

struct SpoolerJob;

// The monitor's events (MonitorProtocol), one line each on standard output, written
// through at once: the program reacts to a line as soon as it arrives.
class EventOutput : public QObject {
    Q_OBJECT
public:
    explicit EventOutput(int fd, QObject* parent = nullptr);

    void jobEvent(const QString& action, const SpoolerJob& job);
    void connectEvent(const QString& text);

    // False once a write has failed: nobody reads the events any more.
    bool open() const { return open_; }

signals:
    // The reader has gone (its end of the pipe is closed).
    void broken();

private:
    void writeLine(const QByteArray& line);

    int fd_;
    bool open_ = true;
};
