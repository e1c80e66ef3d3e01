-- The template log database, swr.db. The build turns this file into the ready
-- database that ships in the program folder; the program only ever copies that file
-- and never creates a table or a view itself.
--
-- Every value is stored as the text the program wrote, and empty text as NULL. The
-- views convert what they sum or compare: page counts with CAST (an empty column
-- adds nothing), days and months from the "yyyy-MM-dd HH:mm:ss" local-time text.
--
-- Rows are grouped without regard to case, as the log statistics count servers,
-- queues and users, so that a report and the statistics window agree on how many
-- there are. The first spelling in binary order stands for the group.

CREATE TABLE SWR_Log (
    "TransactionID" TEXT,
    "Server" TEXT,
    "Queue" TEXT,
    "Description" TEXT,
    "Computer" TEXT,
    "User" TEXT,
    "Name" TEXT,
    "Time Submitted" TEXT,
    "Priority" TEXT,
    "Pages" TEXT,
    "Size" TEXT,
    "Deleted" TEXT,
    "Deleted Pages" TEXT,
    "Resumed" TEXT,
    "Printed Pages" TEXT,
    "SWR User" TEXT,
    "SWR Computer" TEXT,
    "Comments" TEXT
);

-- Every job seen is looked up by its key before it is logged.
CREATE INDEX SWR_Log_TransactionID ON SWR_Log ("TransactionID");

CREATE TABLE SWR_Audit (
    "Time" TEXT,
    "Action" TEXT,
    "Description" TEXT,
    "SWR User" TEXT,
    "SWR Computer" TEXT
);

CREATE VIEW LogTodayReport ("Time Submitted", "Server", "Queue", "Description", "Computer",
                            "User", "Name", "Priority", "Pages", "Size", "Deleted",
                            "Deleted Pages", "Resumed", "Printed Pages", "SWR User",
                            "SWR Computer", "Comments") AS
SELECT "Time Submitted", "Server", "Queue", "Description", "Computer", "User", "Name",
       "Priority", "Pages", "Size", "Deleted", "Deleted Pages", "Resumed", "Printed Pages",
       "SWR User", "SWR Computer", "Comments"
FROM SWR_Log
WHERE date("Time Submitted") = date('now', 'localtime')
ORDER BY "Time Submitted", rowid;

CREATE VIEW LogPrinterReport ("Server", "Queue", "Jobs", "Pages", "Deleted", "Printed") AS
SELECT MIN("Server"), MIN("Queue"), COUNT(*),
       COALESCE(SUM(CAST("Pages" AS INTEGER)), 0),
       COALESCE(SUM(CAST("Deleted Pages" AS INTEGER)), 0),
       COALESCE(SUM(CAST("Printed Pages" AS INTEGER)), 0)
FROM SWR_Log
GROUP BY "Server" COLLATE NOCASE, "Queue" COLLATE NOCASE
ORDER BY 1 COLLATE NOCASE, 2 COLLATE NOCASE;

CREATE VIEW LogUserReport ("User", "Jobs", "Pages", "Deleted", "Printed") AS
SELECT MIN("User"), COUNT(*),
       COALESCE(SUM(CAST("Pages" AS INTEGER)), 0),
       COALESCE(SUM(CAST("Deleted Pages" AS INTEGER)), 0),
       COALESCE(SUM(CAST("Printed Pages" AS INTEGER)), 0)
FROM SWR_Log
GROUP BY "User" COLLATE NOCASE
ORDER BY 1 COLLATE NOCASE;

-- A job without a submission time has no day: it forms one group of its own with an
-- empty year, month and day, so that the days still add up to the whole log.
CREATE VIEW LogDailyJobsReport ("Year", "Month", "Day", "Jobs", "Pages", "Deleted",
                                "Printed") AS
SELECT CAST(strftime('%Y', "Time Submitted") AS INTEGER) AS y,
       CAST(strftime('%m', "Time Submitted") AS INTEGER) AS m,
       CAST(strftime('%d', "Time Submitted") AS INTEGER) AS d,
       COUNT(*),
       COALESCE(SUM(CAST("Pages" AS INTEGER)), 0),
       COALESCE(SUM(CAST("Deleted Pages" AS INTEGER)), 0),
       COALESCE(SUM(CAST("Printed Pages" AS INTEGER)), 0)
FROM SWR_Log
GROUP BY y, m, d
ORDER BY y, m, d;

CREATE VIEW LogMonthlyJobsReport ("Year", "Month", "Jobs", "Pages", "Deleted", "Printed") AS
SELECT CAST(strftime('%Y', "Time Submitted") AS INTEGER) AS y,
       CAST(strftime('%m', "Time Submitted") AS INTEGER) AS m,
       COUNT(*),
       COALESCE(SUM(CAST("Pages" AS INTEGER)), 0),
       COALESCE(SUM(CAST("Deleted Pages" AS INTEGER)), 0),
       COALESCE(SUM(CAST("Printed Pages" AS INTEGER)), 0)
FROM SWR_Log
GROUP BY y, m
ORDER BY y, m;

CREATE VIEW LogSpoolwrightsReport ("SWR Computer", "SWR User", "Jobs", "Pages", "Deleted",
                                   "Printed") AS
SELECT MIN("SWR Computer"), MIN("SWR User"), COUNT(*),
       COALESCE(SUM(CAST("Pages" AS INTEGER)), 0),
       COALESCE(SUM(CAST("Deleted Pages" AS INTEGER)), 0),
       COALESCE(SUM(CAST("Printed Pages" AS INTEGER)), 0)
FROM SWR_Log
GROUP BY "SWR Computer" COLLATE NOCASE, "SWR User" COLLATE NOCASE
ORDER BY 1 COLLATE NOCASE, 2 COLLATE NOCASE;

CREATE VIEW LogAuditTodayReport ("Time", "SWR Computer", "SWR User", "Action",
                                 "Description") AS
SELECT "Time", "SWR Computer", "SWR User", "Action", "Description"
FROM SWR_Audit
WHERE date("Time") = date('now', 'localtime')
ORDER BY rowid;

CREATE VIEW LogAuditActionsReport ("Action", "Description", "SWR User", "SWR Computer",
                                   "Count") AS
SELECT MIN("Action"), MIN("Description"), MIN("SWR User"), MIN("SWR Computer"), COUNT(*)
FROM SWR_Audit
GROUP BY "Action" COLLATE NOCASE, "Description" COLLATE NOCASE, "SWR User" COLLATE NOCASE,
         "SWR Computer" COLLATE NOCASE
ORDER BY 1 COLLATE NOCASE, 2 COLLATE NOCASE, 3 COLLATE NOCASE, 4 COLLATE NOCASE;
