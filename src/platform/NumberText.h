#pragma once

#include <QString>

// The whole number a text begins with, after blanks and an optional sign: "12abc"
// reads 12, "abc" and "" read 0. Counters, page cells and log fields are all read
// this lenient way, so a damaged value counts as nothing rather than stopping a sum.
qint64 leadingNumberOf(const QString& text);
