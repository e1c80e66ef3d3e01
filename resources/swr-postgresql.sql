-- The shared log on a PostgreSQL server: the same two tables and eight views as the
-- local log swr.db, for every release station of a site. The program makes them on
-- first use when they are absent; an administrator may make them beforehand with
--   psql -1 -d spoolwright -f swr-postgresql.sql
-- Running it again changes nothing that is there.
--
-- Every value is stored as the text the program wrote, and empty text as NULL, as in
-- the local log; the views read it as SQLite reads the local one: a page count by its
-- leading whole number (swr_int), a day from the "yyyy-MM-dd HH:mm:ss" local-time text
-- (swr_day), and servers, queues and users grouped without regard to ASCII case
-- (swr_nocase, which compares byte by byte as SQLite does), the first spelling in binary
-- order standing for the group.
--
-- Each statement ends with a semicolon at the end of its line: the program splits the
-- file there.

-- A plain number, the usual cell, is read without the slower search for a leading one.
CREATE OR REPLACE FUNCTION swr_int(value text) RETURNS bigint LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN value ~ '^[0-9]{1,18}$' THEN value::bigint WHEN value IS NOT NULL THEN COALESCE(substring(value FROM '^[[:space:]]*([+-]?[0-9]{1,18})')::bigint, 0) END $$;

