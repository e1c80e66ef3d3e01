#pragma once

#include "log/LogDatabase.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

// How a NULL column reads, apart from empty text.
inline const QString kNull = "<null>";

// What a query read from a log file, as another program reads it: a connection of
// its own, opened and closed around the one query. Each row is its values as text,
// NULL as kNull.
struct ReadBack {
    QStringList fields;
    QList<QStringList> rows;
    bool ok = false;
};

inline ReadBack readLog(const QString& path, const QString& sql) {
    ReadBack result;
    const QString name = "log-test-reader";
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(path);
        db.setConnectOptions("QSQLITE_OPEN_READONLY");
        QSqlQuery query(db);
        result.ok = db.open() && query.exec(sql);
        const QSqlRecord record = query.record();
        for (int i = 0; result.ok && i < record.count(); ++i)
            result.fields << record.fieldName(i);
        while (result.ok && query.next()) {
            QStringList row;
            for (int i = 0; i < record.count(); ++i)
                row << (query.isNull(i) ? kNull : query.value(i).toString());
            result.rows << row;
        }
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

inline QList<QStringList> logRows(const LogDatabase& log, const QString& sql) {
    return readLog(log.filePath(), sql).rows;
}

// Another program holding the log in a transaction of its own ("BEGIN EXCLUSIVE",
// "BEGIN IMMEDIATE") for the life of the object.
class OtherProgram {
public:
    OtherProgram(const QString& path, const QString& begin) {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", kName);
        db.setDatabaseName(path);
        held_ = db.open() && QSqlQuery(db).exec(begin);
    }
    ~OtherProgram() {
        {
            QSqlDatabase db = QSqlDatabase::database(kName, false);
            if (held_)
                QSqlQuery(db).exec("COMMIT");
            db.close();
        }
        QSqlDatabase::removeDatabase(kName);
    }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;
    bool holds() const { return held_; }

private:
    static inline const QString kName = "other-program";
    bool held_ = false;
};
