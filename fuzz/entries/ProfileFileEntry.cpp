#include "FuzzEntries.h"
#include "Scratch.h"

#include "form/SettingsRecord.h"
#include "platform/ProfileFile.h"
#include "shell/Settings.h"

namespace {

// The sections the program reads, and one no file is likely to hold.
const QStringList kSections = {QStringLiteral("Spoolwright"), QStringLiteral("Favourites"),
                               QStringLiteral("Nowhere")};

// An input whose first byte is 0xFF stands for its rest repeated to past the longest
// line read, so that such lines are tried without inputs that large.
QByteArray fileContent(const QByteArray& input) {
    if (!input.startsWith('\xff') || input.size() < 2)
        return input;
    const QByteArray unit = input.mid(1);
    return unit.repeated(ProfileFile::kLongestLine / unit.size() + 2);
}

} // namespace

namespace FuzzEntries {

QString profileFile(const QByteArray& input) {
    const QString path = Scratch::write(QStringLiteral("swr.ini"), fileContent(input));
    if (path.isEmpty())
        return QStringLiteral("the scratch file could not be written");

    const ProfileFile::Snapshot ini(path);
    SettingsRecord record;
    readSettingsRecord(ini, record);

    // A snapshot reads as the file does, key by key.
    for (const QString& section : kSections) {
        const QStringList keys = ini.keys(section);
        if (keys != ProfileFile::keys(path, section))
            return QStringLiteral("the keys of [%1] differ between a snapshot and the file")
                .arg(section);
        // Each read of the file reads it whole: a few keys tell as much as all of them.
        for (const QString& key : keys.mid(0, 8)) {
            const QString value = ini.read(section, key);
            if (value != ProfileFile::read(path, section, key))
                return QStringLiteral("%1 differs between a snapshot and the file")
                    .arg(Scratch::sample(key));
            if (value.size() > ProfileFile::kMaxValueLength)
                return QStringLiteral("%1 is longer than a value may be").arg(Scratch::sample(key));
        }
    }

    // A key written reads back as written, and the other keys keep their values.
    const QStringList before = ini.keys(kSections.first());
    const QString server = QStringLiteral("printhost:8631");
    if (!ProfileFile::write(path, kSections.first(), QStringLiteral("Server"), server))
        return QStringLiteral("the Server key could not be written");
    const ProfileFile::Snapshot after(path);
    if (after.read(kSections.first(), QStringLiteral("Server")) != server)
        return QStringLiteral("the Server key written reads back as %1")
            .arg(Scratch::sample(after.read(kSections.first(), QStringLiteral("Server"))));
    for (const QString& key : before) {
        if (key.compare(QStringLiteral("Server"), Qt::CaseInsensitive) == 0)
            continue;
        if (after.read(kSections.first(), key) != ini.read(kSections.first(), key))
            return QStringLiteral("writing the Server key changed %1").arg(Scratch::sample(key));
    }
    return QString();
}

} // namespace FuzzEntries
