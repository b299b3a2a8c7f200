#include <QApplication>
#include <QMainWindow>
#include <memory>

namespace korvane::gui {
QMainWindow* CreatePlaceholderWindow();
}

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::unique_ptr<QMainWindow> window(korvane::gui::CreatePlaceholderWindow());
  window->show();
  return QApplication::exec();
}
