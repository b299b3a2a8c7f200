#include "cli/gui_application.h"

#ifdef KORVANE_WITH_QT
#include <cstdio>

namespace korvane::cli {
namespace {

// Qt's own notes about the environment of a window system the command does
// not use (no runtime folder, DPI awareness, debug output) stay off stderr;
// real warnings pass.
void FilterQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtDebugMsg || type == QtInfoMsg) return;
  if (message.startsWith(QLatin1String("QStandardPaths:"))) return;
  // The Windows platform's note that the system refused a DPI awareness
  // (older systems, Wine): the command shows no window.
  if (message.startsWith(QLatin1String("SetProcessDpiAwareness"))) return;
  std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

}  // namespace

std::unique_ptr<QGuiApplication> MakeGuiApplication() {
  if (QGuiApplication::instance() != nullptr) return nullptr;
#ifndef _WIN32
  // No window system is needed. On Windows the native platform stays: it
  // opens no window either and finds the system's fonts, which the offscreen
  // platform would look for beside the program.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
  qInstallMessageHandler(FilterQtMessages);
  static int argc = 1;
  static char name[] = "korvane-cli";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace korvane::cli
#endif
