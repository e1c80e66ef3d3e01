#include "FuzzEntries.h"
#include "Scratch.h"

#include "shell/CommandLine.h"

namespace FuzzEntries {

QString commandLine(const QByteArray& input) {
    if (input.isEmpty())
        return QString();
    const int maxArgs = static_cast<unsigned char>(input.at(0)) % 12;
    const QString line = QString::fromUtf8(input.mid(1));
    const QStringList arguments = splitCommandLine(line, maxArgs);
    if (arguments.size() > maxArgs)
        return QStringLiteral("%1 arguments where at most %2 were asked for")
            .arg(arguments.size())
            .arg(maxArgs);
    qsizetype kept = 0;
    for (const QString& argument : arguments) {
        if (argument.isEmpty() || argument.contains(QLatin1Char('/')) ||
            argument.contains(QLatin1Char('\t')))
            return QStringLiteral("the argument %1").arg(Scratch::sample(argument));
        isReportSwitch(argument);
        kept += argument.size();
    }
    // Every character but the separators lands in an argument, unless the count ran out.
    qsizetype text = 0;
    for (const QChar c : line)
        text += c != QLatin1Char('/') && c != QLatin1Char('\t');
    if (arguments.size() < maxArgs && kept != text)
        return QStringLiteral("%1 characters of arguments from %2").arg(kept).arg(text);
    return QString();
}

} // namespace FuzzEntries
