#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

// An event due every `everyMs` on the window's thread while this lives, and the
// longest it was kept waiting beyond that: how long the window stood still.
class EventDelay {
public:
    explicit EventDelay(int everyMs) : everyMs_(everyMs) {
        since_.start();
        probe_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&probe_, &QTimer::timeout, [this] {
            const qint64 now = since_.elapsed();
            longest_ = std::max(longest_, now - last_ - everyMs_);
            last_ = now;
        });
        probe_.start(everyMs_);
    }
    qint64 longestMs() const { return longest_; }

private:
    int everyMs_;
    QElapsedTimer since_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
    QTimer probe_;
};