CREATE OR REPLACE FUNCTION swr_day(value text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN value ~ '^[0-9]{4}-[0-9]{2}-[0-9]{2}' THEN substr(value, 1, 10) END $$;

CREATE OR REPLACE FUNCTION swr_nocase(value text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT translate(value, 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz') COLLATE "C" $$;

-- rowid keeps the order rows were made in, as SQLite's rowid does in the local log.
CREATE TABLE IF NOT EXISTS SWR_Log (
    rowid bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    "TransactionID" text,
    "Server" text,
    "Queue" text,
    "Description" text,
    "Computer" text,
    "User" text,
    "Name" text,
    "Time Submitted" text,
    "Priority" text,
    "Pages" text,
    "Size" text,
    "Deleted" text,
    "Deleted Pages" text,
    "Resumed" text,
    "Printed Pages" text,
    "SWR User" text,
    "SWR Computer" text,
    "Comments" text
);

-- A job is its server and its TransactionID together: two servers may give the same
-- job number at the same second. Stations make a job's row with an insert that does
-- nothing when this index holds the job already.
CREATE UNIQUE INDEX IF NOT EXISTS SWR_Log_Job ON SWR_Log (COALESCE("Server", ''), "TransactionID");

-- Today's jobs, and the days of the statistics window's chart.
CREATE INDEX IF NOT EXISTS SWR_Log_Day ON SWR_Log (swr_day("Time Submitted"));

CREATE TABLE IF NOT EXISTS SWR_Audit (
    rowid bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    "Time" text,
    "Action" text,
    "Description" text,
    "SWR User" text,
    "SWR Computer" text
);

-- Today's audit rows.
CREATE INDEX IF NOT EXISTS SWR_Audit_Day ON SWR_Audit (swr_day("Time"));

CREATE OR REPLACE VIEW LogTodayReport ("Time Submitted", "Server", "Queue", "Description", "Computer", "User", "Name", "Priority", "Pages", "Size", "Deleted", "Deleted Pages", "Resumed", "Printed Pages", "SWR User", "SWR Computer", "Comments") AS
SELECT "Time Submitted", "Server", "Queue", "Description", "Computer", "User", "Name",
       "Priority", "Pages", "Size", "Deleted", "Deleted Pages", "Resumed", "Printed Pages",
       "SWR User", "SWR Computer", "Comments"
FROM SWR_Log
WHERE swr_day("Time Submitted") = to_char(localtimestamp, 'YYYY-MM-DD')
ORDER BY "Time Submitted" COLLATE "C" NULLS FIRST, rowid;

CREATE OR REPLACE VIEW LogPrinterReport ("Server", "Queue", "Jobs", "Pages", "Deleted", "Printed") AS
SELECT MIN("Server" COLLATE "C"), MIN("Queue" COLLATE "C"), COUNT(*),
       COALESCE(SUM(swr_int("Pages")), 0),
       COALESCE(SUM(swr_int("Deleted Pages")), 0),
       COALESCE(SUM(swr_int("Printed Pages")), 0)
FROM SWR_Log
GROUP BY swr_nocase("Server"), swr_nocase("Queue")
ORDER BY swr_nocase(MIN("Server" COLLATE "C")) NULLS FIRST, swr_nocase(MIN("Queue" COLLATE "C")) NULLS FIRST;

CREATE OR REPLACE VIEW LogUserReport ("User", "Jobs", "Pages", "Deleted", "Printed") AS
SELECT MIN("User" COLLATE "C"), COUNT(*),
       COALESCE(SUM(swr_int("Pages")), 0),
       COALESCE(SUM(swr_int("Deleted Pages")), 0),
       COALESCE(SUM(swr_int("Printed Pages")), 0)
FROM SWR_Log
GROUP BY swr_nocase("User")
ORDER BY swr_nocase(MIN("User" COLLATE "C")) NULLS FIRST;

-- A job without a submission time has no day: it forms one group of its own with an
-- empty year, month and day, so that the days still add up to the whole log.
CREATE OR REPLACE VIEW LogDailyJobsReport ("Year", "Month", "Day", "Jobs", "Pages", "Deleted", "Printed") AS
SELECT CAST(substr(swr_day("Time Submitted"), 1, 4) AS integer) AS y,
       CAST(substr(swr_day("Time Submitted"), 6, 2) AS integer) AS m,
       CAST(substr(swr_day("Time Submitted"), 9, 2) AS integer) AS d,
       COUNT(*),
       COALESCE(SUM(swr_int("Pages")), 0),
       COALESCE(SUM(swr_int("Deleted Pages")), 0),
       COALESCE(SUM(swr_int("Printed Pages")), 0)
FROM SWR_Log
GROUP BY y, m, d
ORDER BY y NULLS FIRST, m NULLS FIRST, d NULLS FIRST;

CREATE OR REPLACE VIEW LogMonthlyJobsReport ("Year", "Month", "Jobs", "Pages", "Deleted", "Printed") AS
SELECT CAST(substr(swr_day("Time Submitted"), 1, 4) AS integer) AS y,
       CAST(substr(swr_day("Time Submitted"), 6, 2) AS integer) AS m,
       COUNT(*),
       COALESCE(SUM(swr_int("Pages")), 0),
       COALESCE(SUM(swr_int("Deleted Pages")), 0),
       COALESCE(SUM(swr_int("Printed Pages")), 0)
FROM SWR_Log
GROUP BY y, m
ORDER BY y NULLS FIRST, m NULLS FIRST;

CREATE OR REPLACE VIEW LogSpoolwrightsReport ("SWR Computer", "SWR User", "Jobs", "Pages", "Deleted", "Printed") AS
SELECT MIN("SWR Computer" COLLATE "C"), MIN("SWR User" COLLATE "C"), COUNT(*),
       COALESCE(SUM(swr_int("Pages")), 0),
       COALESCE(SUM(swr_int("Deleted Pages")), 0),
       COALESCE(SUM(swr_int("Printed Pages")), 0)
FROM SWR_Log
GROUP BY swr_nocase("SWR Computer"), swr_nocase("SWR User")
ORDER BY swr_nocase(MIN("SWR Computer" COLLATE "C")) NULLS FIRST, swr_nocase(MIN("SWR User" COLLATE "C")) NULLS FIRST;

CREATE OR REPLACE VIEW LogAuditTodayReport ("Time", "SWR Computer", "SWR User", "Action", "Description") AS
SELECT "Time", "SWR Computer", "SWR User", "Action", "Description"
FROM SWR_Audit
WHERE swr_day("Time") = to_char(localtimestamp, 'YYYY-MM-DD')
ORDER BY rowid;

CREATE OR REPLACE VIEW LogAuditActionsReport ("Action", "Description", "SWR User", "SWR Computer", "Count") AS
SELECT MIN("Action" COLLATE "C"), MIN("Description" COLLATE "C"), MIN("SWR User" COLLATE "C"), MIN("SWR Computer" COLLATE "C"), COUNT(*)
FROM SWR_Audit
GROUP BY swr_nocase("Action"), swr_nocase("Description"), swr_nocase("SWR User"), swr_nocase("SWR Computer")
ORDER BY swr_nocase(MIN("Action" COLLATE "C")) NULLS FIRST, swr_nocase(MIN("Description" COLLATE "C")) NULLS FIRST, swr_nocase(MIN("SWR User" COLLATE "C")) NULLS FIRST, swr_nocase(MIN("SWR Computer" COLLATE "C")) NULLS FIRST;
