#include "Scratch.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

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

QString path(const QString& name) {
    // In memory where the system has a place for it: the readers sync what they
    // write, which on a disk would cost more than the reading.
    static QTemporaryDir folder(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                    ? QStringLiteral("/dev/shm/spoolwright-fuzz-XXXXXX")
                                    : QDir::tempPath() +
                                          QStringLiteral("/spoolwright-fuzz-XXXXXX"));
    return QDir(folder.path()).filePath(name);
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
