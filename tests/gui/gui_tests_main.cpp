// One Qt Test program for all GUI test classes. ctest runs it once per class
// (the class name as the first argument), so that a failure names its class;
// without a class name it runs them all.
//   korvane_gui_tests --list-classes       the class names, one per line
//   korvane_gui_tests CLASS [QTEST ARGS]   one class
//   korvane_gui_tests [QTEST ARGS]         every class
#include <QApplication>
#include <cstdio>
#include <cstring>
#include <vector>

#include "gui/gui_test_support.h"

namespace {

struct TestClass {
  const char* name;
  int (*run)(int argc, char** argv);
};

constexpr TestClass kClasses[] = {
    {"MainScreenTest", korvane::gui::test::RunMainScreenTests},
    {"FrameTest", korvane::gui::test::RunFrameTests},
    {"FileCommandsTest", korvane::gui::test::RunFileCommandsTests},
    {"GridCtrlTest", korvane::gui::test::RunGridCtrlTests},
    {"AnalysisScreenTest", korvane::gui::test::RunAnalysisScreenTests},
    {"OutputCommandsTest", korvane::gui::test::RunOutputCommandsTests},
    {"UndoTest", korvane::gui::test::RunUndoTests},
    {"KeyboardTest", korvane::gui::test::RunKeyboardTests},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--list-classes") == 0) {
    for (const TestClass& c : kClasses) std::printf("%s\n", c.name);
    return 0;
  }
  const TestClass* only = nullptr;
  if (argc > 1 && argv[1][0] != '-') {
    for (const TestClass& c : kClasses) {
      if (std::strcmp(argv[1], c.name) == 0) only = &c;
    }
    if (only == nullptr) {
      std::fprintf(stderr, "no GUI test class named %s\n", argv[1]);
      return 2;
    }
  }
  // QTest sees the program name and the arguments after the class name.
  std::vector<char*> args(argv, argv + argc);
  if (only != nullptr) args.erase(args.begin() + 1);
  const int qtestArgc = static_cast<int>(args.size());

  // The tests need no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  int failures = 0;
  for (const TestClass& c : kClasses) {
    if (only == nullptr || only == &c) failures += c.run(qtestArgc, args.data());
  }
  return failures == 0 ? 0 : 1;
}
