// Temporary main window until the frame is built.
#include <QMainWindow>

namespace korvane::gui {
QMainWindow* CreatePlaceholderWindow() {
  auto* window = new QMainWindow;
  window->setWindowTitle(QStringLiteral("Korvane1.1.220310"));
  return window;
}
}  // namespace korvane::gui
