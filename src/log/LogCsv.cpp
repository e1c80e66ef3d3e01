#include "log/LogCsv.h"

#include "log/LogDatabase.h"
#include "log/LogDialect.h"
#include "platform/DateText.h"
#include "platform/SafeFile.h"

#include <QSqlQuery>
#include <QVariant>

const char* const kLogCsvHeader =
    "Server,Queue,Description,Computer,User,Pages,Priority,Size,Time Submitted,Year,Month,Day,"
    "ID,Deleted,Resumed,Deleted Pages,Printed Pages,SWR Computer,SWR User,Comments";

namespace {

// A spreadsheet takes a cell that starts with one of these for a formula (or, after a
// tab or CR, may), and a formula in a job's name or user can fetch or run things.
// Such a cell gets a leading single quote, as the usual guidance on CSV files says;
// no column of the log holds a negative number, so none is lost to it.
bool startsAFormula(const QString& value) {
    static const QString kStarts = QStringLiteral("=+-@\t\r");
    return !value.isEmpty() && kStarts.contains(value.front());
}

QString cell(QString value) {
    if (startsAFormula(value))
        value.prepend(QLatin1Char('\''));
    if (!value.contains(QLatin1Char(',')) && !value.contains(QLatin1Char('"')) &&
        !value.contains(QLatin1Char('\n')) && !value.contains(QLatin1Char('\r')))
        return value;
    QString inner = value;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QString description(QString value) {
    value.remove(QLatin1Char(','));
    return cell(QLatin1Char('\'') + value + QLatin1Char('\''));
}

} // namespace

QByteArray logCsvText(LogDatabase& log) {
    QString text = QLatin1String(kLogCsvHeader) + QStringLiteral("\r\n");
    if (log.OpenLogDatabase()) {
        const WholeLogRead reading(log.connection());
        QSqlQuery rows(log.connection());
        rows.setForwardOnly(true);
        rows.exec(QStringLiteral(
            "SELECT \"Server\", \"Queue\", \"Description\", \"Computer\", \"User\", \"Pages\", "
            "\"Priority\", \"Size\", \"Time Submitted\", \"Name\", \"Deleted\", \"Resumed\", "
            "\"Deleted Pages\", \"Printed Pages\", \"SWR Computer\", \"SWR User\", \"Comments\" "
            "FROM SWR_Log ORDER BY rowid"));
        while (rows.next()) {
            auto column = [&rows](int i) { return rows.value(i).toString(); };
            const QString submitted = column(8);
            const QDate day = DateText::parse(submitted).date();
            auto part = [&day](int number) {
                return day.isValid() ? QString::number(number) : QString();
            };
            const QStringList fields{
                cell(column(0)),  cell(column(1)),  description(column(2)), cell(column(3)),
                cell(column(4)),  cell(column(5)),  cell(column(6)),        cell(column(7)),
                cell(submitted),  part(day.year()), part(day.month()),      part(day.day()),
                cell(column(9)),  cell(column(10)), cell(column(11)),       cell(column(12)),
                cell(column(13)), cell(column(14)), cell(column(15)),       cell(column(16))};
            text += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
        }
        log.CloseLogDatabase();
    }
    text += QStringLiteral("\r\n");
    return text.toUtf8();
}

bool WriteLogCsv(LogDatabase& log, const QString& path) {
    return SafeFile::replaceFileContents(path, logCsvText(log));
}
