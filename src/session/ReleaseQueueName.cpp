#include "session/ReleaseQueueName.h"

#include <QSet>

namespace {
const QString kSuffix = QStringLiteral("-Released");
} // namespace

QString releaseQueueName(const QString& queue) {
    return queue + kSuffix;
}

QStringList withoutReleaseQueues(const QStringList& queues) {
    const QSet<QString> listed(queues.cbegin(), queues.cend());
    QStringList shown;
    for (const QString& queue : queues)
        if (!queue.endsWith(kSuffix) || !listed.contains(queue.chopped(kSuffix.size())))
            shown << queue;
    return shown;
}
