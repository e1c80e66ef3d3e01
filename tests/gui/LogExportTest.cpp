#include "shell/LogExport.h"
#include "app/DesktopServices.h"
#include "support/Files.h"
#include "support/LogRows.h"
#include "support/MainWindowHarness.h"
#include "support/ScopedVariable.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QStringList auditDescriptions(FrmMain& w, const QString& action) {
    QStringList found;
    for (const QStringList& row :
         readLog(w.log().filePath(), "SELECT Action, Description FROM SWR_Audit").rows)
        if (row.value(0) == action && row.value(1) != "New log file created.")
            found << row.value(1);
    return found;
}

} // namespace

TEST(LogExport, CsvOpensTheExportAndMailCarriesItOrSaysWhereItIs) {
    MainWindowHarness harness;
    FrmMain& w = harness.show("Audit=True\r\n");
    const QString csv = QDir(qEnvironmentVariable("TEMP")).filePath("SWR_Log.csv");
    QFile::remove(csv);

    w.Timer2->stop();
    w.menu("mnuLogFullReportCSV")->trigger();
    ASSERT_EQ(harness.desktop.opened.size(), 1);
    EXPECT_EQ(harness.desktop.opened[0], QUrl::fromLocalFile(csv));
    EXPECT_TRUE(readFile(csv).startsWith("Server,Queue,Description,"));
    EXPECT_TRUE(w.Timer2->isActive()); // the poll runs again after the export

    w.menu("mnuLogFullReportEmail")->trigger();
    ASSERT_EQ(harness.desktop.mails.size(), 1);
    const RecordingDesktop::Mail& mail = harness.desktop.mails[0];
    EXPECT_EQ(mail.to, "support@spoolwright.example");
    EXPECT_EQ(mail.subject, "Spoolwright - Full Log");
    EXPECT_EQ(mail.attachment, csv);
    EXPECT_TRUE(mail.body.startsWith("Exported from Spoolwright by tester on testhost at "));
    EXPECT_TRUE(mail.body.endsWith(
        "\r\n\r\nSave money and the environment by reducing paper and ink usage through better "
        "printer management.\r\nSpoolwright - www.spoolwright.example"));
    EXPECT_TRUE(harness.prompter.asked.isEmpty());

    // From the statistics window: its captions under their three headings.
    emailStatistics(w, {"S1", "S2", "S3"}, {"T1", "T2", "T3", "T4"}, {"L1", "L2"});
    ASSERT_EQ(harness.desktop.mails.size(), 2);
    EXPECT_EQ(harness.desktop.mails[1].subject, "Spoolwright - Statistics");
    const QStringList lines = harness.desktop.mails[1].body.split("\r\n");
    EXPECT_TRUE(lines.value(0).startsWith("Spoolwright on testhost at "));
    EXPECT_EQ(lines.mid(1), QStringList({"",
                                         "Current Session",
                                         "------------------",
                                         "",
                                         "S1",
                                         "S2",
                                         "S3",
                                         "",
                                         "Totals",
                                         "------------------",
                                         "",
                                         "T1",
                                         "T2",
                                         "T3",
                                         "T4",
                                         "",
                                         "Log File",
                                         "------------------",
                                         "",
                                         "L1",
                                         "L2",
                                         "",
                                         "Save money and the environment by reducing paper and "
                                         "ink usage through better printer management.",
                                         "Spoolwright - www.spoolwright.example"}));

    // No mail client: one message that says where the file is; the audit row all the same.
    harness.desktop.mailClient = false;
    w.menu("mnuLogFullReportEmail")->trigger();
    ASSERT_EQ(harness.prompter.asked.size(), 1);
    EXPECT_EQ(harness.prompter.asked[0].icon, Prompter::Icon::Exclamation);
    EXPECT_TRUE(harness.prompter.asked[0].text.contains(csv));
    EXPECT_EQ(auditDescriptions(w, "Log"),
              QStringList({"Log Exported to CSV", "Log Emailed", "Log Emailed", "Log Emailed"}));
}

TEST(LogExport, MailGoesToXdgEmailWithRecipientSubjectBodyAndAttachment) {
    QTemporaryDir bin;
    const QString record = bin.filePath("arguments");
    const QString script = bin.filePath("xdg-email");
    ASSERT_TRUE(
        writeFile(script, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n--\\n' \"$a\"; done > '" +
                              record.toUtf8() + "'\nexit \"${FAKE_MAIL_EXIT:-0}\"\n"));
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ScopedVariable path("PATH", bin.path().toUtf8() + ":" + qgetenv("PATH"));

    DesktopServices desktop;
    EXPECT_TRUE(desktop.composeMail("support@spoolwright.example", "Spoolwright - Full Log",
                                    "line one\r\nline two, Zoë", "/tmp/SWR_Log.csv"));
    const QStringList arguments = QString::fromUtf8(readFile(record)).split("\n--\n");
    EXPECT_EQ(arguments, QStringList({"--utf8", "--subject", "Spoolwright - Full Log", "--body",
                                      "line one\r\nline two, Zoë", "--attach", "/tmp/SWR_Log.csv",
                                      "support@spoolwright.example", ""}));

    // xdg-email finds no mail client: the desktop says the mail went nowhere.
    ScopedVariable fails("FAKE_MAIL_EXIT", QByteArray("3"));
    EXPECT_FALSE(desktop.composeMail("a@b.example", "s", "b", "/tmp/x.csv"));
}
