#pragma once

#include <QString>

// Gives a widget the name the program knows it by, so handlers, tests and
// screenshots find it ("JobList", "chkAutoQueue", ...).
template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}
