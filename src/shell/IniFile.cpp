#include "shell/IniFile.h"

#include "platform/Environment.h"
#include "platform/ProfileFile.h"

#include <QDir>

QString settingsFilePath(const Environment& environment) {
    return QDir(environment.appData()).filePath(QStringLiteral("swr.ini"));
}

QString HistoryFilePath(const Environment& environment) {
    return QDir(environment.appData()).filePath(QStringLiteral("swr.his"));
}

QString ReadSetting(const Environment& environment, const QString& section, const QString& key) {
    return ProfileFile::read(settingsFilePath(environment), section, key, QString());
}

ProfileFile::Snapshot readSettingsFile(const Environment& environment) {
    return ProfileFile::Snapshot(settingsFilePath(environment));
}

bool writeSettings(const Environment& environment, const QList<ProfileFile::Entry>& entries) {
    return ProfileFile::writeAll(settingsFilePath(environment), entries);
}
