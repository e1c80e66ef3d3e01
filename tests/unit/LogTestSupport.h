#pragma once

#include "log/LogDatabase.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "support/LogRows.h"
#include "support/RecordingPrompter.h"

#include <QDir>
#include <QFileInfo>
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

// A log in a temporary LogPath folder, with its context, clock and prompter at hand;
// the template is the one the build made in the program folder beside the tests.
class LogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        ASSERT_TRUE(QFileInfo::exists(QDir(kProgramFolder).filePath("swr.db")))
            << "the build makes the template swr.db in the program folder";
        context.logPath = folder_.path();
        context.audit = true;
        context.server = "printhost";
        context.queue = "Office";
    }

    std::unique_ptr<LogDatabase> makeLog(const QString& programFolder = kProgramFolder) {
        return std::make_unique<LogDatabase>([this] { return context; }, programFolder, environment,
                                             clock, prompter);
    }

    QString logFile() const { return QDir(context.logPath).filePath("swr.db"); }
    QString inFolder(const QString& name) const { return QDir(folder_.path()).filePath(name); }

    ReadBack read(const QString& sql) const { return readLog(logFile(), sql); }
    QList<QStringList> rows(const QString& sql) const { return read(sql).rows; }
    QList<QStringList> auditRows() const {
        return read(("SELECT Action, Description FROM SWR_Audit ORDER BY rowid")).rows;
    }

    static inline const QString kProgramFolder = QStringLiteral(SPOOLWRIGHT_BINARY_DIR "/bin");
    LogContext context;
    Environment environment;
    FixedClock clock;
    RecordingPrompter prompter;

private:
    QTemporaryDir folder_;
};
