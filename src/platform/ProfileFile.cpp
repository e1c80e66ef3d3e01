#include "platform/ProfileFile.h"

#include "platform/SafeFile.h"

#include <QByteArrayList>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringView>
#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// Lines are kept as the bytes they were read as, so that a rewrite of one key cannot
// alter any other line, whatever its encoding. Each line is a view into the file's
// bytes, which its holder keeps: a file of many lines costs no allocation a line.
using Line = QByteArrayView;
using Lines = QList<Line>;

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
    Lines lines;
    qsizetype start = 0;
    // A final line end does not start another line.
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        if (end < 0)
            end = data.size();
        Line line(data.constData() + start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(line);
        start = end + 1;
    }
    return lines;
}

// `withValue`: the value is wanted too; finding the sections and keys of a file
// needs only their names. Only the first kLongestLine bytes of a line are read.
ParsedLine parse(Line raw, bool firstLine, bool withValue) {
    const QString text = QString::fromUtf8(
        raw.constData(), std::min<qsizetype>(raw.size(), ProfileFile::kLongestLine));
    QStringView view(text);
    // A byte order mark written by an editor must not hide the first section.
    if (firstLine && view.startsWith(QChar(0xFEFF)))
        view = view.mid(1);
    view = view.trimmed();

    ParsedLine line;
    if (view.startsWith(QLatin1Char('['))) {
        const qsizetype close = view.indexOf(QLatin1Char(']'));
        if (close > 0) {
            line.kind = ParsedLine::Section;
            line.name = view.mid(1, close - 1).trimmed().toString();
        }
        return line;
    }
    if (view.startsWith(QLatin1Char(';')))
        return line;
    const qsizetype equals = view.indexOf(QLatin1Char('='));
    if (equals < 0)
        return line;
    line.kind = ParsedLine::Key;
    line.name = view.left(equals).trimmed().toString();
    if (withValue)
        line.value = view.mid(equals + 1).trimmed().toString();
    return line;
}

QString folded(const QString& name) {
    return name.toCaseFolded();
}

bool isAsciiSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// What finding sections and keys needs of a line: its kind and its name folded for
// matching, as parse() would give them. Lines of plain ASCII, nearly all, are looked
// at as bytes, without a text made of each; any other goes through parse().
struct LineName {
    ParsedLine::Kind kind = ParsedLine::Other;
    QString folded;
};

LineName nameOf(Line raw, bool firstLine) {
    const char* begin = raw.constData();
    const char* end = begin + std::min<qsizetype>(raw.size(), ProfileFile::kLongestLine);
    while (begin < end && isAsciiSpace(*begin))
        ++begin;
    if (begin == end)
        return {};
    const char* nameBegin = begin + 1;
    const char* nameEnd = nullptr;
    if (*begin == ';')
        return {};
    if (*begin == '[') {
        nameEnd = static_cast<const char*>(std::memchr(nameBegin, ']', size_t(end - nameBegin)));
    } else {
        nameBegin = begin;
        nameEnd = static_cast<const char*>(std::memchr(begin, '=', size_t(end - begin)));
    }
    const bool ascii = !firstLine && static_cast<unsigned char>(*begin) < 0x80 &&
                       std::all_of(nameBegin, nameEnd ? nameEnd : nameBegin,
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii) {
        ParsedLine line = parse(raw, firstLine, false);
        return {line.kind, folded(line.name)};
    }
    if (!nameEnd)
        return {};
    while (nameBegin < nameEnd && isAsciiSpace(*nameBegin))
        ++nameBegin;
    while (nameEnd > nameBegin && isAsciiSpace(nameEnd[-1]))
        --nameEnd;
    QByteArray name(nameBegin, nameEnd - nameBegin);
    for (char& c : name)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return {*begin == '[' ? ParsedLine::Section : ParsedLine::Key, QString::fromLatin1(name)};
}

