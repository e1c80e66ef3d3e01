#pragma once

#include <QString>
#include <QStringList>
#include <memory>

// Profile files: the plain "[Section]" / "Key=Value" text files the settings live in,
// read and written the way the program has always expected them to behave.
//
// - Sections and keys are matched without regard to case; blanks around section
//   names, keys and values are ignored. Lines starting with ';' are comments.
// - Where a section or a key appears twice, the first one counts, for reading and
//   for writing alike.
// - Values are taken literally: no quoting, no escapes, no inline comments, so '=',
//   ';', '[' and quotes inside a value come back as written.
// - Lines are written with CR LF; files with LF alone read the same.
// - The bytes of lines that are not rewritten are kept exactly (comments, order,
//   spelling, even text that is not UTF-8). New text is written as UTF-8.
namespace ProfileFile {

// The longest value read back; longer values are cut, as by a 1,024-byte buffer.
inline constexpr int kMaxValueLength = 1023;
// The most of one line that is read: a longer line (a file damaged or made by
// something else) is read as its first 64 KB, so that a line of megabytes costs no
// more than that. Its bytes are still kept whole when another key is written.
inline constexpr int kLongestLine = 64 * 1024;

// The value of `key` in the first `section` of the file, without surrounding blanks
// and cut to kMaxValueLength characters. `defaultValue` (cut the same way) when the
// file cannot be read or the section or key is missing; a key that is present with
// an empty value gives empty text, not the default.
QString read(const QString& path, const QString& section, const QString& key,
             const QString& defaultValue = QString());

// Sets `key` in `section` to `value` and puts the file on disk at once. An existing
// key is rewritten in place, keeping the spelling of its key and the blanks before
// the value; a missing key goes after the last line of its section; a missing section
// is added at the end of the file, after one blank line. A missing file is created,
// but not a missing folder: the folders belong to whoever chose the path.
//
// The whole file is replaced through SafeFile, so a crash or a full disk leaves the
// old file or the new one, never half of one. A write that changes nothing leaves the
// file alone. Line breaks inside `value` become blanks, so one key stays one line.
//
// False when nothing was written: the folder is missing or not writable, the disk is
// full, the file exists but cannot be read (it is never replaced blind) or is
// read-only, or the names cannot be stored (empty, a section name holding ']', a key
// holding '=' or starting with '[' or ';', either holding a line break).
bool write(const QString& path, const QString& section, const QString& key, const QString& value);

// One key to write, in its section.
struct Entry {
    QString section;
    QString key;
    QString value;
};
// Writes every entry, in order, as write() would one after the other, but puts the
// file on disk once: all of them or, when any cannot be stored, none.
bool writeAll(const QString& path, const QList<Entry>& entries);

// The keys of the first `section`, in file order, each once and spelled as in the
// file; empty when the file or section is missing.
QStringList keys(const QString& path, const QString& section);

// A file read once, for many reads: each gives what read() and keys() would have
// given at the moment the file was read. A file of many lines or one very long line
// costs one pass, however many keys are read.
class Snapshot {
public:
    explicit Snapshot(const QString& path);
    QString read(const QString& section, const QString& key,
                 const QString& defaultValue = QString()) const;
    QStringList keys(const QString& section) const;

private:
    struct Content;
    std::shared_ptr<const Content> content_; // none when the file cannot be read
};

} // namespace ProfileFile
