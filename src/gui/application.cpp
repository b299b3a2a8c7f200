#include "gui/application.h"

#include "core/platform/file_system.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <string_view>

#include "core/app/settings_file.h"
#include "gui/document/document_model.h"
#include "gui/files/instance_relay.h"
#include "gui/main_frame.h"
#include "gui/prompter.h"
#include "gui/widgets/icons.h"

namespace korvane::gui {

namespace {

struct Arguments {
  QString file;
  QString screenshot;
  bool valid = true;
};

Arguments ParseArguments(const QStringList& args) {
  Arguments parsed;
  for (int i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == QLatin1String("--screenshot") && i + 1 < args.size()) {
      parsed.screenshot = args[++i];
    } else if (a.startsWith(QLatin1String("--"))) {
      parsed.valid = false;
    } else if (parsed.file.isEmpty()) {
      parsed.file = a;
    }
  }
  return parsed;
}

}  // namespace

bool LoadQtChineseTexts(QTranslator& translator) {
  return translator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

void UseChineseForQt(QTranslator& translator) {
  QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
  if (LoadQtChineseTexts(translator)) QCoreApplication::installTranslator(&translator);
}

int RunKorvane(int argc, char** argv) {
  platform::ReportFileSizeLimitAsError();
  // Answered before the window system is opened (they need no display).
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (a == "--version") {
      std::printf("korvane %s\n", KORVANE_VERSION);
      return 0;
    }
    if (a == "--help" || a == "-h") {
      std::printf("usage: korvane [FILE.SHA|FILE.SHT]\n       korvane --version\n");
      return 0;
    }
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Korvane"));
  // Qt's own buttons and standard dialogs in Chinese.
  QTranslator qtTexts;
  UseChineseForQt(qtTexts);
  QApplication::setWindowIcon(ApplicationIcon());
  const Arguments args = ParseArguments(QApplication::arguments());
  if (!args.valid) {
    fprintf(stderr, "usage: korvane [FILE.SHA|FILE.SHT]\n");
    return 2;
  }

  // A screenshot run reads the user's settings but writes none of them: not
  // the document's settings file and not the window's (recent files, bars).
  const bool keepSettings = !args.screenshot.isEmpty();

  // A start with a file while the program runs: the running window opens
  // it. (A screenshot run is a program of its own.)
  const QString relayName = RelayName(QString::fromStdU16String(SettingsDirectory().u16string()));
  if (!keepSettings && !args.file.isEmpty() && InstanceRelay::handOver(relayName, args.file)) return 0;

  DocumentModel model(std::make_unique<CKorvaneDoc>(keepSettings ? CKorvaneDoc::Settings::Load
                                                                 : CKorvaneDoc::Settings::LoadAndSave));
  QtPrompter prompter;
  CMainFrame frame(&model, &prompter, QString(),
                   keepSettings ? CMainFrame::UiSettings::ReadOnly : CMainFrame::UiSettings::ReadWrite);

  if (!args.file.isEmpty() && frame.openFile(args.file) != CMainFrame::OpenOutcome::Opened) return 1;
  InstanceRelay relay(relayName);
  if (!keepSettings && relay.listen()) OpenHandedOverFiles(relay, frame);
  if (!args.screenshot.isEmpty()) {
    // Without a window manager nothing maximizes the window: give it the
    // screen's size so that the picture shows what a user sees.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
      frame.setGeometry(screen->availableGeometry());
  }
  frame.showMaximized();

  if (!args.screenshot.isEmpty()) {
    QTimer::singleShot(800, &frame, [&frame, &args] {
      const bool saved = frame.grab().save(args.screenshot);
      QApplication::exit(saved ? 0 : 1);
    });
  }
  return QApplication::exec();
}

}  // namespace korvane::gui
