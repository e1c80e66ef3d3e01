#include "entries/FuzzEntries.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

// Every input a fuzzer once found trouble with, and every seed, goes through the
// reader again, as the fuzz target feeds it: each must be read without a crash and
// without losing what it should keep.
TEST(FuzzRegressionTest, EveryKeptInputReadsCleanly) {
    const QDir fuzz(QStringLiteral(SPOOLWRIGHT_FUZZ_DIR));
    int inputs = 0;
    for (const FuzzEntries::Target& target : FuzzEntries::kTargets) {
        const QString name = QString::fromLatin1(target.name);
        ASSERT_TRUE(fuzz.exists(QStringLiteral("corpus/") + name)) << target.name;
        for (const QString& folder : {QStringLiteral("corpus/"), QStringLiteral("regressions/")}) {
            const QDir inputsHere(fuzz.filePath(folder + name));
            for (const QString& file : inputsHere.entryList(QDir::Files)) {
                QFile input(inputsHere.filePath(file));
                ASSERT_TRUE(input.open(QIODevice::ReadOnly)) << qPrintable(input.fileName());
                EXPECT_EQ(target.entry(input.readAll()).toStdString(), "")
                    << qPrintable(input.fileName());
                ++inputs;
            }
        }
    }
    EXPECT_GT(inputs, 0);
}
