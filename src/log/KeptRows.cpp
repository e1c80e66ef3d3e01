#include "log/KeptRows.h"

#include "platform/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <optional>

namespace {

const QString kSuffix = QStringLiteral(".waiting-");

QString kindName(LogDatabase::PendingWrite::Kind kind) {
    switch (kind) {
    case LogDatabase::PendingWrite::Kind::Audit:
        return QStringLiteral("audit");
    case LogDatabase::PendingWrite::Kind::Fields:
        return QStringLiteral("fields");
    case LogDatabase::PendingWrite::Kind::NewRow:
        return QStringLiteral("new");
    }
    return QString();
}

std::optional<LogDatabase::PendingWrite::Kind> kindOf(const QString& name) {
    for (const auto kind :
         {LogDatabase::PendingWrite::Kind::Audit, LogDatabase::PendingWrite::Kind::Fields,
          LogDatabase::PendingWrite::Kind::NewRow})
        if (kindName(kind) == name)
            return kind;
    return std::nullopt;
}

// The rows of one file; nothing when any of it is not as written.
std::optional<QList<LogDatabase::PendingWrite>> rowsOf(const QByteArray& content) {
    const QJsonDocument document = QJsonDocument::fromJson(content);
    if (!document.isArray())
        return std::nullopt;
    QList<LogDatabase::PendingWrite> rows;
    for (const QJsonValue& value : document.array()) {
        const QJsonObject row = value.toObject();
        const auto kind = kindOf(row.value(QStringLiteral("kind")).toString());
        if (!kind || !row.value(QStringLiteral("fields")).isArray())
            return std::nullopt;
        QList<LogField> fields;
        for (const QJsonValue& field : row.value(QStringLiteral("fields")).toArray()) {
            const QJsonArray pair = field.toArray();
            if (pair.size() != 2)
                return std::nullopt;
            fields.append({pair.at(0).toString(), pair.at(1).toString()});
        }
        rows.append({*kind, row.value(QStringLiteral("id")).toString(), fields});
    }
    return rows;
}

} // namespace

bool keepRows(const QString& logFile, const QString& runTag,
              const std::deque<LogDatabase::PendingWrite>& rows, QString* whyNot) {
    QJsonArray array;
    for (const LogDatabase::PendingWrite& row : rows) {
        QJsonArray fields;
        for (const LogField& field : row.fields)
            fields.append(QJsonArray{field.column, field.value});
        array.append(QJsonObject{{QStringLiteral("kind"), kindName(row.kind)},
                                 {QStringLiteral("id"), row.transactionId},
                                 {QStringLiteral("fields"), fields}});
    }
    const QByteArray bytes = QJsonDocument(array).toJson(QJsonDocument::Compact);
    QString reason;
    switch (SafeFile::createFileContents(logFile + kSuffix + runTag, bytes, &reason)) {
    case SafeFile::Created::New:
        return true;
    case SafeFile::Created::Exists:
        reason = QStringLiteral("A file of that name is there already");
        break;
    case SafeFile::Created::Failed:
        break;
    }
    if (whyNot)
        *whyNot = reason;
    return false;
}

QString keptRowsText(const std::deque<LogDatabase::PendingWrite>& rows) {
    QStringList lines;
    for (const LogDatabase::PendingWrite& row : rows) {
        QStringList fields;
        for (const LogField& field : row.fields)
            fields << field.column + QStringLiteral(": ") + field.value;
        const QString table = row.kind == LogDatabase::PendingWrite::Kind::Audit
                                  ? QStringLiteral("SWR_Audit")
                                  : QStringLiteral("SWR_Log ") + row.transactionId;
        lines << table + QStringLiteral(" - ") + fields.join(QStringLiteral(", "));
    }
    return lines.join(QLatin1Char('\n'));
}

TakenRows takeKeptRowsOf(const QString& logFile) {
    const QFileInfo log(logFile);
    QDir folder = log.absoluteDir();
    const QString prefix = log.fileName() + kSuffix;
    const QStringList names =
        folder.entryList({prefix + QLatin1Char('*')}, QDir::Files, QDir::Name);
    TakenRows taken;
    for (const QString& name : names) {
        // A file still being written has a temporary name of its own, with a dot
        // that no run's tag holds.
        if (name.mid(prefix.size()).contains(QLatin1Char('.')))
            continue;
        QFile file(folder.filePath(name));
        std::optional<QList<LogDatabase::PendingWrite>> rows;
        if (file.open(QIODevice::ReadOnly)) {
            rows = rowsOf(file.readAll());
            file.close();
        }
        // Whoever removes or moves the file has taken it.
        if (rows) {
            if (folder.remove(name))
                taken.rows += *rows;
            continue;
        }
        const QString aside =
            log.fileName() + QStringLiteral(".damaged-waiting-") + name.mid(prefix.size());
        if (folder.rename(name, aside))
            taken.unreadable.append({folder.filePath(name), folder.filePath(aside)});
        else if (folder.exists(name))
            taken.unreadable.append({folder.filePath(name), QString()});
    }
    return taken;
}
