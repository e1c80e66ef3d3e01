#include "FuzzEntries.h"
#include "Scratch.h"

#include "platform/MonitorProtocol.h"
#include "platform/PrintSpooler.h"

namespace FuzzEntries {

QString monitorLines(const QByteArray& input) {
    // Split at line feeds, as both ends read their input.
    for (const QByteArray& raw : input.split('\n')) {
        const MonitorProtocol::Line line = MonitorProtocol::decode(raw);
        // What was decoded travels back whole, whatever it holds.
        const QByteArray encoded = MonitorProtocol::encode(line.name, line.fields);
        if (!encoded.endsWith('\n') || encoded.count('\n') != 1)
            return QStringLiteral("an encoded line breaks apart");
        const MonitorProtocol::Line again = MonitorProtocol::decode(encoded.chopped(1));
        if (again.name != line.name || again.fields != line.fields)
            return QStringLiteral("%1 does not travel whole").arg(Scratch::sample(line.name));
        // A job read from a line reads the same once sent on.
        for (qsizetype from = 0; from < 2 && from <= line.fields.size(); ++from) {
            const auto job = MonitorProtocol::jobFromFields(line.fields.mid(from));
            if (!job)
                continue;
            const auto sent = MonitorProtocol::jobFromFields(MonitorProtocol::jobFields(*job));
            if (!sent || *sent != *job)
                return QStringLiteral("the job %1 changes when sent on")
                    .arg(Scratch::sample(job->Name));
        }
    }
    return QString();
}

} // namespace FuzzEntries
