#include "platform/RandomBetween.h"

#include <QRandomGenerator>
#include <limits>

qint64 RandomBetween(qint64 lo, qint64 hi) {
    // bounded() leaves out its upper end, which cannot lie past the largest number.
    hi = qMin(hi, std::numeric_limits<qint64>::max() - 1);
    if (hi <= lo)
        return lo;
    return QRandomGenerator::global()->bounded(lo, hi + 1);
}
