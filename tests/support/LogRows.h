#pragma once

#include "log/LogDatabase.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>

// The rows a query reads from the program's log, each as its column texts.
inline QList<QStringList> LogRows(LogDatabase& log, const QString& sql) {
    QList<QStringList> rows;
    if (!log.OpenLogDatabase())
        return rows;
    {
        QSqlQuery query(log.connection());
        if (query.exec(sql))
            while (query.next()) {
                QStringList row;
                for (int c = 0; c < query.record().count(); ++c)
                    row << query.value(c).toString();
                rows << row;
            }
    }
    log.CloseLogDatabase();
    return rows;
}
