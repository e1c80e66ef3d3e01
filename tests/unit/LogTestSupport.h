#pragma once

#include "log/LogDatabase.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "support/RecordingPrompter.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// A clock the test sets.
class FixedClock : public Clock {
public:
    QDateTime time = QDateTime(QDate(2001, 3, 5), QTime(9, 5));
    QDateTime now() const override { return time; }
};

// How a NULL column reads in rowsOf(), apart from empty text.
inline const QString kNull = QStringLiteral("<null>");

// The log as another program sees it: a connection of its own, opened and closed
// around one query. Each row is its values as text, NULL as kNull.
struct ReadBack {
    QStringList fields;
    QList<QStringList> rows;
    bool ok = false;
};

inline ReadBack readBack(const QString& path, const QString& sql) {
    ReadBack result;
    const QString name = QStringLiteral("log-test-reader");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(sql)) {
                result.ok = true;
                const QSqlRecord record = query.record();
                for (int i = 0; i < record.count(); ++i)
                    result.fields << record.fieldName(i);
                while (query.next()) {
                    QStringList row;
                    for (int i = 0; i < record.count(); ++i)
                        row << (query.isNull(i) ? kNull : query.value(i).toString());
                    result.rows << row;
                }
            }
        }
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

// The template the build made, in the program folder beside the test executables.
inline QString builtTemplateFolder() {
    return QStringLiteral(SPOOLWRIGHT_BINARY_DIR "/bin");
}

// A log in a temporary LogPath folder, with its context, clock and prompter at hand.
class LogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        ASSERT_TRUE(QFileInfo::exists(QDir(builtTemplateFolder()).filePath("swr.db")))
            << "the build makes the template swr.db in the program folder";
        context.logPath = folder_.path();
        context.audit = true;
        context.server = QStringLiteral("printhost");
        context.queue = QStringLiteral("Office");
    }

    std::unique_ptr<LogDatabase> makeLog(const QString& programFolder = builtTemplateFolder()) {
        return std::make_unique<LogDatabase>([this] { return context; }, programFolder, environment,
                                             clock, prompter);
    }

    QString logFile() const { return QDir(context.logPath).filePath(QStringLiteral("swr.db")); }
    QString folderPath() const { return folder_.path(); }

    ReadBack read(const QString& sql) const { return readBack(logFile(), sql); }
    QList<QStringList> auditRows() const {
        return read(QStringLiteral("SELECT \"Action\", \"Description\" FROM SWR_Audit "
                                   "ORDER BY rowid"))
            .rows;
    }

    LogContext context;
    Environment environment;
    FixedClock clock;
    RecordingPrompter prompter;

private:
    QTemporaryDir folder_;
};
