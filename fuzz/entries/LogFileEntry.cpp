#include "FuzzEntries.h"
#include "Scratch.h"

#include "log/LogDatabase.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QFile>

namespace {

// Nobody answers: every message is taken as read.
class SilentPrompter : public Prompter {
public:
    Answer message(const QString&, const QString&, Icon, Buttons) override { return Answer::Ok; }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
};

} // namespace

namespace FuzzEntries {

QString logFile(const QByteArray& input) {
    Scratch::ensureApplication();
    // A folder emptied for every input: damaged logs moved aside would pile up.
    QDir folder(Scratch::path(QStringLiteral("log")));
    folder.removeRecursively();
    if (!folder.mkpath(QStringLiteral(".")))
        return QStringLiteral("the scratch folder could not be made");
    QFile file(folder.filePath(QStringLiteral("swr.db")));
    if (!file.open(QIODevice::WriteOnly) || file.write(input) != input.size())
        return QStringLiteral("the scratch log could not be written");
    file.close();

    LogContext context;
    context.logPath = folder.path();
    context.audit = true;
    context.server = QStringLiteral("printhost");
    context.queue = QStringLiteral("Office");
    const Environment environment;
    const Clock clock;
    SilentPrompter prompter;
    LogDatabase log([&] { return context; }, QStringLiteral(SPOOLWRIGHT_PROGRAM_FOLDER),
                    environment, clock, prompter);
    // Whatever stood there, a row written is a row kept: in the log, or waiting for it
    // when the log could not be had in time (a busy machine can take the second an
    // operation may wait).
    log.OpenLogDatabase();
    const QString id = QStringLiteral("7-2026-01-02 03:04:05");
    log.SetLogField(id, QStringLiteral("Description"), QStringLiteral("report.pdf"));
    log.flushPending();
    const QString read = log.logFieldOfRows({id}, QStringLiteral("Description")).value(id);
    if (read != QLatin1String("report.pdf") && log.pendingCount() == 0)
        return QStringLiteral("a row written was lost; it reads back as %1")
            .arg(Scratch::sample(read));
    log.CloseLogDatabase();
    return QString();
}

} // namespace FuzzEntries
