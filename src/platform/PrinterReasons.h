#pragma once

#include <QString>
#include <QStringList>

// printer-state-reasons in the operator's words, and which of them mean that the
// printer needs somebody: one table from keyword to text.

// A reason's keyword without its -report, -warning or -error severity.
QString withoutSeverity(const QString& reason);

// The reasons that need attention, in the server's order: every reason but "none",
// the pause of a stopped queue (which AutoQueue sets itself) and the passing states
// of a printer at work (connecting to its device, waiting for a job to finish).
QStringList attentionReasons(const QStringList& reasons);

// One reason in words: "media-jam-error" reads "paper jam", "toner-low-warning"
// "toner low". A keyword the table lacks reads as itself, its severity dropped and
// its hyphens as blanks.
QString printerReasonText(const QString& reason);

// Several reasons in words, joined by ", ", each once.
QString printerReasonsText(const QStringList& reasons);
