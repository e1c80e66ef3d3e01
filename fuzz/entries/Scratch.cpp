#include "Scratch.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Scratch {

void ensureApplication() {
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    // Lives as long as the process: the readers run input after input.
    static QApplication* application = new QApplication(argc, argv);
    Q_UNUSED(application);
}

namespace {

// A folder for this process: named by its id, in memory where the system has a place
// for it (the readers sync what they write, which on a disk would cost more than the
// reading). A fuzzer stopped by a finding leaves its folder behind, so the folders of
// processes that have ended are removed first.
QString makeFolder() {
    QDir parent(QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm")
                                                                   : QDir::tempPath());
    const QString prefix = QStringLiteral("spoolwright-fuzz-");
    for (const QString& left : parent.entryList({prefix + QLatin1Char('*')}, QDir::Dirs)) {
        const QString pid = left.mid(prefix.size());
        if (!QFileInfo::exists(QStringLiteral("/proc/") + pid))
            QDir(parent.filePath(left)).removeRecursively();
    }
    const QString own = prefix + QString::number(QCoreApplication::applicationPid());
    QDir(parent.filePath(own)).removeRecursively();
    parent.mkpath(own);
    return parent.filePath(own);
}

} // namespace

QString path(const QString& name) {
    static const QString folder = makeFolder();
    return QDir(folder).filePath(name);
}

QString write(const QString& name, const QByteArray& bytes) {
    QFile file(path(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return QString();
    return file.fileName();
}

QString sample(const QString& text) {
    QString shown;
    for (const QChar c : text.left(80))
        shown += c.isPrint() ? QString(c)
                             : QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    return QLatin1Char('"') + shown +
           (text.size() > 80 ? QStringLiteral("...\"") : QStringLiteral("\""));
}

} // namespace Scratch
