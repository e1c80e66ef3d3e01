#include "support/SampleDocuments.h"

#include <QList>

QByteArray samplePdf(int pages) {
    // Objects: 1 catalog, 2 page tree, 3..pages+2 pages, then one content stream
    // per page, then the font.
    const int font = 3 + 2 * pages;
    QList<QByteArray> objects;
    objects << "<< /Type /Catalog /Pages 2 0 R >>";
    QByteArray kids;
    for (int i = 0; i < pages; ++i)
        kids += QByteArray::number(3 + i) + " 0 R ";
    objects << "<< /Type /Pages /Kids [ " + kids + "] /Count " + QByteArray::number(pages) + " >>";
    for (int i = 0; i < pages; ++i)
        objects << "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << "
                   "/F1 " +
                       QByteArray::number(font) + " 0 R >> >> /Contents " +
                       QByteArray::number(3 + pages + i) + " 0 R >>";
    for (int i = 0; i < pages; ++i) {
        const QByteArray text = "BT /F1 24 Tf 72 760 Td (Page " + QByteArray::number(i + 1) +
                                " of " + QByteArray::number(pages) + ") Tj ET";
        objects << "<< /Length " + QByteArray::number(text.size()) + " >>\nstream\n" + text +
                       "\nendstream";
    }
    objects << "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>";

    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (int i = 0; i < objects.size(); ++i) {
        offsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

QByteArray sampleText(int lines) {
    QByteArray text;
    for (int i = 1; i <= lines; ++i)
        text += "Line " + QByteArray::number(i) + " of the sample document.\n";
    return text;
}