// Where the sections and keys of a file's lines are, each line parsed once, so that
// a file of many lines costs in proportion to its lines however many keys are read
// or written. Only the first section of a name and the first key of a name within
// it count.
class Index {
public:
    explicit Index(const Lines& lines) {
        int current = -1; // the section the lines belong to, when it is a first one
        for (int i = 0; i < lines.size(); ++i) {
            const LineName line = nameOf(lines.at(i), i == 0);
            if (line.kind == ParsedLine::Section) {
                if (current >= 0)
                    sections_[current].end = i;
                current = -1;
                if (!sectionOf_.contains(line.folded)) {
                    current = int(sections_.size());
                    sectionOf_.insert(line.folded, current);
                    sections_.append({i, int(lines.size()), {}, {}});
                }
            } else if (line.kind == ParsedLine::Key && current >= 0) {
                Section& section = sections_[current];
                if (!section.keyLine.contains(line.folded)) {
                    section.keyLine.insert(line.folded, i);
                    section.keyLines.append(i);
                }
            }
        }
    }

    // The line of the section's header, or -1.
    int header(const QString& section) const {
        const Section* found = find(section);
        return found ? found->header : -1;
    }
    // The line after the section's last: the next header's or the number of lines.
    int end(const QString& section) const { return find(section)->end; }
    // The line of the key in the section, or -1.
    int key(const QString& section, const QString& key) const {
        const Section* found = find(section);
        return found ? found->keyLine.value(folded(key), -1) : -1;
    }
    // The section's keys in file order, spelled as in `lines`, the file's.
    QStringList keys(const Lines& lines, const QString& section) const {
        QStringList names;
        if (const Section* found = find(section))
            for (const int line : found->keyLines)
                if (QString name = parse(lines.at(line), false, false).name; !name.isEmpty())
                    names << name;
        return names;
    }

private:
    struct Section {
        int header;
        int end;
        QHash<QString, int> keyLine;
        QList<int> keyLines; // each key's first line, in file order
    };
    const Section* find(const QString& section) const {
        const auto found = sectionOf_.constFind(folded(section));
        return found == sectionOf_.constEnd() ? nullptr : &sections_.at(*found);
    }

    QHash<QString, int> sectionOf_;
    QList<Section> sections_;
};

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
QByteArray keyPrefix(Line raw) {
    qsizetype at = raw.indexOf('=') + 1;
    while (at < raw.size() && isBlank(raw.at(at)))
        ++at;
    return raw.first(at).toByteArray();
}

bool isBlankLine(Line raw) {
    return raw.trimmed().isEmpty();
}

} // namespace

struct ProfileFile::Snapshot::Content {
    explicit Content(QByteArray read)
        : data(std::move(read)), lines(splitLines(data)), index(lines) {}
    QByteArray data;
    Lines lines;
    Index index;
};

ProfileFile::Snapshot::Snapshot(const QString& path) {
    QByteArray data;
    if (readLines(path, &data))
        content_ = std::make_shared<const Content>(std::move(data));
}

QString ProfileFile::Snapshot::read(const QString& section, const QString& key,
                                    const QString& defaultValue) const {
    if (!content_ || key.trimmed().isEmpty())
        return limited(defaultValue);
    const int found = content_->index.key(section.trimmed(), key.trimmed());
    if (found < 0)
        return limited(defaultValue);
    return limited(parse(content_->lines.at(found), false, true).value);
}

QStringList ProfileFile::Snapshot::keys(const QString& section) const {
    return content_ ? content_->index.keys(content_->lines, section.trimmed()) : QStringList();
}

QString ProfileFile::read(const QString& path, const QString& section, const QString& key,
                          const QString& defaultValue) {
    return Snapshot(path).read(section, key, defaultValue);
}

QStringList ProfileFile::keys(const QString& path, const QString& section) {
    return Snapshot(path).keys(section);
}

