#pragma once

#include <QColor>

class QWidget;

// The coloured status shapes and text boxes of the main window (the refresh
// indicator, the search progress shape, the queue status box). The colour is kept
// on the widget, so whoever tests or repaints it reads the same value.
namespace ShapeColour {

inline const QColor green{0, 255, 0};
inline const QColor orange{255, 128, 0};
inline const QColor red{255, 0, 0};
inline const QColor blue{0, 0, 255};
inline const QColor cyan{0, 255, 255};
inline const QColor white{255, 255, 255};

void set(QWidget* widget, const QColor& colour);
QColor of(const QWidget* widget);

} // namespace ShapeColour
