#include "platform/MonitorProtocol.h"

#include "platform/PrintSpooler.h"

namespace MonitorProtocol {

namespace {

QByteArray escaped(const QString& field) {
    QByteArray out;
    const QByteArray bytes = field.toUtf8();
    out.reserve(bytes.size());
    for (const char c : bytes) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString unescaped(const QByteArray& field) {
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char c = field.at(i);
        if (c != '\\' || i + 1 == field.size()) {
            out += c;
            continue;
        }
        const char next = field.at(++i);
        out += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return QString::fromUtf8(out);
}

} // namespace

QByteArray encode(const QString& name, const QStringList& fields) {
    QByteArray line = escaped(name);
    for (const QString& field : fields)
        line += '\t' + escaped(field);
    return line + '\n';
}

Line decode(const QByteArray& raw) {
    QByteArray line = raw;
    if (line.endsWith('\r'))
        line.chop(1);
    Line decoded;
    const QList<QByteArray> parts = line.split('\t');
    decoded.name = unescaped(parts.first());
    for (qsizetype i = 1; i < parts.size(); ++i)
        decoded.fields << unescaped(parts.at(i));
    return decoded;
}

// The order of a job's fields on the line.
enum JobField {
    Id,
    Name,
    Document,
    Owner,
    Host,
    TotalPages,
    PagesPrinted,
    Priority,
    Size,
    Submitted,
    StatusMask,
    // Why the job is held; left out by a monitor that does not send them.
    HoldUntil,
    StateReasons, // keywords, separated by commas (no keyword holds one)
    FieldCount
};
constexpr int requiredFields = HoldUntil;

QStringList jobFields(const SpoolerJob& job) {
    return {QString::number(job.JobId),
            job.Name,
            job.Document,
            job.Owner,
            job.HostPrintQueue,
            QString::number(job.TotalPages),
            QString::number(job.PagesPrinted),
            QString::number(job.Priority),
            QString::number(job.Size),
            job.TimeSubmitted.isValid() ? QString::number(job.TimeSubmitted.toMSecsSinceEpoch())
                                        : QString(),
            QString::number(job.StatusMask),
            job.holdUntil,
            job.stateReasons.join(QLatin1Char(','))};
}

std::optional<SpoolerJob> jobFromFields(const QStringList& fields) {
    if (fields.size() < requiredFields)
        return std::nullopt;
    bool ok = true;
    auto number = [&](int field) {
        bool good = false;
        const qint64 value = fields.at(field).toLongLong(&good);
        ok = ok && good;
        return value;
    };
    SpoolerJob job;
    job.JobId = static_cast<int>(number(Id));
    job.Name = fields.at(Name);
    job.Document = fields.at(Document);
    job.Owner = fields.at(Owner);
    job.HostPrintQueue = fields.at(Host);
    job.TotalPages = number(TotalPages);
    job.PagesPrinted = number(PagesPrinted);
    job.Priority = static_cast<int>(number(Priority));
    job.Size = number(Size);
    if (!fields.at(Submitted).isEmpty())
        job.TimeSubmitted = QDateTime::fromMSecsSinceEpoch(number(Submitted));
    job.StatusMask = static_cast<int>(number(StatusMask));
    if (fields.size() > HoldUntil)
        job.holdUntil = fields.at(HoldUntil);
    if (fields.size() > StateReasons)
        job.stateReasons = fields.at(StateReasons).split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (!ok || job.Name.isEmpty())
        return std::nullopt;
    return job;
}

} // namespace MonitorProtocol
