#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Writes `bytes` as the whole file; false when it cannot.
inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// The whole file; "<unreadable>" when it is missing or cannot be read, which no
// test writes, so that a missing file never passes for an empty one.
inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}
