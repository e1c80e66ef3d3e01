#pragma once

#include "form/FrmMain.h"

#include <QObject>

// State of the window that is not a control. Each part is kept in the folder of
// the procedures that change it, as a child of the window made when first asked
// for, so that it goes with the window: before its controls, log and spoolers, so
// that work it has under way never outlives them.
class WindowPart : public QObject {
public:
    explicit WindowPart(FrmMain& form) : QObject(&form) {}
};

// The window's part of this type, made when first asked for.
template <typename Part> Part& windowPart(FrmMain& form) {
    for (QObject* child : form.children())
        if (auto* part = dynamic_cast<Part*>(child))
            return *part;
    return *new Part(form);
}

// Reading a part does not change the window: one not made yet is made as it would
// be by its first change.
template <typename Part> const Part& windowPart(const FrmMain& form) {
    return windowPart<Part>(const_cast<FrmMain&>(form));
}
