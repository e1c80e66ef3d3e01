#pragma once

#include <QString>
#include <QStringList>

// Under AutoQueue a released job prints through a queue of its own beside the
// watched one, named after it.

// "<queue>-Released".
QString releaseQueueName(const QString& queue);
// The queues an operator picks from: a release queue whose queue is listed too is
// left out, since AutoQueue on it would make a release queue of a release queue.
QStringList withoutReleaseQueues(const QStringList& queues);
