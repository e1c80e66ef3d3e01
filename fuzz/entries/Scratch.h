#pragma once

#include <QByteArray>
#include <QString>

// What the entries share: an application for the readers that need one, and a
// folder of this process's own for the files they read.
namespace Scratch {

// Makes an application (off screen) unless the process has one.
void ensureApplication();
// The path of a file named `name` in this process's scratch folder, which is left
// for the next run to remove.
QString path(const QString& name);
// Writes the bytes to that file and returns its path; empty when it could not.
QString write(const QString& name, const QByteArray& bytes);
// A readable sample of a text for a message: its start, escaped.
QString sample(const QString& text);

} // namespace Scratch
