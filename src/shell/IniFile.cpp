#include "shell/IniFile.h"

#include "platform/DateText.h"
#include "platform/Environment.h"
#include "platform/ProfileFile.h"

#include <QDir>

QString SettingsFilePath(const Environment& environment) {
    return QDir(environment.appData()).filePath(QStringLiteral("swr.ini"));
}

QString ReadSetting(const Environment& environment, const QString& section, const QString& key) {
    return ProfileFile::read(SettingsFilePath(environment), section, key, QString());
}

bool WriteSetting(const Environment& environment, const QString& section, const QString& key,
                  const QString& value) {
    return ProfileFile::write(SettingsFilePath(environment), section, key, value);
}

bool WriteSetting(const Environment& environment, const QString& section, const QString& key,
                  bool value) {
    return WriteSetting(environment, section, key,
                        value ? QStringLiteral("True") : QStringLiteral("False"));
}

bool WriteSetting(const Environment& environment, const QString& section, const QString& key,
                  double value) {
    return WriteSetting(environment, section, key, QString::number(value, 'g', 15));
}

bool WriteSetting(const Environment& environment, const QString& section, const QString& key,
                  const QDateTime& value) {
    return WriteSetting(environment, section, key, DateText::format(value));
}
