#pragma once

#include <QByteArray>
#include <QString>

// Counting the pages of a print job's document, for jobs the server has not
// counted (CUPS counts none before it prints). Pure functions over the bytes of
// one document; 0 where the document cannot be read. Copies are not counted:
// these are the document's own pages.
namespace PageCount {

// A plain-text page holds this many lines, as on a line printer.
constexpr int textLinesPerPage = 66;

// The pages of a PDF document, read by the PDF library: 0 for a damaged or
// encrypted document that cannot be opened.
qint64 pdfPages(const QByteArray& document);

// The pages of a PostScript document by its structuring comments: the number
// of the %%Pages: comment (the trailer's when the header says "(atend)"), else
// the number of %%Page: comments. Comments inside an embedded document
// (%%BeginDocument ... %%EndDocument) belong to that document, not to the job.
qint64 postScriptPages(const QByteArray& document);

// The pages of plain text: a form feed ends a page, and so does the 66th line.
// A page with nothing on it (after a final form feed, or between two form feeds)
// is not printed and not counted.
qint64 textPages(const QByteArray& document);

// The pages of a document of the given MIME type (as the server detected it).
// A banner or test page (application/vnd.cups-banner, -pdf-banner) is one page.
// A type that says nothing of the content (application/octet-stream, a raw
// job) is told from the document's first bytes: PDF, PostScript, or text that
// holds no control codes a printer language would use.
qint64 documentPages(const QByteArray& document, const QString& mimeType);

} // namespace PageCount
