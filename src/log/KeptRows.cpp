#include "log/KeptRows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
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

bool KeepRows(const QString& logFile, const QString& runTag,
              const std::deque<LogDatabase::PendingWrite>& rows) {
    QJsonArray array;
    for (const LogDatabase::PendingWrite& row : rows) {
        QJsonArray fields;
        for (const LogField& field : row.fields)
            fields.append(QJsonArray{field.column, field.value});
        array.append(QJsonObject{{QStringLiteral("kind"), kindName(row.kind)},
                                 {QStringLiteral("id"), row.transactionId},
                                 {QStringLiteral("fields"), fields}});
    }
    QSaveFile file(logFile + kSuffix + runTag);
    return file.open(QIODevice::WriteOnly) &&
           file.write(QJsonDocument(array).toJson(QJsonDocument::Compact)) >= 0 && file.commit();
}

QList<LogDatabase::PendingWrite> TakeKeptRows(const QString& logFile) {
    const QFileInfo log(logFile);
    QDir folder = log.absoluteDir();
    const QStringList names =
        folder.entryList({log.fileName() + kSuffix + QLatin1Char('*')}, QDir::Files, QDir::Name);
    QList<LogDatabase::PendingWrite> taken;
    for (const QString& name : names) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const auto rows = rowsOf(file.readAll());
        file.close();
        // Whoever removes the file has taken its rows.
        if (rows && folder.remove(name))
            taken += *rows;
    }
    return taken;
}
