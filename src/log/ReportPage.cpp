#include "log/ReportPage.h"

#include "platform/SafeFile.h"

#include <QStringList>

namespace ReportPage {

void appendEscaped(QByteArray& page, const char* utf8, qsizetype length) {
    const char* const end = utf8 + length;
    const char* plain = utf8; // the start of the run that needs no entity
    for (const char* c = utf8; c != end; ++c) {
        const char* entity = nullptr;
        switch (*c) {
        case '&':
            entity = "&amp;";
            break;
        case '<':
            entity = "&lt;";
            break;
        case '>':
            entity = "&gt;";
            break;
        case '"':
            entity = "&quot;";
            break;
        case '\'':
            entity = "&#39;";
            break;
        default:
            continue;
        }
        page.append(plain, c - plain);
        page.append(entity);
        plain = c + 1;
    }
    page.append(plain, end - plain);
}

QString escape(const QString& value) {
    const QByteArray utf8 = value.toUtf8();
    QByteArray text;
    text.reserve(utf8.size());
    appendEscaped(text, utf8.constData(), utf8.size());
    return QString::fromUtf8(text);
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
    text += escape(settings.company) + QStringLiteral(" </h1><em style='color: #008000'>") +
            escape(settings.tagline);
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

QString write(const QString& path, const QByteArray& utf8Page) {
    QString whyNot;
    if (SafeFile::replaceFileContents(path, utf8Page + "\r\n", &whyNot))
        return QString();
    return whyNot;
}

} // namespace ReportPage
