#include "log/LogFileIdentity.h"

#include <QFile>

#include <sys/stat.h>

LogFileIdentity LogFileIdentity::of(const QString& path) {
    struct stat status {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    return {true, static_cast<quint64>(status.st_dev), static_cast<quint64>(status.st_ino)};
}
