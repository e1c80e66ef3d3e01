#include "shell/IniFile.h"

#include "platform/Environment.h"
#include "platform/ProfileFile.h"

#include <QDir>

QString SettingsFilePath(const Environment& environment) {
    return QDir(environment.appData()).filePath(QStringLiteral("swr.ini"));
}

QString HistoryFilePath(const Environment& environment) {
    return QDir(environment.appData()).filePath(QStringLiteral("swr.his"));
}

QString ReadSetting(const Environment& environment, const QString& section, const QString& key) {
    return ProfileFile::read(SettingsFilePath(environment), section, key, QString());
}

ProfileFile::Snapshot ReadSettingsFile(const Environment& environment) {
    return ProfileFile::Snapshot(SettingsFilePath(environment));
}

bool WriteSettings(const Environment& environment, const QList<ProfileFile::Entry>& entries) {
    return ProfileFile::writeAll(SettingsFilePath(environment), entries);
}
