#pragma once

#include <QByteArray>
#include <QString>

// The page every HTML report shares: the head (with or without the show/hide script),
// the company heading and tagline, and one centred cell that holds the report's body.
// Pages are UTF-8 and say so, so names in any script read right in every browser.
namespace ReportPage {

// The heading and tagline every page carries (the Company and Tagline settings).
struct Settings {
    QString company;
    QString tagline;
};

// The text of a value taken from the log, a server or the operator, safe to place
// between tags or inside a quoted attribute: & < > " ' become entities. A document
// name is chosen by whoever prints, and must never run as script in the operator's
// browser.
QString escape(const QString& value);
// The same for UTF-8 text straight from the log, appended to a UTF-8 page; bytes
// that are no well-formed UTF-8 become U+FFFD, so the page is UTF-8 whatever the
// log holds.
void appendEscaped(QByteArray& page, const char* utf8, qsizetype length);

// The script behind the live reports' "Show/Hide Jobs" links: one state for the whole
// page, flipped on every call and applied to the element named.
QString showHideScript();

// Everything before the body: the head with `titleText` after the product name in
// the title element (already escaped by the caller), the script when asked for, the
// heading and tagline, `headingElement` (the report's h2, escaped by the caller) and
// the opening of the centring table.
QString head(const QString& titleText, bool withScript, const Settings& settings,
             const QString& headingElement);

// What closes every page.
inline constexpr const char* kEnd = "</td></tr></table></body></html>";

// The opening of a data table with its caption row (captions are the program's own).
QString tableStart(const QString& caption, int colspan, const QString& captionColour);

// A header row of these cells.
QString headerRow(const QStringList& cells);

// Writes the UTF-8 page to `path` with one line end, replacing the old file only once the new
// one is on disk whole. Empty on success; otherwise the reason in a few words, and the
// old file is as it was.
QString write(const QString& path, const QByteArray& utf8Page);

} // namespace ReportPage
