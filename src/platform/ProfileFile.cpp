#include "platform/ProfileFile.h"

#include "platform/SafeFile.h"

#include <QByteArrayList>
#include <QFile>
#include <QFileInfo>

namespace {

// Lines are kept as the bytes they were read as, so that a rewrite of one key cannot
// alter any other line, whatever its encoding.
using Lines = QByteArrayList;

struct ParsedLine {
    enum Kind { Other, Section, Key };
    Kind kind = Other;
    QString name; // section name or key, trimmed
    QString value;
};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

Lines splitLines(const QByteArray& data) {
    Lines lines = data.split('\n');
    // A final line end does not start another line.
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

QByteArray joinLines(const Lines& lines) {
    QByteArray data;
    for (const QByteArray& line : lines) {
        data += line;
        data += "\r\n";
    }
    return data;
}

ParsedLine parse(const QByteArray& raw, bool firstLine) {
    QString text = QString::fromUtf8(raw);
    // A byte order mark written by an editor must not hide the first section.
    if (firstLine && text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text = text.trimmed();

    ParsedLine line;
    if (text.startsWith(QLatin1Char('['))) {
        const int close = text.indexOf(QLatin1Char(']'));
        if (close > 0) {
            line.kind = ParsedLine::Section;
            line.name = text.mid(1, close - 1).trimmed();
        }
        return line;
    }
    if (text.startsWith(QLatin1Char(';')))
        return line;
    const int equals = text.indexOf(QLatin1Char('='));
    if (equals < 0)
        return line;
    line.kind = ParsedLine::Key;
    line.name = text.left(equals).trimmed();
    line.value = text.mid(equals + 1).trimmed();
    return line;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The index of the first header line of `section`, or -1.
int findSection(const Lines& lines, const QString& section) {
    for (int i = 0; i < lines.size(); ++i) {
        const ParsedLine line = parse(lines.at(i), i == 0);
        if (line.kind == ParsedLine::Section && sameName(line.name, section))
            return i;
    }
    return -1;
}

// The index of the next section header after `header`, or the number of lines.
int sectionEnd(const Lines& lines, int header) {
    for (int i = header + 1; i < lines.size(); ++i) {
        if (parse(lines.at(i), false).kind == ParsedLine::Section)
            return i;
    }
    return int(lines.size());
}

// The index of the first line of `key` between `begin` and `end`, or -1.
int findKey(const Lines& lines, int begin, int end, const QString& key) {
    for (int i = begin; i < end; ++i) {
        const ParsedLine line = parse(lines.at(i), false);
        if (line.kind == ParsedLine::Key && sameName(line.name, key))
            return i;
    }
    return -1;
}

bool readLines(const QString& path, QByteArray* data) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *data = file.readAll();
    return file.error() == QFileDevice::NoError;
}

QString limited(const QString& value) {
    if (value.size() <= ProfileFile::kMaxValueLength)
        return value;
    int length = ProfileFile::kMaxValueLength;
    // Never hand back half of a character outside the basic plane.
    if (value.at(length - 1).isHighSurrogate())
        --length;
    return value.left(length);
}

bool hasLineBreak(const QString& text) {
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

// Names that would read back as something else are refused rather than written.
bool storableNames(const QString& section, const QString& key) {
    if (section.isEmpty() || key.isEmpty() || hasLineBreak(section) || hasLineBreak(key))
        return false;
    if (section.contains(QLatin1Char(']')))
        return false;
    return !key.contains(QLatin1Char('=')) && !key.startsWith(QLatin1Char('[')) &&
           !key.startsWith(QLatin1Char(';'));
}

// The key line as it stands up to its value: the key's own spelling, the '=' and the
// blanks after it.
QByteArray keyPrefix(const QByteArray& raw) {
    int at = int(raw.indexOf('=')) + 1;
    while (at < raw.size() && isBlank(raw.at(at)))
        ++at;
    return raw.left(at);
}

bool isBlankLine(const QByteArray& raw) {
    return raw.trimmed().isEmpty();
}

} // namespace

QString ProfileFile::read(const QString& path, const QString& section, const QString& key,
                          const QString& defaultValue) {
    QByteArray data;
    if (key.trimmed().isEmpty() || !readLines(path, &data))
        return limited(defaultValue);
    const Lines lines = splitLines(data);
    const int header = findSection(lines, section.trimmed());
    if (header < 0)
        return limited(defaultValue);
    const int found = findKey(lines, header + 1, sectionEnd(lines, header), key.trimmed());
    if (found < 0)
        return limited(defaultValue);
    return limited(parse(lines.at(found), false).value);
}

namespace {

// Sets one key in the lines of a file, as write() describes; false when the names
// cannot be stored.
bool setKey(Lines& lines, const ProfileFile::Entry& entry) {
    const QString sectionName = entry.section.trimmed();
    const QString keyName = entry.key.trimmed();
    if (!storableNames(sectionName, keyName))
        return false;
    QString oneLine = entry.value;
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QByteArray encoded = oneLine.toUtf8();

    const int header = findSection(lines, sectionName);
    if (header >= 0) {
        const int end = sectionEnd(lines, header);
        const int found = findKey(lines, header + 1, end, keyName);
        if (found >= 0) {
            lines[found] = keyPrefix(lines.at(found)) + encoded;
        } else {
            // After the section's last line of text, so the blank line that parts it
            // from the next section stays where it is.
            int after = end - 1;
            while (after > header && isBlankLine(lines.at(after)))
                --after;
            lines.insert(after + 1, keyName.toUtf8() + '=' + encoded);
        }
    } else {
        if (!lines.isEmpty() && !isBlankLine(lines.constLast()))
            lines.append(QByteArray());
        lines.append('[' + sectionName.toUtf8() + ']');
        lines.append(keyName.toUtf8() + '=' + encoded);
    }
    return true;
}

} // namespace

bool ProfileFile::write(const QString& path, const QString& section, const QString& key,
                        const QString& value) {
    return writeAll(path, {{section, key, value}});
}

bool ProfileFile::writeAll(const QString& path, const QList<Entry>& entries) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    QByteArray old;
    const bool exists = info.exists();
    if (exists && (info.isDir() || !readLines(path, &old)))
        return false;
    Lines lines = splitLines(old);
    for (const Entry& entry : entries)
        if (!setKey(lines, entry))
            return false;
    const QByteArray data = joinLines(lines);
    if (exists && data == old)
        return true;
    return SafeFile::replaceFileContents(path, data);
}

QStringList ProfileFile::keys(const QString& path, const QString& section) {
    QStringList names;
    QByteArray data;
    if (!readLines(path, &data))
        return names;
    const Lines lines = splitLines(data);
    const int header = findSection(lines, section.trimmed());
    if (header < 0)
        return names;
    const int end = sectionEnd(lines, header);
    for (int i = header + 1; i < end; ++i) {
        const ParsedLine line = parse(lines.at(i), false);
        if (line.kind == ParsedLine::Key && !line.name.isEmpty() &&
            !names.contains(line.name, Qt::CaseInsensitive))
            names.append(line.name);
    }
    return names;
}
