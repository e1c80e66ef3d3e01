#pragma once

#include "platform/ProfileFile.h"

#include <QList>
#include <QString>

class Environment;

// The settings file swr.ini in the application data folder. The path is built from
// the environment on every call, so a changed APPDATA takes effect at once.

// The value of a key; empty when the file, section or key is missing. At most
// 1,023 characters come back.
QString ReadSetting(const Environment& environment, const QString& section, const QString& key);

// The whole file read once, for reading many keys as ReadSetting would (start-up).
ProfileFile::Snapshot readSettingsFile(const Environment& environment);

// Writes every entry in one go; false when the file could not be written (a full
// disk included), in which case the file keeps its old content.
bool writeSettings(const Environment& environment, const QList<ProfileFile::Entry>& entries);

// The settings file's path.
QString settingsFilePath(const Environment& environment);
// The server history, swr.his, beside swr.ini.
QString HistoryFilePath(const Environment& environment);
