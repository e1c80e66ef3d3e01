#pragma once

#include <QByteArray>
#include <QString>

// The one way the program replaces a file it writes (settings, server history, and
// every report or export): the old content stays until the new content is known to
// be on disk whole, so a full disk, a quota or a failing device can never leave an
// empty or half-written file in its place.
namespace SafeFile {

// Writes `bytes` to a new file beside `path`, syncs it to disk, checks that the file
// holds exactly `bytes`, and only then renames it over `path`. An existing file keeps
// its permission bits; a path that is a symbolic link has its target replaced and
// stays a link. A missing file is created, a missing folder is not.
//
// False when anything of that failed (no space, no rights, a read-only file, a
// missing folder, a directory at `path`): the file at `path` is then exactly as it was, and no
// temporary file is left behind. `whyNot`, when given, then receives the reason in a few
// words ("No space left on device"), for a message to the operator.
bool replaceFileContents(const QString& path, const QByteArray& bytes, QString* whyNot = nullptr);

enum class Created { New, Exists, Failed };
// Makes a new file at `path` holding `bytes`, written and checked whole beside it
// before it takes the name, and only where no file is: a file another process made
// there meanwhile is never replaced (Exists). Failed as replaceFileContents fails,
// leaving nothing behind; the new file has the usual 0666 less the umask.
Created createFileContents(const QString& path, const QByteArray& bytes, QString* whyNot = nullptr);

} // namespace SafeFile
