#pragma once

#include <QString>

struct SpoolerJob;

// Whether AutoQueue holds a job of its queue: every job that is not paused and is
// not the job just released (lastReleasedJob holds its ID).
bool holdsUnderAutoQueue(const SpoolerJob& job, const QString& lastReleasedJob);
