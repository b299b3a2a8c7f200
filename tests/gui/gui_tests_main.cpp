// One Qt Test program for all GUI tests: each file provides a runner.
#include <QApplication>

namespace korvane::gui::test {
int RunMainScreenTests(int argc, char** argv);
int RunFrameTests(int argc, char** argv);
int RunFileCommandsTests(int argc, char** argv);
int RunGridCtrlTests(int argc, char** argv);
}  // namespace korvane::gui::test

int main(int argc, char** argv) {
  // The tests need no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  int failures = 0;
  failures += korvane::gui::test::RunMainScreenTests(argc, argv);
  failures += korvane::gui::test::RunFrameTests(argc, argv);
  failures += korvane::gui::test::RunFileCommandsTests(argc, argv);
  failures += korvane::gui::test::RunGridCtrlTests(argc, argv);
  return failures == 0 ? 0 : 1;
}
