// This code uses qpdf's std::shared_ptr interface only, not its old pointer
// type; saying so before any qpdf header keeps that header quiet.
#define POINTERHOLDER_TRANSITION 4

#include "platform/PageCount.h"

#include <QList>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <exception>

namespace PageCount {

namespace {

enum class Kind { Pdf, PostScript, Text, Banner, Unknown };

// Where a PDF file's header may start: readers allow junk before it.
constexpr int pdfHeaderWindow = 1024;

bool isPdf(const QByteArray& document) {
    return document.left(pdfHeaderWindow).contains("%PDF-");
}

// A PostScript job may be preceded by a Ctrl-D or a PJL header that switches
// the printer to PostScript; the "%!" comes after it.
bool isPostScript(const QByteArray& document) {
    qsizetype start = 0;
    if (document.startsWith("\x04"))
        start = 1;
    if (document.mid(start).startsWith("\x1b%-12345X")) {
        const qsizetype marker = document.indexOf("%!", start);
        return marker >= 0 && marker < 4096;
    }
    return document.mid(start).startsWith("%!");
}

// Text a printer would print as lines: no NUL and no control codes but tab,
// line feed, carriage return, form feed and backspace. Escape codes mean a
// printer language, whose pages text rules would miscount.
bool isText(const QByteArray& document) {
    for (const char c : document) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\b')
            return false;
    }
    return !document.isEmpty();
}

Kind kindOf(const QByteArray& document, const QString& mimeType) {
    const QString type = mimeType.section(QLatin1Char(';'), 0, 0).trimmed().toLower();
    if (type == QLatin1String("application/pdf"))
        return Kind::Pdf;
    if (type == QLatin1String("application/postscript"))
        return Kind::PostScript;
    if (type == QLatin1String("text/plain"))
        return Kind::Text;
    if (type == QLatin1String("application/vnd.cups-banner") ||
        type == QLatin1String("application/vnd.cups-pdf-banner"))
        return Kind::Banner;
    if (type.isEmpty() || type == QLatin1String("application/octet-stream") ||
        type == QLatin1String("application/vnd.cups-raw")) {
        if (isPdf(document))
            return Kind::Pdf;
        if (isPostScript(document))
            return Kind::PostScript;
        if (isText(document))
            return Kind::Text;
    }
    return Kind::Unknown;
}

// The number after a DSC keyword ("%%Pages: 12"), or -1 when there is none
// ("(atend)", or text that is no number).
qint64 commentNumber(const QByteArray& line, qsizetype keywordLength) {
    const QByteArray value = line.mid(keywordLength).trimmed();
    const QByteArray first = value.left(value.indexOf(' ') < 0 ? value.size() : value.indexOf(' '));
    bool ok = false;
    const qint64 number = first.toLongLong(&ok);
    return ok && number >= 0 ? number : -1;
}

} // namespace

qint64 pdfPages(const QByteArray& document) {
    if (document.isEmpty())
        return 0;
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processMemoryFile("job document", document.constData(),
                              static_cast<size_t>(document.size()));
        return static_cast<qint64>(QPDFPageDocumentHelper(pdf).getAllPages().size());
    } catch (const std::exception&) {
        return 0; // damaged beyond repair, or encrypted with a password we do not have
    }
}

qint64 postScriptPages(const QByteArray& document) {
    qint64 declared = -1; // from %%Pages:
    qint64 pageComments = 0;
    int embedded = 0; // depth of %%BeginDocument
    qsizetype start = 0;
    while (start < document.size()) {
        qsizetype end = document.indexOf('\n', start);
        if (end < 0)
            end = document.size();
        QByteArray line = document.mid(start, end - start);
        start = end + 1;
        // Lines may also end in CR alone (old Macintosh drivers) or CR LF.
        for (const QByteArray& part : line.split('\r')) {
            if (!part.startsWith("%%"))
                continue;
            if (part.startsWith("%%BeginDocument"))
                ++embedded;
            else if (part.startsWith("%%EndDocument"))
                embedded = qMax(0, embedded - 1);
            else if (embedded > 0)
                continue;
            else if (part.startsWith("%%Pages:")) {
                const qint64 number = commentNumber(part, 8);
                if (number >= 0)
                    declared = number; // the trailer's comes last and wins over "(atend)"
            } else if (part.startsWith("%%Page:"))
                ++pageComments;
        }
    }
    return declared >= 0 ? declared : pageComments;
}

qint64 textPages(const QByteArray& document) {
    qint64 pages = 0;
    int lines = 0;         // complete lines on the current page
    bool lineText = false; // the current line has something on it
    for (const char c : document) {
        if (c == '\f') {
            if (lines > 0 || lineText)
                ++pages;
            lines = 0;
            lineText = false;
        } else if (c == '\n') {
            lineText = false;
            if (++lines == textLinesPerPage) {
                ++pages;
                lines = 0;
            }
        } else if (c != '\r') {
            lineText = true;
        }
    }
    if (lines > 0 || lineText)
        ++pages;
    return pages;
}

qint64 documentPages(const QByteArray& document, const QString& mimeType) {
    switch (kindOf(document, mimeType)) {
    case Kind::Pdf:
        return pdfPages(document);
    case Kind::PostScript:
        return postScriptPages(document);
    case Kind::Text:
        return textPages(document);
    case Kind::Banner:
        return 1;
    case Kind::Unknown:
        break;
    }
    return 0;
}

} // namespace PageCount
