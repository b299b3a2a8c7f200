// Tab order that follows what a reader sees: the controls of a form in the
// order of its layout rather than the order the code created them in.
#pragma once

#include <QList>

class QWidget;

namespace korvane::gui {

// The controls under `container`'s layout that Tab stops at, in reading
// order: a grid's cells row by row, left to right (a cell spanning several
// rows or columns at its first), a box layout's items in order, and a
// control-less widget with a layout of its own (a group box) read through
// before the next item. Disabled or hidden controls are listed too (Tab
// passes over them while they are). Empty without a layout.
QList<QWidget*> ReadingOrder(QWidget* container);

// Chains the Tab order of ReadingOrder(container).
void SetReadingTabOrder(QWidget* container);

}  // namespace korvane::gui
