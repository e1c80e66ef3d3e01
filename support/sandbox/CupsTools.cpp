#include "sandbox/CupsTools.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

QString findCupsTool(const QString& name) {
    const QString path = QStandardPaths::findExecutable(name);
    if (!path.isEmpty())
        return path;
    return QStandardPaths::findExecutable(
        name,
        {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin"), QStringLiteral("/sbin")});
}

ToolRun runTool(const QString& tool, const QStringList& arguments, const QByteArray& input,
                int timeoutMs) {
    ToolRun run;
    const QString command = QFileInfo(tool).fileName() + QLatin1Char(' ') + arguments.join(' ');
    const QString program = tool.contains(QLatin1Char('/')) ? tool : findCupsTool(tool);
    if (program.isEmpty()) {
        run.error = tool + QStringLiteral(" is not installed (tools/setup-debian installs it)");
        return run;
    }
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!process.waitForStarted(timeoutMs)) {
        run.error = QStringLiteral("cannot run %1: %2").arg(command, process.errorString());
        return run;
    }
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.error =
            QStringLiteral("%1 did not finish within %2 s").arg(command).arg(timeoutMs / 1000);
        return run;
    }
    run.nanoseconds = timer.nsecsElapsed();
    run.output = process.readAllStandardOutput();
    run.ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!run.ok)
        run.error = QStringLiteral("%1 failed: %2%3")
                        .arg(command, QString::fromLocal8Bit(run.output),
                             QString::fromLocal8Bit(process.readAllStandardError()))
                        .trimmed();
    return run;
}
