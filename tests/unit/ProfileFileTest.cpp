#include "platform/ProfileFile.h"
#include "support/Files.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ProfileFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString path(const QString& name = "swr.ini") const { return dir_.filePath(name); }

    void put(const QByteArray& content, const QString& name = "swr.ini") const {
        ASSERT_TRUE(writeFile(path(name), content));
    }

    QByteArray contents(const QString& name = "swr.ini") const { return readFile(path(name)); }

    QStringList folderEntries() const {
        return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QString read(const QString& section, const QString& key,
                 const QString& fallback = "<default>") const {
        return ProfileFile::read(path(), section, key, fallback);
    }

    bool write(const QString& section, const QString& key, const QString& value) const {
        return ProfileFile::write(path(), section, key, value);
    }

    QTemporaryDir dir_;
};

} // namespace

TEST_F(ProfileFileTest, MatchesNamesInAnyCaseReadsAnyLineEndAndTakesTheFirstOfDuplicates) {
    put("[ SpoolWright ]\r\n; Server=from a comment\r\n  SERVER =  alpha  \r\nQueue=\r\n[Other]\r\n"
        "Server=beta\r\nCompany=Acme\r\n");

    EXPECT_EQ(read("spoolwright", "server"), "alpha");
    EXPECT_EQ(read("OTHER", "sErVeR"), "beta");
    // Present but empty is not missing.
    EXPECT_EQ(read("Spoolwright", "Queue"), "");
    // A key of another section is not found in this one, and a comment is no key.
    EXPECT_EQ(read("Spoolwright", "Company"), "<default>");
    EXPECT_EQ(read("Spoolwright", "; Server"), "<default>");
    EXPECT_EQ(read("Missing", "Server"), "<default>");
    EXPECT_EQ(ProfileFile::read(path("absent.ini"), "Spoolwright", "Server", "<default>"),
              "<default>");
    EXPECT_EQ(ProfileFile::read(path(), "Missing", "Server"), "");

    // Files with line feeds alone or a byte order mark read the same.
    put("[Spoolwright]\nServer=alpha\nQueue=laser\n\n[Log Counters]\nPrintedCounter=12\n");
    EXPECT_EQ(read("Spoolwright", "Queue"), "laser");
    EXPECT_EQ(read("Log Counters", "PrintedCounter"), "12");

    put("\xEF\xBB\xBF[Spoolwright]\r\nServer=alpha\r\n");
    EXPECT_EQ(read("Spoolwright", "Server"), "alpha");

    // The first of duplicated sections and keys is read and rewritten.
    put("[Favourites]\r\n0=first\r\n0=second\r\n1=one\r\n[favourites]\r\n0=third\r\n2=two\r\n");

    EXPECT_EQ(read("Favourites", "0"), "first");
    // Only the first section counts, so a key found only in the second is missing.
    EXPECT_EQ(read("Favourites", "2"), "<default>");
    EXPECT_EQ(ProfileFile::keys(path(), "FAVOURITES"), (QStringList{"0", "1"}));

    ASSERT_TRUE(write("Favourites", "0", "new"));
    EXPECT_EQ(read("Favourites", "0"), "new");
    EXPECT_EQ(contents(),
              "[Favourites]\r\n0=new\r\n0=second\r\n1=one\r\n[favourites]\r\n0=third\r\n2=two\r\n");

    EXPECT_TRUE(ProfileFile::keys(path(), "Missing").isEmpty());
    EXPECT_TRUE(ProfileFile::keys(path("absent.ini"), "Favourites").isEmpty());
}

TEST_F(ProfileFileTest, ValuesComeBackLiterallyCutTo1023CharactersAndCannotBreakIntoOtherLines) {
    const QString exact(ProfileFile::kMaxValueLength, QLatin1Char('x'));
    const QString longer = QString(ProfileFile::kMaxValueLength, QLatin1Char('a')) +
                           QStringLiteral("bcdefghijklmnopqrstuvwxyz").repeated(40);

    ASSERT_TRUE(write("Spoolwright", "Exact", exact)); // makes the missing file
    ASSERT_TRUE(write("Spoolwright", "Exceptions", longer));
    EXPECT_TRUE(contents().startsWith("[Spoolwright]\r\nExact=xxx"));

    EXPECT_EQ(read("Spoolwright", "Exact"), exact);
    EXPECT_EQ(read("Spoolwright", "Exceptions"), longer.left(ProfileFile::kMaxValueLength));
    EXPECT_TRUE(contents().contains("Exceptions=" + longer.toUtf8() + "\r\n"));

    const QStringList values = {
        "a=b=c",
        "semi; colon ;",
        "[Not a section]",
        "\"quoted\"",
        "srv | laser | AQ On | AR On | 17:00 | PRINT | AA",
        "Grüße, 印刷",
    };
    for (int i = 0; i < values.size(); ++i)
        ASSERT_TRUE(write("Spoolwright", QStringLiteral("Key%1").arg(i), values[i]));
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(read("Spoolwright", QStringLiteral("Key%1").arg(i)), values[i]);

    // Surrounding blanks are not part of the value.
    ASSERT_TRUE(write("Spoolwright", "Padded", "  mid dle \t"));
    EXPECT_EQ(read("Spoolwright", "Padded"), "mid dle");

    // A value holding a line break stays one key and injects no other.
    ASSERT_TRUE(write("Spoolwright", "Exceptions", "ann\r\nAudit=True\n[Other]"));
    EXPECT_EQ(read("Spoolwright", "Exceptions"), "ann  Audit=True [Other]");
    EXPECT_EQ(read("Spoolwright", "Audit"), "<default>");
    EXPECT_TRUE(ProfileFile::keys(path(), "Other").isEmpty());
}

