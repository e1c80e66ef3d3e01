#include "log/LogCsv.h"

#include "log/LogDatabase.h"
#include "platform/DateText.h"
#include "platform/SafeFile.h"

#include <QSqlQuery>
#include <QVariant>

const char* const kLogCsvHeader =
    "Server,Queue,Description,Computer,User,Pages,Priority,Size,Time Submitted,Year,Month,Day,"
    "ID,Deleted,Resumed,Deleted Pages,Printed Pages,SWR Computer,SWR User,Comments";

namespace {

QString quoted(const QString& value) {
    if (!value.contains(QLatin1Char(',')) && !value.contains(QLatin1Char('"')) &&
        !value.contains(QLatin1Char('\n')) && !value.contains(QLatin1Char('\r')))
        return value;
    QString inner = value;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QString description(QString value) {
    value.remove(QLatin1Char(','));
    return quoted(QLatin1Char('\'') + value + QLatin1Char('\''));
}

} // namespace

QByteArray LogCsvText(LogDatabase& log) {
    QString text = QLatin1String(kLogCsvHeader) + QStringLiteral("\r\n");
    if (log.OpenLogDatabase()) {
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
                quoted(column(0)),  quoted(column(1)),  description(column(2)), quoted(column(3)),
                quoted(column(4)),  quoted(column(5)),  quoted(column(6)),      quoted(column(7)),
                quoted(submitted),  part(day.year()),   part(day.month()),      part(day.day()),
                quoted(column(9)),  quoted(column(10)), quoted(column(11)),     quoted(column(12)),
                quoted(column(13)), quoted(column(14)), quoted(column(15)),     quoted(column(16))};
            text += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
        }
        log.CloseLogDatabase();
    }
    text += QStringLiteral("\r\n");
    return text.toUtf8();
}

bool WriteLogCsv(LogDatabase& log, const QString& path) {
    return SafeFile::replaceFileContents(path, LogCsvText(log));
}
