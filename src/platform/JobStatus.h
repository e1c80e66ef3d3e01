#pragma once

#include <QString>

// The words the operator sees for spooler status numbers, and the icon of a job row.
// All pure: a value that matches nothing gets the fallback text, never an error.

// Job status mask to text. Only a single known bit matches; 0 and every
// combination of bits read "OK".
QString JobStatusText(qint64 code);

// Queue status bit mask to text: " Paused Error ..." with one leading blank per
// set bit, lowest bit first; 0 reads "OK".
QString PrinterStatusText(quint32 status);

// Extended printer status number to text; unknown values come back as the number.
QString ExtendedPrinterStatusText(qint64 value);

// Index 1..5 into the job icon list, chosen from a job status text.
int JobIconIndex(const QString& statusText);
