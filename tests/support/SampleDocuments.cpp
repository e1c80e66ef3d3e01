#include "support/SampleDocuments.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>

QByteArray samplePdf(int pages) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        QPainter painter(&writer);
        for (int page = 1; page <= pages; ++page) {
            if (page > 1)
                writer.newPage();
            painter.drawRect(100 * page, 100, 100, 100);
        }
    }
    return buffer.data();
}

QByteArray sampleText(int lines) {
    QByteArray text;
    for (int i = 1; i <= lines; ++i)
        text += "Line " + QByteArray::number(i) + " of the sample document.\n";
    return text;
}
