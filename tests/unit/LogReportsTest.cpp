#include "log/LogReports.h"

#include "LogTestSupport.h"

namespace {

const ReportPage::Settings kSettings{"Acme <Print>", "Less paper"};

QString reportOf(LogDatabase& log, const QString& menuEntry,
                 const ReportPage::Settings& settings = kSettings) {
    const LogReportKind* kind = logReportFor(menuEntry);
    EXPECT_NE(kind, nullptr) << menuEntry.toStdString();
    return kind ? QString::fromUtf8(logReportPage(log, *kind, settings)) : QString();
}

} // namespace

using LogReports = LogTest;

TEST_F(LogReports, FullLogIsFramedCaptionedAndShowsEveryRowEscaped) {
    auto log = makeLog();
    log->setLogFields("7-2026-12-05 09:00:07",
                      {{"Time Submitted", "2026-12-05 09:00:07"},
                       {"Server", "printhost"},
                       {"Queue", "Office"},
                       {"Description", "<script>alert('x')</script> & \"more\""},
                       {"User", "ann"},
                       {"Pages", "3"},
                       {"Resumed", "2026-12-05 09:10:00"},
                       {"Printed Pages", "3"}});
    const QString page = reportOf(*log, "mnuLogFullReportHTML");

    EXPECT_TRUE(page.startsWith("<html><head><meta charset=\"utf-8\"><title>Spoolwright</title>"
                                "<script language='javascript'>\r\n<!--\r\nvar state = 'none';"))
        << page.left(200).toStdString();
    EXPECT_TRUE(page.contains("//-->\r\n</script>\r\n</head><body align='center' style='color: "
                              "#000080'><h1>Acme &lt;Print&gt; </h1><em style='color: "
                              "#008000'>Less paper</em><h2><u>Log Full Report</u></h2>"
                              "<table align='center'><tr><td><p><table border=1 cellpadding=2 "
                              "cellspacing=0><tr><th align='center' colspan=17 "
                              "style='border-width: 0px; background-color: #C0FFC0'>Jobs</th>"
                              "</tr><tr style='border-width: 1px; background-color: #C0C0C0'>"
                              "<th>Time Submitted</th><th>Server</th>"));
    EXPECT_TRUE(page.contains("<th>Deleted Pages</th><th>Printed</th><th>Printed Pages</th>"));
    // Empty columns give empty cells; "Printed" shows the time of release.
    EXPECT_TRUE(page.contains(
        "<tr><td>2026-12-05 09:00:07</td><td>printhost</td><td>Office</td><td>&lt;script&gt;"
        "alert(&#39;x&#39;)&lt;/script&gt; &amp; &quot;more&quot;</td><td></td><td>ann</td>"
        "<td></td><td></td><td>3</td><td></td><td></td><td></td><td>2026-12-05 09:10:00</td>"
        "<td>3</td><td></td><td></td><td></td></tr></table></td></tr></table></body></html>"))
        << page.toStdString();
    EXPECT_FALSE(page.contains("<script>alert"));
}

TEST_F(LogReports, EachReportSpansItsColumnsAndTotalsItsSource) {
    auto log = makeLog();
    log->setLogFields("1-a", {{"Time Submitted", "2026-11-30 08:00:00"},
                              {"Server", "printhost"},
                              {"Queue", "Office"},
                              {"User", "ann"},
                              {"Pages", "4"},
                              {"Deleted Pages", "4"}});
    log->setLogFields("2-b", {{"Time Submitted", "2026-12-01 08:00:00"},
                              {"Server", "printhost"},
                              {"Queue", "Office"},
                              {"User", "bob"},
                              {"Pages", "2"},
                              {"Printed Pages", "2"}});

    for (const LogReportKind& kind : logReportKinds()) {
        const QString page = QString::fromUtf8(logReportPage(*log, kind, kSettings));
        EXPECT_TRUE(page.contains(QString("colspan=%1 ").arg(kind.headers.size()) +
                                  "style='border-width: 0px; background-color: #C0FFC0'>" +
                                  kind.caption + "</th>"))
            << kind.menuEntry.toStdString();
        EXPECT_TRUE(page.contains("<h2><u>" + kind.title + "</u></h2>"));
        EXPECT_EQ(page.count("<th>"), kind.headers.size()) << kind.menuEntry.toStdString();
    }
    EXPECT_EQ(logReportFor("mnuLogRptMonthlyJobs")->headers.size(), 6);
    EXPECT_TRUE(reportOf(*log, "mnuLogRptPrinter")
                    .contains("<tr><td>printhost</td><td>Office</td><td>2</td><td>6</td>"
                              "<td>4</td><td>2</td></tr></table>"));
    EXPECT_TRUE(reportOf(*log, "mnuLogRptMonthlyJobs")
                    .contains("<tr><td>2026</td><td>11</td><td>1</td><td>4</td><td>4</td>"
                              "<td>0</td></tr><tr><td>2026</td><td>12</td><td>1</td><td>2</td>"
                              "<td>0</td><td>2</td></tr></table>"));
    // With no company the heading is the product's name the settings put there, or blank.
    EXPECT_TRUE(
        reportOf(*log, "mnuLogRptUser", {"Spoolwright", ""}).contains("<h1>Spoolwright </h1>"));
}

TEST_F(LogReports, ALogThatCannotBeHadGivesTheFrameAlone) {
    context.logPath = inFolder("missing/folder");
    auto log = makeLog();
    const QString page = reportOf(*log, "mnuAuditRptToday");
    EXPECT_TRUE(page.contains("<th>Time</th><th>SWR Computer</th><th>SWR User</th><th>Action "
                              "Type</th><th>Detail</th></tr></table></td></tr></table></body>"
                              "</html>"))
        << page.toStdString();
}

TEST_F(LogReports, BytesInTheLogThatAreNoUtf8BecomeReplacementCharacters) {
    auto log = makeLog();
    log->setLogFields("1-a", {{"Time Submitted", "2026-12-05 09:00:00"}, {"User", "ann"}});
    // Another program wrote these bytes: a cut-short sequence, Latin-1, an overlong
    // slash, a surrogate and a code point past U+10FFFF.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "bad-row-writer");
        db.setDatabaseName(logFile());
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec(
            "INSERT INTO SWR_Log (\"TransactionID\", \"Time Submitted\", \"Server\", \"Queue\", "
            "\"Description\", \"User\", \"Pages\", \"Printed Pages\") VALUES ('2-b', "
            "'2026-12-05 10:00:00', CAST(X'7072696E74C3' AS TEXT), 'Office', "
            "CAST(X'436166E9203C623E' AS TEXT), CAST(X'C0AFEDA080F4908080' AS TEXT), '2', '2')"));
    }
    QSqlDatabase::removeDatabase("bad-row-writer");

    for (const LogReportKind& kind : logReportKinds()) {
        const QByteArray page = logReportPage(*log, kind, kSettings);
        EXPECT_EQ(QString::fromUtf8(page).toUtf8(), page) << kind.menuEntry.toStdString();
    }
    const QByteArray r = "\xEF\xBF\xBD"; // U+FFFD
    const QByteArray full = logReportPage(*log, *logReportFor("mnuLogFullReportHTML"), kSettings);
    EXPECT_TRUE(full.contains("<tr><td>2026-12-05 10:00:00</td><td>print" + r +
                              "</td><td>Office</td><td>Caf" + r + " &lt;b&gt;</td><td></td><td>" +
                              r.repeated(9) + "</td>"))
        << full.toStdString();
}
