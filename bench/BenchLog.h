#pragma once

#include "log/LogDatabase.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/Prompter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

// Logging never asks anything; a question here would be a fault of the benchmark.
class NoPrompter : public Prompter {
public:
    Answer message(const QString&, const QString&, Icon, Buttons) override { return Answer::No; }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
};

// The folder of the template swr.db: the installed one, or beside the programs of the
// build tree, in bin/.
inline QString templateFolder() {
    const QString installed = Environment().programFolder();
    if (QFileInfo::exists(QDir(installed).filePath("swr.db")))
        return installed;
    return QDir(QCoreApplication::applicationDirPath()).filePath("../bin");
}

// A log of a benchmark's own, audit off, in a new folder below the folder named on
// the command line (by default the temporary folder).
class BenchLog {
public:
    BenchLog(const char* name, int argc, char** argv)
        : parent(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath()),
          folder(QDir(parent).filePath(QString::fromLatin1(name) + "-XXXXXX")),
          log(
              [this] {
                  return LogContext{folder.path(), false, {}, {}, false};
              },
              templateFolder(), environment, clock, prompter) {
        if (!folder.isValid())
            std::fprintf(stderr, "%s: cannot make a folder in %s\n", name, qPrintable(parent));
    }
    bool valid() const { return folder.isValid(); }

    QString parent;
    QTemporaryDir folder;
    Environment environment;
    Clock clock;
    NoPrompter prompter;
    LogDatabase log;
};
