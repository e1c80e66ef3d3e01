#include "platform/Environment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>

#include <pwd.h>
#include <unistd.h>

QString Environment::variable(const QString& name) const {
    return qEnvironmentVariable(name.toLocal8Bit().constData());
}

// Every accessor goes through variable(), so a test's environment that overrides it
// steers them all. A variable set to empty text counts as unset.

QString Environment::appData() const {
    const QString chosen = variable(QStringLiteral("APPDATA"));
    if (!chosen.isEmpty())
        return chosen;
    // GenericDataLocation honours XDG_DATA_HOME and is ~/.local/share otherwise.
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::home().filePath(QStringLiteral(".local/share"));
    const QString folder = QDir(base).filePath(QStringLiteral("Spoolwright"));
    // The settings file is created in this folder but the folder itself is not, so
    // it must exist before the first setting is written.
    QDir().mkpath(folder);
    return folder;
}

QString Environment::temp() const {
    const QString chosen = variable(QStringLiteral("TEMP"));
    return chosen.isEmpty() ? QDir::tempPath() : chosen;
}

QString Environment::userName() const {
    const QString chosen = variable(QStringLiteral("USERNAME"));
    if (!chosen.isEmpty())
        return chosen;
    // The account database first: $USER may still name whoever ran su or sudo.
    if (const passwd* account = getpwuid(getuid())) {
        if (account->pw_name && *account->pw_name)
            return QString::fromLocal8Bit(account->pw_name);
    }
    return variable(QStringLiteral("USER"));
}

QString Environment::computerName() const {
    const QString chosen = variable(QStringLiteral("COMPUTERNAME"));
    return chosen.isEmpty() ? QSysInfo::machineHostName() : chosen;
}

namespace {

// The build tree keeps the template database beside the executables; an installed
// program finds its files in folders of their own, named relative to its bin folder
// so that the installed tree works wherever it was unpacked.
QString besideOrInstalled(const char* installedFromBin) {
    const QString executableFolder = QCoreApplication::applicationDirPath();
    if (QFileInfo::exists(QDir(executableFolder).filePath(QStringLiteral("swr.db"))))
        return executableFolder;
    return QDir::cleanPath(QDir(executableFolder).filePath(QString::fromUtf8(installedFromBin)));
}

} // namespace

QString Environment::programFolder() const {
    return besideOrInstalled(SPOOLWRIGHT_DATA_FROM_BIN);
}

QString Environment::helperFolder() const {
    return besideOrInstalled(SPOOLWRIGHT_LIBEXEC_FROM_BIN);
}
