#include "log/LogImport.h"

#include "log/JobLogRow.h"
#include "log/LogDialect.h"
#include "log/SharedLog.h"

#include <QFileInfo>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>
#include <atomic>

namespace {

const QStringList kAuditColumns{"Time", "Action", "Description", "SWR User", "SWR Computer"};

QStringList jobColumns() {
    QStringList columns{QStringLiteral("TransactionID")};
    for (int column = 0; column < LogColumn::Count; ++column)
        columns << logColumnName(column);
    return columns;
}

QString quotedList(const QStringList& columns) {
    return QLatin1Char('"') + columns.join(QStringLiteral("\", \"")) + QLatin1Char('"');
}

QString placeholders(qsizetype count) {
    return QStringLiteral("?") + QStringLiteral(", ?").repeated(count - 1);
}

// A connection for the life of one import, removed with it.
class Connection {
public:
    explicit Connection(const QString& driver) {
        static std::atomic<int> serial{0};
        name_ = QStringLiteral("spoolwright-import-%1").arg(++serial);
        db_ = QSqlDatabase::addDatabase(driver, name_);
    }
    ~Connection() {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(name_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    QSqlDatabase& db() { return db_; }

private:
    QString name_;
    QSqlDatabase db_;
};

struct Merge {
    QSqlQuery& source;
    QSqlDatabase& shared;
    LogImport& result;

    bool fail(const QSqlQuery& query) {
        result.error = query.lastError().text();
        return false;
    }

    bool jobRows() {
        const QStringList columns = jobColumns();
        if (!source.exec(
                QStringLiteral("SELECT %1 FROM SWR_Log ORDER BY rowid").arg(quotedList(columns))))
            return fail(source);
        QSqlQuery insert(shared);
        insert.prepare(QStringLiteral("INSERT INTO SWR_Log (%1) VALUES (%2) ON CONFLICT "
                                      "(COALESCE(\"Server\", ''), \"TransactionID\") DO NOTHING")
                           .arg(quotedList(columns), placeholders(columns.size())));
        while (source.next()) {
            // A row without a key cannot be told from its copies: the program never
            // writes one.
            if (source.value(0).toString().isEmpty()) {
                ++result.skipped;
                continue;
            }
            for (int i = 0; i < columns.size(); ++i)
                insert.bindValue(i, textOf(source.value(i)));
            if (!insert.exec())
                return fail(insert);
            ++(insert.numRowsAffected() > 0 ? result.added : result.skipped);
        }
        return true;
    }

    bool auditRows() {
        // How many of each audit row the shared log holds, read once: the rows of the
        // file that it holds as often are skipped.
        QHash<QString, qint64> held;
        QSqlQuery existing(shared);
        existing.setForwardOnly(true);
        if (!existing.exec(
                QStringLiteral("SELECT %1 FROM SWR_Audit").arg(quotedList(kAuditColumns))))
            return fail(existing);
        while (existing.next())
            ++held[identityOf(existing)];
        existing.finish();
        if (!source.exec(QStringLiteral("SELECT %1 FROM SWR_Audit ORDER BY rowid")
                             .arg(quotedList(kAuditColumns))))
            return fail(source);
        QSqlQuery insert(shared);
        insert.prepare(QStringLiteral("INSERT INTO SWR_Audit (%1) VALUES (%2)")
                           .arg(quotedList(kAuditColumns), placeholders(kAuditColumns.size())));
        while (source.next()) {
            qint64& copies = held[identityOf(source)];
            if (copies > 0) {
                --copies;
                ++result.skipped;
                continue;
            }
            for (int i = 0; i < kAuditColumns.size(); ++i)
                insert.bindValue(i, textOf(source.value(i)));
            if (!insert.exec())
                return fail(insert);
            ++result.added;
        }
        return true;
    }

    // An audit row's values as the shared log stores them, NULL apart from any text.
    static QString identityOf(const QSqlQuery& row) {
        QStringList values;
        for (int i = 0; i < kAuditColumns.size(); ++i) {
            const QVariant value = textOf(row.value(i));
            values << (value.isNull() ? QStringLiteral("\x01") : value.toString());
        }
        return values.join(QChar(0));
    }

    // As the shared log stores it: text, empty as NULL, without NUL.
    static QVariant textOf(const QVariant& value) {
        QString text = value.isNull() ? QString() : value.toString();
        text.remove(QChar(0));
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
};

} // namespace

LogImport importLocalLog(const QString& localFile, const QString& logPath,
                         const QString& programFolder) {
    LogImport result;
    if (!SharedLog::isSharedLogPath(logPath)) {
        result.error = QStringLiteral("The log path \"%1\" names no shared log. Set Log Path in "
                                      "the settings to its postgresql:// address first.")
                           .arg(logPath);
        return result;
    }
    const std::optional<SharedLog::Address> address = SharedLog::addressOf(logPath, &result.error);
    if (!address)
        return result;
    if (!QFileInfo(localFile).isFile()) {
        result.error = QStringLiteral("There is no log file %1.").arg(localFile);
        return result;
    }
    Connection local(QStringLiteral("QSQLITE"));
    local.db().setDatabaseName(
        QUrl::fromLocalFile(QFileInfo(localFile).absoluteFilePath()).toString(QUrl::FullyEncoded) +
        QStringLiteral("?mode=ro"));
    local.db().setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
    if (!local.db().open()) {
        result.error = QStringLiteral("The log file %1 cannot be read: %2")
                           .arg(localFile, local.db().lastError().text());
        return result;
    }
    Connection shared(QStringLiteral("QPSQL"));
    bool created = false;
    if (!SharedLog::open(shared.db(), *address, SharedLog::kStatementLimitMs, &result.error) ||
        !SharedLog::makeSchema(shared.db(), programFolder, &created, &result.error))
        return result;
    // An import reads and writes the whole log: no one-second limit.
    const WholeLogRead reading(shared.db());
    QSqlQuery source(local.db());
    source.setForwardOnly(true);
    QSqlQuery transaction(shared.db());
    Merge merge{source, shared.db(), result};
    if (!transaction.exec(QStringLiteral("BEGIN"))) {
        result.error = transaction.lastError().text();
        return result;
    }
    result.ok = merge.jobRows() && merge.auditRows() && transaction.exec(QStringLiteral("COMMIT"));
    if (!result.ok) {
        if (result.error.isEmpty())
            result.error = transaction.lastError().text();
        transaction.exec(QStringLiteral("ROLLBACK"));
        result.added = result.skipped = 0;
        result.error = QStringLiteral("Nothing was imported: ") + result.error;
    }
    return result;
}