TEST_F(ProfileFileTest, RewritesAKeyInPlaceAndAddsMissingKeysAndSectionsWhereTheyBelong) {
    put("; written by hand\n[SpoolWright]\nserver = old.example\nCompany=Caf\xE9 Latin-1\n\n"
        "; counters follow\n[Log Counters]\nPrintedCounter=5\n");
    ASSERT_TRUE(write("Spoolwright", "Server", "new.example"));
    EXPECT_EQ(contents(), "; written by hand\r\n[SpoolWright]\r\nserver = new.example\r\n"
                          "Company=Caf\xE9 Latin-1\r\n\r\n; counters follow\r\n[Log Counters]\r\n"
                          "PrintedCounter=5\r\n");

    ASSERT_TRUE(write("log counters", "printedcounter", "17"));
    EXPECT_TRUE(contents().endsWith("[Log Counters]\r\nPrintedCounter=17\r\n"));
    EXPECT_EQ(read("Log Counters", "PrintedCounter"), "17");

    // The file is written through a temporary file, and none is left behind.
    ASSERT_TRUE(write("Log Counters", "PrintedCounter", "18"));
    EXPECT_EQ(folderEntries(), QStringList{"swr.ini"});

    // Missing keys go at the end of their section, missing sections at the end.
    put("[Spoolwright]\r\nServer=alpha\r\n\r\n[Favourites]\r\n0=fav\r\n");

    ASSERT_TRUE(write("spoolwright", "Queue", "laser"));
    ASSERT_TRUE(write("Log Counters", "DeletedCounter", "3"));
    ASSERT_TRUE(write("Favourites", "1", "two"));

    EXPECT_EQ(contents(), "[Spoolwright]\r\nServer=alpha\r\nQueue=laser\r\n\r\n"
                          "[Favourites]\r\n0=fav\r\n1=two\r\n\r\n"
                          "[Log Counters]\r\nDeletedCounter=3\r\n");
}

TEST_F(ProfileFileTest, UnusablePathsAndNamesGiveTheDefaultOrFalse) {
    put("[Spoolwright]\r\nServer=alpha\r\n", "plain-file");
    const QStringList unusable = {
        path("plain-file/swr.ini"), // a file where a folder should be
        dir_.path(),                // a folder where the file should be
        path("missing/swr.ini"),    // a folder that is not made
        QString(),
    };
    for (const QString& bad : unusable) {
        EXPECT_EQ(ProfileFile::read(bad, "Spoolwright", "Server", "<default>"), "<default>")
            << bad.toStdString();
        EXPECT_FALSE(ProfileFile::write(bad, "Spoolwright", "Server", "beta")) << bad.toStdString();
        EXPECT_TRUE(ProfileFile::keys(bad, "Spoolwright").isEmpty());
    }
    EXPECT_FALSE(QDir(path("missing")).exists());

    // Names that would read back as something else are refused and the file is untouched.
    const QByteArray before = contents("plain-file");
    const QString file = path("plain-file");
    EXPECT_FALSE(ProfileFile::write(file, QString(), "Key", "v"));
    EXPECT_FALSE(ProfileFile::write(file, "Spoolwright", "  ", "v"));
    EXPECT_FALSE(ProfileFile::write(file, "A]B", "Key", "v"));
    EXPECT_FALSE(ProfileFile::write(file, "Spoolwright", "K=1", "v"));
    EXPECT_FALSE(ProfileFile::write(file, "Spoolwright", ";K", "v"));
    EXPECT_FALSE(ProfileFile::write(file, "Spool\nwright", "K", "v"));
    EXPECT_EQ(contents("plain-file"), before);
}

TEST_F(ProfileFileTest, AHugeOrJunkFileStillGivesItsGoodKeysAndKeepsItsLinesWhenWritten) {
    // One line of 10 MB, one whose '=' comes only after the first 64 KB of it, and
    // 200,000 lines of junk, among good keys.
    QByteArray content = "[Spoolwright]\r\nTagline=" + QByteArray(10 * 1024 * 1024, 'x') + "\r\n" +
                         QByteArray(ProfileFile::kLongestLine, 'y') + "Company=Acme\r\n";
    for (int line = 0; line < 100000; ++line)
        content += "junk ~!@#$%^&*() " + QByteArray::number(line) + "\r\nJunk" +
                   QByteArray::number(line) + "=j\r\n";
    content += "Server=alpha\r\n[Favourites]\r\n0=alpha,Laser\r\n";
    put(content);

    const ProfileFile::Snapshot file(path());
    EXPECT_EQ(file.read("Spoolwright", "Server"), "alpha");
    EXPECT_EQ(file.read("Favourites", "0"), "alpha,Laser");
    EXPECT_EQ(file.read("Spoolwright", "Tagline"), QString(ProfileFile::kMaxValueLength, 'x'));
    EXPECT_EQ(file.read("Spoolwright", "Junk99999"), "j");
    EXPECT_EQ(file.read("Spoolwright", "Company", "<default>"), "<default>")
        << "a line is read as its first 64 KB";

    // Writing keys leaves every other line as it was, the long ones whole.
    EXPECT_TRUE(ProfileFile::writeAll(path(), {{"Spoolwright", "Server", "beta"},
                                               {"Spoolwright", "Queue", "Laser"},
                                               {"Log Counters", "PrintedCounter", "3"}}));
    QByteArray expected = content;
    expected.replace("Server=alpha\r\n", "Server=beta\r\nQueue=Laser\r\n");
    expected += "\r\n[Log Counters]\r\nPrintedCounter=3\r\n";
    EXPECT_TRUE(contents() == expected);
}
