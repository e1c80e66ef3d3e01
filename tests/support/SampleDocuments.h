#pragma once

#include <QByteArray>

// Documents of a known number of pages, made here so that the tests depend on
// no sample file of any other program.

// A valid PDF with `pages` pages, each marked where its number says.
QByteArray samplePdf(int pages);

// Plain text of `lines` numbered lines, each ending in a line feed.
QByteArray sampleText(int lines);
