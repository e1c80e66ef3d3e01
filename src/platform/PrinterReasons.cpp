#include "platform/PrinterReasons.h"

#include <QHash>

namespace {

// Reasons of a printer that is fine, only busy or stopped on purpose.
bool isPassing(const QString& base) {
    static const QStringList passing{
        QStringLiteral("none"),
        QStringLiteral("paused"),
        QStringLiteral("moving-to-paused"),
        QStringLiteral("connecting-to-device"),
        QStringLiteral("cups-waiting-for-job-completed"),
        QStringLiteral("hold-new-jobs"),
        QStringLiteral("spool-area-full"),
    };
    return passing.contains(base);
}

const QHash<QString, QString>& reasonWords() {
    static const QHash<QString, QString> words{
        {QStringLiteral("media-empty"), QStringLiteral("out of paper")},
        {QStringLiteral("media-needed"), QStringLiteral("paper needed")},
        {QStringLiteral("media-low"), QStringLiteral("paper low")},
        {QStringLiteral("media-jam"), QStringLiteral("paper jam")},
        {QStringLiteral("media-path-jam"), QStringLiteral("paper jam")},
        {QStringLiteral("input-tray-missing"), QStringLiteral("paper tray missing")},
        {QStringLiteral("output-tray-missing"), QStringLiteral("output tray missing")},
        {QStringLiteral("output-area-almost-full"), QStringLiteral("output tray almost full")},
        {QStringLiteral("output-area-full"), QStringLiteral("output tray full")},
        {QStringLiteral("toner-low"), QStringLiteral("toner low")},
        {QStringLiteral("toner-empty"), QStringLiteral("out of toner")},
        {QStringLiteral("marker-supply-low"), QStringLiteral("ink or toner low")},
        {QStringLiteral("marker-supply-empty"), QStringLiteral("out of ink or toner")},
        {QStringLiteral("marker-waste-almost-full"), QStringLiteral("waste container almost full")},
        {QStringLiteral("marker-waste-full"), QStringLiteral("waste container full")},
        {QStringLiteral("door-open"), QStringLiteral("door open")},
        {QStringLiteral("cover-open"), QStringLiteral("cover open")},
        {QStringLiteral("interlock-open"), QStringLiteral("interlock open")},
        {QStringLiteral("offline"), QStringLiteral("offline")},
        {QStringLiteral("shutdown"), QStringLiteral("shut down")},
        {QStringLiteral("timed-out"), QStringLiteral("not answering")},
        {QStringLiteral("fuser-over-temp"), QStringLiteral("fuser too hot")},
        {QStringLiteral("fuser-under-temp"), QStringLiteral("fuser warming up")},
        {QStringLiteral("developer-low"), QStringLiteral("developer low")},
        {QStringLiteral("developer-empty"), QStringLiteral("out of developer")},
        {QStringLiteral("opc-near-eol"), QStringLiteral("drum near its end")},
        {QStringLiteral("opc-life-over"), QStringLiteral("drum worn out")},
        {QStringLiteral("stopped-partly"), QStringLiteral("partly stopped")},
        {QStringLiteral("stopping"), QStringLiteral("stopping")},
        {QStringLiteral("cups-missing-filter"), QStringLiteral("driver missing")},
        {QStringLiteral("other"), QStringLiteral("a fault")},
    };
    return words;
}

} // namespace

QString withoutSeverity(const QString& reason) {
    for (const char* suffix : {"-report", "-warning", "-error"})
        if (reason.endsWith(QLatin1String(suffix)))
            return reason.chopped(static_cast<int>(qstrlen(suffix)));
    return reason;
}

QStringList attentionReasons(const QStringList& reasons) {
    QStringList attention;
    for (const QString& reason : reasons)
        if (!reason.isEmpty() && !isPassing(withoutSeverity(reason)))
            attention << reason;
    return attention;
}

QString printerReasonText(const QString& reason) {
    const QString base = withoutSeverity(reason);
    const auto words = reasonWords().constFind(base);
    if (words != reasonWords().constEnd())
        return *words;
    QString text = base;
    return text.replace(QLatin1Char('-'), QLatin1Char(' '));
}

QString printerReasonsText(const QStringList& reasons) {
    QStringList texts;
    for (const QString& reason : reasons) {
        const QString text = printerReasonText(reason);
        if (!texts.contains(text))
            texts << text;
    }
    return texts.join(QStringLiteral(", "));
}
