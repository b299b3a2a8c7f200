// The wait cursor for the life of the object (restored however the scope is
// left, an exception included).
#pragma once

#include <QApplication>

namespace korvane::gui {

class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace korvane::gui
