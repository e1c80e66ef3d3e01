#pragma once

#include "platform/Environment.h"
#include "platform/Prompter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QString>

// What the log benchmarks share: a prompter for a log that must never ask anything
// (a question would be a fault of the benchmark), and the folder of the template.

class NoPrompter : public Prompter {
public:
    Answer message(const QString&, const QString&, Icon, Buttons) override { return Answer::No; }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
};

// The installed program folder, or, run from the build tree, bin/ beside bench/.
inline QString templateFolder() {
    const QString installed = Environment().programFolder();
    if (QFileInfo::exists(QDir(installed).filePath("swr.db")))
        return installed;
    return QDir(QCoreApplication::applicationDirPath()).filePath("../bin");
}
