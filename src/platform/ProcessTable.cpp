#include "platform/ProcessTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <functional>
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

// The parent's process id, from the fourth field of /proc/PID/stat (the second,
// the command name in brackets, may itself hold blanks and brackets).
pid_t parentOf(const QString& pidDir) {
    QFile stat(pidDir + QStringLiteral("/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 1 ? static_cast<pid_t>(fields.at(1).toLongLong()) : -1;
}

bool isAdopted(const QString& pidDir) {
    const pid_t parent = parentOf(pidDir);
    if (parent == 1)
        return true;
    const QString parentDir = QStringLiteral("/proc/") + QString::number(parent);
    return parent > 1 && processName(parentDir) == QLatin1String("systemd");
}

int endMatching(const QString& name, const std::function<bool(const QString&)>& alsoWanted) {
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
        if (!processName(dir).contains(wanted) || !alsoWanted(dir))
            continue;
        if (kill(pid, SIGTERM) == 0)
            ++ended;
    }
    return ended;
}

} // namespace

int ProcessTable::EndProcessesNamed(const QString& name) {
    return endMatching(name, [](const QString&) { return true; });
}

int ProcessTable::endOrphanedProcessesNamed(const QString& name) {
    return endMatching(name, isAdopted);
}
