#include "log/ReportPage.h"

#include "platform/SafeFile.h"

#include <QStringList>

namespace ReportPage {

namespace {

// The UTF-8 sequence that starts at `c`: how many bytes it takes and whether they
// are a well-formed character. A byte that cannot start one, an overlong form, a
// surrogate, a code point past U+10FFFF or a sequence cut short is not; its length
// is then the bytes that still looked right (at least one), which one replacement
// character stands for, as Unicode recommends.
struct Sequence {
    qsizetype length;
    bool whole;
};

Sequence sequenceAt(const unsigned char* c, const unsigned char* end) {
    const unsigned char lead = *c;
    unsigned char low = 0x80, high = 0xBF; // the range of the byte after the lead
    int following = 0;
    if (lead < 0x80)
        return {1, true};
    if (lead >= 0xC2 && lead <= 0xDF) {
        following = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        following = 2;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        following = 3;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return {1, false};
    }
    qsizetype length = 1;
    for (; length <= following; ++length) {
        if (c + length == end || c[length] < low || c[length] > high)
            return {length, false};
        low = 0x80;
        high = 0xBF;
    }
    return {length, true};
}

constexpr char kReplacement[] = "\xEF\xBF\xBD"; // U+FFFD

} // namespace

void appendEscaped(QByteArray& page, const char* utf8, qsizetype length) {
    const auto* const end = reinterpret_cast<const unsigned char*>(utf8) + length;
    const auto* plain = reinterpret_cast<const unsigned char*>(utf8); // needs no entity
    auto flush = [&page, &plain](const unsigned char* upTo) {
        page.append(reinterpret_cast<const char*>(plain), upTo - plain);
    };
    for (const unsigned char* c = plain; c != end;) {
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
            break;
        }
        if (entity) {
            flush(c);
            page.append(entity);
            plain = ++c;
            continue;
        }
        if (*c < 0x80) {
            ++c;
            continue;
        }
        // The log may hold bytes that are no UTF-8 (another program wrote them), and
        // the page says it is UTF-8: each broken sequence becomes one U+FFFD.
        const Sequence sequence = sequenceAt(c, end);
        if (!sequence.whole) {
            flush(c);
            page.append(kReplacement);
            plain = c + sequence.length;
        }
        c += sequence.length;
    }
    flush(end);
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
