#include "log/ReportPage.h"

#include "platform/SafeFile.h"

#include <QStringList>

namespace ReportPage {

void appendEscaped(QString& page, const QString& value) {
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '&':
            page += QLatin1String("&amp;");
            break;
        case '<':
            page += QLatin1String("&lt;");
            break;
        case '>':
            page += QLatin1String("&gt;");
            break;
        case '"':
            page += QLatin1String("&quot;");
            break;
        case '\'':
            page += QLatin1String("&#39;");
            break;
        default:
            page += c;
        }
    }
}

QString escape(const QString& value) {
    QString text;
    text.reserve(value.size());
    appendEscaped(text, value);
    return text;
}

QString showHideScript() {
    static const char* const lines[] = {
        "<script language='javascript'>",
        "<!--",
        "var state = 'none';",
        "function showhide(layer_ref) {",
        "if (state == 'block') {",
        "state = 'none';",
        "}",
        "else {",
        "state = 'block';",
        "}",
        "if (document.all) { //IS IE 4 or 5 (or 6 beta)",
        "eval( 'document.all.' + layer_ref + '.style.display = state');",
        "}",
        "if (document.layers) { //IS NETSCAPE 4 or below",
        "document.layers[layer_ref].display = state;",
        "}",
        "if (document.getElementById &&!document.all) {",
        "hza = document.getElementById(layer_ref);",
        "hza.style.display = state;",
        "}",
        "}",
        "//-->",
        "</script>",
    };
    QString script;
    for (const char* line : lines)
        script += QLatin1String(line) + QLatin1String("\r\n");
    return script;
}

QString head(const QString& titleText, bool withScript, const Settings& settings,
             const QString& headingElement) {
    QString text = QStringLiteral("<html><head><meta charset=\"utf-8\"><title>Spoolwright") +
                   titleText + QStringLiteral("</title>");
    if (withScript)
        text += showHideScript();
    text += QStringLiteral("</head><body align='center' style='color: #000080'><h1>");
    appendEscaped(text, settings.company);
    text += QStringLiteral(" </h1><em style='color: #008000'>");
    appendEscaped(text, settings.tagline);
    text +=
        QStringLiteral("</em>") + headingElement + QStringLiteral("<table align='center'><tr><td>");
    return text;
}

QString tableStart(const QString& caption, int colspan, const QString& captionColour) {
    return QStringLiteral("<table border=1 cellpadding=2 cellspacing=0>"
                          "<tr><th align='center' colspan=%1 style='border-width: 0px; "
                          "background-color: %2'>%3</th></tr>")
        .arg(colspan)
        .arg(captionColour, caption);
}

QString headerRow(const QStringList& cells) {
    QString row = QStringLiteral("<tr style='border-width: 1px; background-color: #C0C0C0'>");
    for (const QString& cell : cells)
        row += QStringLiteral("<th>") + cell + QStringLiteral("</th>");
    return row + QStringLiteral("</tr>");
}

QString write(const QString& path, const QString& page) {
    QString whyNot;
    if (SafeFile::replaceFileContents(path, (page + QStringLiteral("\r\n")).toUtf8(), &whyNot))
        return QString();
    return whyNot;
}

} // namespace ReportPage
