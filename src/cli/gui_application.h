// The GUI application the Qt renderer needs for its fonts, for commands that
// paint pages but never show a window.
#pragma once

#ifdef KORVANE_WITH_QT
#include <QGuiApplication>
#include <memory>

namespace korvane::cli {

// A QGuiApplication on the offscreen platform (unless QT_QPA_PLATFORM names
// another), with Qt's notes about the window system kept off stderr; null
// when one exists already.
std::unique_ptr<QGuiApplication> MakeGuiApplication();

}  // namespace korvane::cli
#endif