namespace {

// The keys written into one file: those already there are rewritten in place at
// once; new ones are gathered where they go and placed when the file is put
// together, so that writing many keys costs one pass over the lines.
class Edit {
public:
    explicit Edit(QByteArray data)
        : data_(std::move(data)), lines_(splitLines(data_)), index_(lines_) {}

    // Sets one key, as write() describes; false when the names cannot be stored.
    bool set(const ProfileFile::Entry& entry) {
        const QString sectionName = entry.section.trimmed();
        const QString keyName = entry.key.trimmed();
        if (!storableNames(sectionName, keyName))
            return false;
        QString oneLine = entry.value;
        oneLine.replace(QLatin1Char('\r'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
        const QByteArray encoded = oneLine.toUtf8();

        const int found = index_.key(sectionName, keyName);
        if (found >= 0) {
            rewritten_[found] = keyPrefix(current(found)) + encoded;
            return true;
        }
        const QString id = folded(sectionName) + QLatin1Char('\n') + folded(keyName);
        const auto added = addedKeys_.constFind(id);
        if (added != addedKeys_.constEnd()) {
            QByteArray& line = addedLine(*added);
            line = keyPrefix(line) + encoded;
            return true;
        }
        const QByteArray line = keyName.toUtf8() + '=' + encoded;
        const int header = index_.header(sectionName);
        if (header >= 0) {
            // After the section's last line of text, so the blank line that parts it
            // from the next section stays where it is.
            int after = index_.end(sectionName) - 1;
            while (after > header && isBlankLine(current(after)))
                --after;
            QList<QByteArray>& there = after_[after];
            addedKeys_.insert(id, {after, int(there.size())});
            there.append(line);
        } else {
            const QString name = folded(sectionName);
            int group = newSectionOf_.value(name, -1);
            if (group < 0) {
                group = int(newSections_.size());
                newSectionOf_.insert(name, group);
                newSections_.append({'[' + sectionName.toUtf8() + ']'});
            }
            addedKeys_.insert(id, {kNewSection - group, int(newSections_[group].size())});
            newSections_[group].append(line);
        }
        return true;
    }

    QByteArray joined() const {
        QByteArray data;
        data.reserve(data_.size() + data_.size() / 8 + 1024);
        bool lastBlank = true;
        auto put = [&](Line line) {
            data.append(line);
            data.append("\r\n");
            lastBlank = isBlankLine(line);
        };
        for (int i = 0; i < lines_.size(); ++i) {
            put(current(i));
            for (const QByteArray& added : after_.value(i))
                put(added);
        }
        // A new section begins after one blank line.
        for (const QList<QByteArray>& section : newSections_) {
            if (!data.isEmpty() && !lastBlank)
                put(Line());
            for (const QByteArray& added : section)
                put(added);
        }
        return data;
    }

private:
    // Where an added key's line is: after which line of the file (or, below
    // kNewSection, in which new section) and at which place there.
    struct Place {
        int at;
        int index;
    };
    static constexpr int kNewSection = -1;

    // A line of the file as it stands now.
    Line current(int index) const {
        const auto found = rewritten_.constFind(index);
        return found == rewritten_.constEnd() ? lines_.at(index) : Line(*found);
    }

    QByteArray& addedLine(const Place& place) {
        if (place.at <= kNewSection)
            return newSections_[kNewSection - place.at][place.index];
        return after_[place.at][place.index];
    }

    QByteArray data_;
    Lines lines_;
    Index index_;
    QHash<int, QByteArray> rewritten_; // lines of the file given new text
    QHash<int, QList<QByteArray>> after_;
    QList<QList<QByteArray>> newSections_;
    QHash<QString, int> newSectionOf_;
    QHash<QString, Place> addedKeys_;
};

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
    Edit edit(old);
    for (const Entry& entry : entries)
        if (!edit.set(entry))
            return false;
    const QByteArray data = edit.joined();
    if (exists && data == old)
        return true;
    return SafeFile::replaceFileContents(path, data);
}
