#pragma once

#include <QDateTime>

// The time of day as the program sees it. Handed in, so that tests of timed
// behaviour can set the clock instead of waiting for it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const { return QDateTime::currentDateTime(); }
};
