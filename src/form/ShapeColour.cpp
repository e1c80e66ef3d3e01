#include "form/ShapeColour.h"

#include <QLineEdit>
#include <QVariant>
#include <QWidget>

void ShapeColour::set(QWidget* widget, const QColor& colour) {
    // A style sheet is applied anew however little changed, and the poll sets the
    // same colours many times a second.
    if (!widget || (of(widget) == colour && !widget->styleSheet().isEmpty()))
        return;
    widget->setProperty("shapeColour", colour);
    if (qobject_cast<QLineEdit*>(widget))
        widget->setStyleSheet(QStringLiteral("QLineEdit { background: %1; }").arg(colour.name()));
    else
        widget->setStyleSheet(
            QStringLiteral("background: %1; border-radius: 6px;").arg(colour.name()));
}

QColor ShapeColour::of(const QWidget* widget) {
    return widget ? widget->property("shapeColour").value<QColor>() : QColor();
}
