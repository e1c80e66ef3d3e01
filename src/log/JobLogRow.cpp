#include "log/JobLogRow.h"

#include "platform/JobText.h"
#include "platform/PrintSpooler.h"

QString logColumnName(int column) {
    static const QString names[LogColumn::Count] = {
        QStringLiteral("Server"),         QStringLiteral("Queue"),
        QStringLiteral("Description"),    QStringLiteral("Computer"),
        QStringLiteral("User"),           QStringLiteral("Name"),
        QStringLiteral("Time Submitted"), QStringLiteral("Priority"),
        QStringLiteral("Pages"),          QStringLiteral("Size"),
        QStringLiteral("Deleted"),        QStringLiteral("Deleted Pages"),
        QStringLiteral("Resumed"),        QStringLiteral("Printed Pages"),
        QStringLiteral("SWR User"),       QStringLiteral("SWR Computer"),
        QStringLiteral("Comments")};
    return column >= 0 && column < LogColumn::Count ? names[column] : QString();
}

LogField logField(int column, const QString& value) {
    return {logColumnName(column), value};
}

LogRow jobLogRow(const SpoolerJob& job, const QString& server) {
    const QStringList text = jobTexts(job);
    QList<LogField> fields;
    fields.reserve(LogColumn::Size + 1);
    fields << logField(LogColumn::Server, server)
           << logField(LogColumn::Queue, text[SearchColumn::Printer])
           << logField(LogColumn::Description, text[SearchColumn::Description])
           << logField(LogColumn::Computer, text[SearchColumn::Computer])
           << logField(LogColumn::User, text[SearchColumn::User])
           << logField(LogColumn::Name, text[SearchColumn::ID])
           << logField(LogColumn::TimeSubmitted, text[SearchColumn::Submitted])
           << logField(LogColumn::Priority, text[SearchColumn::Priority]);
    const QString& status = text[SearchColumn::Status];
    if (status != QLatin1String("Printing") && status != QLatin1String("Printed")) {
        if (job.TotalPages != kPagesNotCounted)
            fields << logField(LogColumn::Pages, text[SearchColumn::Pages]);
        fields << logField(LogColumn::Size, text[SearchColumn::Size]);
    }
    return {TransactionID(text[SearchColumn::ID], text[SearchColumn::Submitted]), fields};
}
