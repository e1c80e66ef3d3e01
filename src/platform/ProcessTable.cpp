#include "platform/ProcessTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

namespace {

// The process's name: the executable's file name, which (unlike /proc/PID/comm)
// is not cut at 15 characters; comm for processes whose executable is unreadable.
QString processName(const QString& pidDir) {
    const QString exe = QFileInfo(pidDir + QStringLiteral("/exe")).symLinkTarget();
    if (!exe.isEmpty())
        return QFileInfo(exe).fileName().trimmed().toLower();
    QFile comm(pidDir + QStringLiteral("/comm"));
    if (!comm.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(comm.readAll()).trimmed().toLower();
}

} // namespace

int ProcessTable::EndProcessesNamed(const QString& name) {
    const QString wanted = name.trimmed().toLower();
    if (wanted.isEmpty())
        return 0;
    const uid_t me = getuid();
    const pid_t self = getpid();
    int ended = 0;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool isPid = false;
        const pid_t pid = static_cast<pid_t>(entry.toLongLong(&isPid));
        if (!isPid || pid == self)
            continue;
        const QString dir = QStringLiteral("/proc/") + entry;
        if (QFileInfo(dir).ownerId() != me)
            continue;
        if (!processName(dir).contains(wanted))
            continue;
        if (kill(pid, SIGTERM) == 0)
            ++ended;
    }
    return ended;
}
