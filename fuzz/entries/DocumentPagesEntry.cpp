#include "FuzzEntries.h"

#include "platform/PageCount.h"
#include "platform/PrintSpooler.h"

namespace {

// The types a server names a document by; the last says nothing of the content.
const char* const kTypes[] = {
    "application/pdf", "application/postscript",   "text/plain", "application/vnd.cups-banner",
    "image/png",       "application/octet-stream",
};

} // namespace

namespace FuzzEntries {

QString documentPages(const QByteArray& input) {
    // Larger documents are never fetched to be counted.
    if (input.isEmpty() || input.size() > kMostCountedBytes)
        return QString();
    const auto pick = static_cast<unsigned char>(input.at(0));
    const QString type = QString::fromLatin1(kTypes[pick % std::size(kTypes)]);
    const QByteArray document = input.mid(1);
    if (PageCount::documentPages(document, type) < 0)
        return QStringLiteral("fewer than no pages");
    if (PageCount::textPages(document) < 0 || PageCount::postScriptPages(document) < 0)
        return QStringLiteral("fewer than no pages");
    return QString();
}

} // namespace FuzzEntries
