// Icons of the program, drawn in code: the application icon (a concrete
// block with an ultrasonic trace) and the toolbar buttons that Qt's standard
// icons do not cover.
#pragma once

#include <QIcon>

class QStyle;

namespace korvane::gui {

QIcon ApplicationIcon();
// Icon of a toolbar command (command identifiers of commands.h).
QIcon CommandIcon(int command, const QStyle* style);

}  // namespace korvane::gui
