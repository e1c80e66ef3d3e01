#pragma once

#include <QSqlDatabase>

struct sqlite3;

// The SQLite connection under a log's Qt connection; none for a shared log, which
// PostgreSQL serves.
sqlite3* sqliteHandle(const QSqlDatabase& db);
