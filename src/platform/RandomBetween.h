#pragma once

#include <QtGlobal>

// A whole number drawn evenly from lo to hi, both included; lo when hi is below lo.
qint64 RandomBetween(qint64 lo, qint64 hi);
