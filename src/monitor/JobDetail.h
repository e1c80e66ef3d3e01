#pragma once

#include <QString>
#include <QStringList>

struct SpoolerJob;

// The twelve fields the program receives for a job, in its order: 0 StatusMask,
// 1 document, 2 host, 3 owner, 4 printer, 5 total pages, 6 pages printed,
// 7 priority, 8 size text, 9 submission time text, 10 job id, 11 job name. Size
// and submission time are written as the program's own job retrieval writes
// them, so both give a job the same log key.
namespace JobDetail {

enum Field { Status = 0, Printer = 4, Submitted = 9, Name = 11, Count = 12 };

// The fields of a job, each made safe to travel in an event line.
QStringList fieldsOf(const SpoolerJob& job);

// The fields joined by "|".
QString join(const QStringList& fields);

// The text with every character that would break an event line apart (the field
// separator "|", tabs, line breaks and other control characters) replaced by a
// blank. A blank can appear in a document or user name but never in a printer
// name, so a job name made safe cannot be taken for another job's.
QString safe(QString text);

} // namespace JobDetail
