// File commands on the bundled example files: open (also failing), the
// question before edits are replaced by another file (every way of opening,
// a second start included), the recent-file list, save as and save, save
// results, the exit prompt's save and the merge.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "core/data/text_format.h"
#include "core/standards/standards.h"
#include "gui/commands.h"
#include "gui/dialogs/merge_dialog.h"
#include "gui/document/document_model.h"
#include "gui/files/instance_relay.h"
#include "gui/main_frame.h"
#include "gui/main_screen/point_panels_view.h"
#include "gui/main_screen/project_bar.h"
#include "gui/main_screen/zone_points_form.h"
#include "gui/widgets/save_progress.h"
#include "gui_test_support.h"

namespace korvane::gui::test {

namespace {

QString Sample(const char* name) {
  return QDir(QStringLiteral(KORVANE_SAMPLES_DIR)).filePath(QString::fromUtf8(name));
}

// Copies a data file and its waveform file ("…D") under a new base name.
QString CopyPair(const QString& source, const QString& dir, const QString& base) {
  const QString suffix = source.right(4);
  const QString target = QDir(dir).filePath(base + suffix);
  QFile::copy(source, target);
  QFile::copy(source.left(source.size() - 1) + QLatin1Char('D'),
              target.left(target.size() - 1) + QLatin1Char('D'));
  return target;
}

QByteArray Bytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The ways a user opens a file over the one shown.
enum class Way { OpenDialog, RecentFile, DroppedFile, OpenedFilesList, SecondStart };

}  // namespace

class FileCommandsTest : public QObject, protected WindowFixture<> {
  Q_OBJECT

 private:
  void makeFrame() { WindowFixture::makeFrame(std::make_unique<CKorvaneDoc>()); }
  CMainForm* form() const { return frame_->mainForm(); }
  bool opens(const QString& path) { return frame_->openFile(path) == CMainFrame::OpenOutcome::Opened; }

 private slots:
  void init() { makeFrame(); }
  void cleanup() {
    resetFrame();
    QFile::remove(uiSettingsFile());
  }

  void openShowsTheFileAndAFailedOpenShowsNone() {
    const QString three = Sample("result-3members-cecs2005.SHA");
    QVERIFY(opens(three));
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Korvane  1.1.220310 result-3members-cecs2005.SHA"));
    QCOMPARE(form()->siteField()->text(), QStringLiteral("示例工程综合楼"));
    QVERIFY(form()->siteField()->isEnabled());
    QCOMPARE(form()->memberList()->count(), 3);
    QCOMPARE(form()->memberList()->currentText(), QStringLiteral("一层柱3"));
    QCOMPARE(form()->zoneList()->count(), 12);
    QCOMPARE(form()->methodList()->currentText(), QStringLiteral("对测"));
    QCOMPARE(form()->fileList()->count(), 1);
    QCOMPARE(form()->fileList()->currentItem()->text(), QStringLiteral("result-3members-cecs2005.SHA"));
    QCOMPARE(frame_->rightForm()->timeField(0)->text(), QStringLiteral("87.60"));
    QCOMPARE(frame_->mainView()->shownPanels(), 3);
    QVERIFY(frame_->action(cmd::kSave)->isEnabled());
    QVERIFY(!model_->isModified());

    // Another member: its zones, zone 1.
    emit form()->memberList()->activated(2);
    QCOMPARE(form()->memberList()->currentText(), QStringLiteral("屋面板2"));
    QCOMPARE(form()->zoneList()->count(), 4);
    QCOMPARE(model_->doc().currentZone, 0);

    QVERIFY(opens(Sample("result-7point-cecs2020.SHA")));
    QCOMPARE(frame_->mainView()->shownPanels(), 7);
    QCOMPARE(form()->fileList()->count(), 2);
    QCOMPARE(form()->fileList()->item(0)->text(), QStringLiteral("result-7point-cecs2020.SHA"));
    // A double click in the opened-files list opens that file again.
    emit form()->fileList()->itemDoubleClicked(form()->fileList()->item(1));
    QCOMPARE(form()->memberList()->currentText(), QStringLiteral("一层柱3"));
    QCOMPARE(frame_->mainView()->shownPanels(), 3);
    const QString title = frame_->windowTitle();

    // A file that cannot be read: its message, the title stays, no data shown,
    // and nothing left to save at exit (edits of the file shown before were
    // given up by answering No).
    model_->setModified(true);
    prompter_.answers = {Prompter::Answer::No};
    QCOMPARE(frame_->openFile(dir_.filePath(QStringLiteral("missing.SHA"))), CMainFrame::OpenOutcome::Failed);
    QVERIFY(!model_->isModified());
    QVERIFY(frame_->confirmExit());
    QCOMPARE(prompter_.questions.size(), 1);
    QCOMPARE(prompter_.messages.size(), 1);
    QCOMPARE(frame_->windowTitle(), title);
    QVERIFY(!model_->hasFile());
    QVERIFY(!form()->siteField()->isEnabled());
    QCOMPARE(form()->memberList()->count(), 0);
    QCOMPARE(frame_->mainView()->shownPanels(), 3);
    QVERIFY(!frame_->action(cmd::kSave)->isEnabled());
    QVERIFY(!frame_->action(cmd::kNextZone)->isEnabled());
  }

  // Opens `path` the way `way` does; returns once the open has run.
  void openBy(Way way, const QString& path) {
    const int asked = prompter_.questions.size();
    const std::string before = model_->doc().pathName;
    switch (way) {
      case Way::OpenDialog:
        prompter_.openNames = {path};
        frame_->action(cmd::kOpen)->trigger();
        break;
      case Way::RecentFile:
        QCOMPARE(frame_->recentFiles().value(1), path);  // opened before
        frame_->action(cmd::kRecentFile1 + 1)->trigger();
        break;
      case Way::DroppedFile: {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        // As a drag does: the window accepts the entering drag, then the drop.
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(frame_.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(frame_.get(), &drop);
        break;
      }
      case Way::OpenedFilesList: {
        const QList<QListWidgetItem*> items =
            form()->fileList()->findItems(QFileInfo(path).fileName(), Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        emit form()->fileList()->itemDoubleClicked(items.constFirst());
        break;
      }
      case Way::SecondStart: {
        // The program started again with the file, as the file manager
        // starts it, hands the file over and ends.
        const QString config = dir_.filePath(QStringLiteral("config"));
        QVERIFY(QDir().mkpath(config));
        InstanceRelay relay(RelayName(config));
        QVERIFY(relay.listen());
        OpenHandedOverFiles(relay, *frame_);
        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KORVANE_CONFIG_DIR"), config);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        second.setProcessEnvironment(env);
        second.start(QStringLiteral(KORVANE_PROGRAM_PATH), {path});
        QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 30000);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        break;
      }
    }
    // A dropped or handed-over file opens once the event is over.
    QTRY_VERIFY(prompter_.questions.size() > asked || model_->doc().pathName != before);
  }

  // Every way of opening asks before unsaved edits go; Cancel keeps the
  // document with its edits, No opens the other file without saving.
  void everyWayOfOpeningAsksBeforeEditsGo_data() {
    QTest::addColumn<int>("wayIndex");
    QTest::newRow("open dialog") << static_cast<int>(Way::OpenDialog);
    QTest::newRow("recent file") << static_cast<int>(Way::RecentFile);
    QTest::newRow("dropped file") << static_cast<int>(Way::DroppedFile);
    QTest::newRow("opened-files list") << static_cast<int>(Way::OpenedFilesList);
    QTest::newRow("second start") << static_cast<int>(Way::SecondStart);
  }
  void everyWayOfOpeningAsksBeforeEditsGo() {
    QFETCH(int, wayIndex);
    const auto way = static_cast<Way>(wayIndex);
    const QString other =
        CopyPair(Sample("result-3members-cecs2005.SHA"), dir_.path(), QStringLiteral("other"));
    const QString edited =
        CopyPair(Sample("raw-1member-cecs2005.SHT"), dir_.path(), QStringLiteral("edited"));
    QVERIFY(opens(other));
    QVERIFY(opens(edited));
    const QByteArray onDisk = Bytes(edited);
    model_->pickArrival(0, 200);
    QVERIFY(model_->isModified());

    prompter_.answers = {Prompter::Answer::Cancel};
    openBy(way, other);
    QCOMPARE(prompter_.questions, QStringList{QStringLiteral("数据已经修改，是否保存")});
    QCOMPARE(PathKey(model_->doc().pathName), PathKey(edited));
    QVERIFY(model_->isModified());
    QCOMPARE(model_->doc().GetCurrentZone()->points[0]->arrivalIndex, 200);
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Korvane  1.1.220310 edited.SHT"));
    QCOMPARE(frame_->recentFiles().size(), 2);  // a kept document is no failed open
    QVERIFY(prompter_.saveTitles.isEmpty());

    prompter_.answers = {Prompter::Answer::No};
    openBy(way, other);
    QTRY_COMPARE(PathKey(model_->doc().pathName), PathKey(other));
    QCOMPARE(prompter_.questions.size(), 2);
    QVERIFY(!model_->isModified());
    QCOMPARE(form()->memberList()->count(), 3);
    QCOMPARE(Bytes(edited), onDisk);  // not saved
    QVERIFY(prompter_.messages.isEmpty());
  }

  // Yes: the exit prompt's save dialog (all data file types); the other file
  // opens only when the save was made.
  void openPromptYesSavesFirst() {
    const QString other =
        CopyPair(Sample("result-3members-cecs2005.SHA"), dir_.path(), QStringLiteral("other"));
    const QString edited =
        CopyPair(Sample("raw-1member-cecs2005.SHT"), dir_.path(), QStringLiteral("edited"));
    QVERIFY(opens(edited));
    model_->pickArrival(0, 200);

    // The dialog is cancelled, then the save fails and its dialog, opened
    // again, is cancelled: the edits stay shown.
    prompter_.answers = {Prompter::Answer::Yes, Prompter::Answer::Yes};
    prompter_.saveNames = {QString(), dir_.filePath(QStringLiteral("missing/saved.SHT"))};
    QCOMPARE(frame_->openFile(other), CMainFrame::OpenOutcome::Kept);
    QCOMPARE(frame_->openFile(other), CMainFrame::OpenOutcome::Kept);
    QCOMPARE(prompter_.filters, QStringList(3, QString::fromUtf8(kFilterSaveRaw)));
    QCOMPARE(PathKey(prompter_.saveInitialPaths.constFirst()), PathKey(edited));
    QCOMPARE(prompter_.messages.size(), 1);
    QVERIFY(prompter_.messages[0].startsWith(QStringLiteral("创建SHT/SHA文件失败！")));
    QCOMPARE(PathKey(model_->doc().pathName), PathKey(edited));
    QVERIFY(model_->isModified());

    // Saved under a bare name with the raw filter chosen: ".SHT" is added,
    // the edit is in the saved file, then the other file shows.
    prompter_.answers = {Prompter::Answer::Yes};
    prompter_.saveNames = {dir_.filePath(QStringLiteral("saved"))};
    QCOMPARE(frame_->openFile(other), CMainFrame::OpenOutcome::Opened);
    QCOMPARE(PathKey(model_->doc().pathName), PathKey(other));
    QCOMPARE(frame_->recentFiles().mid(0, 2),
             (QStringList{other, dir_.filePath(QStringLiteral("saved.SHT"))}));
    QVERIFY(opens(dir_.filePath(QStringLiteral("saved.SHT"))));
    QCOMPARE(model_->doc().GetCurrentZone()->points[0]->arrivalIndex, 200);
  }

  // Folder and file names in Chinese with blanks, through the open dialog
  // and save as, then read back (on Windows: wide names from the dialog to
  // the file system).
  void chineseNamesWithBlanksOpenAndSave() {
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("检测 数据")));
    const QDir folder(dir_.filePath(QStringLiteral("检测 数据")));
    const QString original =
        CopyPair(Sample("raw-1member-cecs2005.SHT"), folder.path(), QStringLiteral("综合楼 一层"));
    prompter_.openNames = {original};
    frame_->fileCommands()->onOpen();
    QCOMPARE(PathKey(model_->doc().pathName), PathKey(original));
    model_->pickArrival(0, 200);
    const QString copy = folder.filePath(QStringLiteral("综合楼 一层 复核.SHT"));
    prompter_.saveNames = {copy};
    frame_->fileCommands()->onSaveAs();
    QVERIFY2(prompter_.messages.isEmpty(), qPrintable(prompter_.messages.join(QLatin1Char('\n'))));
    QVERIFY(QFileInfo::exists(folder.filePath(QStringLiteral("综合楼 一层 复核.SHD"))));
    QVERIFY(opens(original));
    QVERIFY(opens(copy));
    QCOMPARE(model_->doc().GetCurrentZone()->points[0]->arrivalIndex, 200);
  }

  // Save as names the new file everywhere; the next save writes it and the
  // original stays as it was, byte for byte. A failed save as changes
  // nothing.
  void saveAsMovesTheDocumentToTheNewFile() {
    const QString original =
        CopyPair(Sample("raw-1member-cecs2005.SHT"), dir_.path(), QStringLiteral("field"));
    const QByteArray text = Bytes(original);
    const QByteArray wave = Bytes(dir_.filePath(QStringLiteral("field.SHD")));
    QVERIFY(opens(original));
    model_->pickArrival(0, 200);

    prompter_.saveNames = {dir_.filePath(QStringLiteral("copy.txt"))};
    frame_->fileCommands()->onSaveAs();
    QCOMPARE(prompter_.messages, QStringList{QStringLiteral("无法识别的文件类型")});
    QCOMPARE(PathKey(model_->doc().pathName), PathKey(original));
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Korvane  1.1.220310 field.SHT"));
    QVERIFY(model_->isModified());

    const QString copy = dir_.filePath(QStringLiteral("copy.SHT"));
    prompter_.saveNames = {dir_.filePath(QStringLiteral("copy"))};  // bare: the filter's extension
    frame_->fileCommands()->onSaveAs();
    QCOMPARE(prompter_.filters.last(), QString::fromUtf8(kFilterSaveRaw));
    QCOMPARE(PathKey(prompter_.saveInitialPaths.last()), PathKey(original));
    QCOMPARE(prompter_.messages.size(), 1);
    QCOMPARE(PathKey(model_->doc().pathName), PathKey(copy));
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Korvane  1.1.220310 copy.SHT"));
    QCOMPARE(frame_->recentFiles().mid(0, 2), (QStringList{copy, original}));
    QCOMPARE(form()->fileList()->item(0)->text(), QStringLiteral("copy.SHT"));
    QCOMPARE(form()->fileList()->currentItem()->text(), QStringLiteral("copy.SHT"));
    QVERIFY(!model_->isModified());

    model_->pickArrival(1, 210);
    frame_->action(cmd::kSave)->trigger();
    QVERIFY(!model_->isModified());
    QCOMPARE(Bytes(original), text);
    QCOMPARE(Bytes(dir_.filePath(QStringLiteral("field.SHD"))), wave);
    QVERIFY(opens(copy));
    QCOMPARE(model_->doc().GetCurrentZone()->points[0]->arrivalIndex, 200);
    QCOMPARE(model_->doc().GetCurrentZone()->points[1]->arrivalIndex, 210);
  }

  // 另存为 offers both kinds, the open file's first, so that a bare name
  // keeps its kind; a save refused opens the dialog again with the name
  // typed, until one is written or the dialog is cancelled.
  void saveAsOffersTheOpenFilesKindFirst() {
    const QString result =
        CopyPair(Sample("result-3members-cecs2005.SHA"), dir_.path(), QStringLiteral("zones"));
    QVERIFY(opens(result));
    const QString asRaw = dir_.filePath(QStringLiteral("zones-raw.SHT"));
    const QString unknown = dir_.filePath(QStringLiteral("zones.txt"));
    prompter_ = ScriptedPrompter();
    prompter_.saveNames = {asRaw, unknown, dir_.filePath(QStringLiteral("zones-copy"))};
    frame_->fileCommands()->onSaveAs();
    QCOMPARE(prompter_.filters, QStringList(3, QString::fromUtf8(kFilterSaveResult)));
    QCOMPARE(prompter_.messages.size(), 2);
    QVERIFY2(prompter_.messages[0].startsWith(QStringLiteral("无法保存：原始文件（.SHT）只能保存一个构件")),
             qPrintable(prompter_.messages[0]));
    QCOMPARE(prompter_.messages[1], QStringLiteral("无法识别的文件类型"));
    QCOMPARE(PathKey(prompter_.saveInitialPaths[1]), PathKey(asRaw));
    QCOMPARE(PathKey(prompter_.saveInitialPaths[2]), PathKey(unknown));
    QVERIFY(!QFileInfo::exists(asRaw));
    QCOMPARE(PathKey(model_->doc().pathName), PathKey(dir_.filePath(QStringLiteral("zones-copy.SHA"))));
    QVERIFY(QFileInfo::exists(dir_.filePath(QStringLiteral("zones-copy.SHA"))));

    // A raw file's dialog offers raw first; the open dialog both at once.
    const QString raw = CopyPair(Sample("raw-1member-cecs2005.SHT"), dir_.path(), QStringLiteral("field"));
    QVERIFY(opens(raw));
    prompter_ = ScriptedPrompter();
    frame_->fileCommands()->onSaveAs();
    frame_->fileCommands()->onOpen();
    QCOMPARE(prompter_.filters,
             (QStringList{QString::fromUtf8(kFilterSaveRaw), QString::fromUtf8(kFilterOpen)}));
    QVERIFY(
        QtNameFilters(prompter_.filters.last()).constFirst().contains(QStringLiteral("*.SHT *.sht *.SHA")));
  }

  // A bare name gets the extension of the filter chosen; a name with an
  // extension keeps it; "所有文件" adds none.
  void saveDialogsAddTheChosenFiltersExtension() {
    struct Case {
      const char* typed;
      int filter;
      const char* written;  // nullptr: refused as an unknown type
    };
    const Case cases[] = {
        {"a", 0, "a.SHT"},
        {"b", 1, "b.SHA"},
        {"c.sha", 0, "c.sha"},
        {"d", 2, nullptr},
    };
    const QString original =
        CopyPair(Sample("raw-1member-cecs2005.SHT"), dir_.path(), QStringLiteral("field"));
    for (const Case& c : cases) {
      QVERIFY(opens(original));
      model_->setModified(true);
      prompter_ = ScriptedPrompter();
      prompter_.answers = {Prompter::Answer::Yes};
      prompter_.saveNames = {dir_.filePath(QString::fromUtf8(c.typed))};
      prompter_.saveFilters = {c.filter};
      QCOMPARE(frame_->confirmExit(), c.written != nullptr);  // the exit prompt's dialog
      if (c.written == nullptr) {
        QCOMPARE(prompter_.messages, QStringList{QStringLiteral("无法识别的文件类型")});
        continue;
      }
      QVERIFY2(QFileInfo::exists(dir_.filePath(QString::fromUtf8(c.written))), c.typed);
      QVERIFY(prompter_.messages.isEmpty());
    }
  }

  // A result file written after a pick on the main screen stores the FCUI
  // that the command-line tool's evaluate computes from it.
  void savedStrengthsAreThoseOfTheSavedData() {
    const QString path =
        CopyPair(Sample("result-3members-cecs2005.SHA"), dir_.path(), QStringLiteral("zones"));
    QVERIFY(opens(path));
    const float stale = model_->doc().GetCurrentZone()->strengthValue;
    model_->pickArrival(0, model_->doc().GetCurrentZone()->points[0]->arrivalIndex - 40);
    model_->pickArrival(1, model_->doc().GetCurrentZone()->points[1]->arrivalIndex - 40);
    frame_->fileCommands()->onSave();
    QVERIFY(prompter_.messages.isEmpty());

    QProcess cli;
    cli.start(QStringLiteral(KORVANE_CLI_PATH), {QStringLiteral("evaluate"), path, QStringLiteral("--json")});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    const QJsonObject evaluated = QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
    CKorvaneDoc stored;  // the file's values as read, not recomputed
    stored.OnOpenDocument(ToFsPath(path));
    const QJsonArray members = evaluated[QStringLiteral("members")].toArray();
    QCOMPARE(members.size(), stored.memberCount);
    for (int m = 0; m < stored.memberCount; ++m) {
      const QJsonArray zones = members[m].toObject()[QStringLiteral("zones")].toArray();
      QCOMPARE(zones.size(), stored.ZoneCount(m));
      for (int z = 0; z < stored.ZoneCount(m); ++z) {
        const double fcu = zones[z].toObject()[QStringLiteral("strengthValue")].toDouble();
        QCOMPARE(QString::fromStdString(korvane::FormatFixed(fcu, 1)),
                 QString::fromStdString(korvane::FormatFixed(stored.Zone(m, z)->strengthValue, 1)));
      }
    }
    QVERIFY(std::abs(stored.Zone(0, 0)->strengthValue - stale) > 1.0f);
    const double fcue = evaluated[QStringLiteral("result")].toObject()[QStringLiteral("fcue")].toDouble();
    QCOMPARE(QString::fromStdString(korvane::FormatFixed(fcue, 1)),
             QString::fromStdString(korvane::FormatFixed(stored.result.fcue, 1)));
  }

  void recentFilesKeepFourAndDropWhatFailsToOpen() {
    QStringList copies;
    for (int i = 0; i < 5; ++i) {
      copies << CopyPair(Sample("raw-1member-cecs2005.SHT"), dir_.path(), QStringLiteral("copy%1").arg(i));
      QVERIFY(opens(copies.last()));
    }
    QCOMPARE(frame_->recentFiles(), (QStringList{copies[4], copies[3], copies[2], copies[1]}));
    const QString entry = frame_->action(cmd::kRecentFile1 + 1)->text();
    QVERIFY2(entry.startsWith(QStringLiteral("&2 ")) && entry.endsWith(QStringLiteral("copy3.SHT")),
             qPrintable(entry));

    // The list survives a restart of the frame.
    makeFrame();
    QCOMPARE(frame_->recentFiles().size(), 4);

    // An entry whose file is gone: its message, and it leaves the list.
    QFile::remove(copies[3]);
    frame_->action(cmd::kRecentFile1 + 1)->trigger();
    QCOMPARE(prompter_.messages.size(), 1);
    QCOMPARE(frame_->recentFiles(), (QStringList{copies[4], copies[2], copies[1]}));
    frame_->action(cmd::kRecentFile1 + 2)->trigger();  // copies[1]
    QCOMPARE(PathKey(model_->doc().pathName), PathKey(copies[1]));
    QCOMPARE(frame_->recentFiles().constFirst(), copies[1]);
  }

  void saveResultsShowsTheWrittenFile() {
    const QString raw = CopyPair(Sample("raw-1member-cecs2005.SHT"), dir_.path(), QStringLiteral("field"));
    QVERIFY(opens(raw));
    const QString result = dir_.filePath(QStringLiteral("结果.SHA"));
    prompter_.saveNames = {result};
    frame_->fileCommands()->onSaveResults();
    QVERIFY(prompter_.messages.isEmpty());
    // "field.SHA" would take the raw file's field.SHD: a free name instead.
    QCOMPARE(PathKey(prompter_.saveInitialPaths.last()), PathKey(dir_.filePath(QStringLiteral("field(2)"))));
    QCOMPARE(prompter_.suffixes.last(), QStringLiteral("SHA"));
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Korvane  1.1.220310 结果.SHA"));
    QCOMPARE(PathKey(model_->doc().pathName), PathKey(result));
    QCOMPARE(form()->fileList()->item(0)->text(), QStringLiteral("结果.SHA"));
    QCOMPARE(form()->zoneList()->count(), 10);
  }

  // x.SHT and x.SHA share x.SHD: no save dialog takes the waveform file of
  // another data file without asking. 是 overwrites, 否 opens the dialog
  // again with a free name, 取消 writes nothing.
  void saveDialogsAskBeforeTakingAnotherFilesWaveforms() {
    const QString raw = CopyPair(Sample("raw-1member-cecs2005.SHT"), dir_.path(), QStringLiteral("field"));
    const QString rawWave = dir_.filePath(QStringLiteral("field.SHD"));
    const QByteArray wave = Bytes(rawWave);
    QVERIFY(opens(raw));
    const QString question =
        QStringLiteral(
            "%1 是 %2 的波形文件，保存 %3 会覆盖它，%2 将不能正确打开。\n是否仍然保存？（选“否”另选文件名）")
            .arg(QDir::toNativeSeparators(rawWave), QDir::toNativeSeparators(raw),
                 QDir::toNativeSeparators(dir_.filePath(QStringLiteral("field.SHA"))));

    // Save results: the name typed anyway is asked about; 否, then the free
    // name proposed.
    prompter_.saveNames = {dir_.filePath(QStringLiteral("field")),
                           dir_.filePath(QStringLiteral("field(2).SHA"))};
    prompter_.answers = {Prompter::Answer::No};
    frame_->fileCommands()->onSaveResults();
    QCOMPARE(prompter_.questions, QStringList{question});
    QCOMPARE(PathKeys(prompter_.saveInitialPaths), PathKeys({dir_.filePath(QStringLiteral("field(2)")),
                                                             dir_.filePath(QStringLiteral("field(2).SHA"))}));
    QCOMPARE(PathKey(model_->doc().pathName), PathKey(dir_.filePath(QStringLiteral("field(2).SHA"))));
    QCOMPARE(Bytes(rawWave), wave);

    // Save as over it: 取消 writes nothing.
    prompter_ = ScriptedPrompter();
    prompter_.saveNames = {dir_.filePath(QStringLiteral("field.SHA"))};
    prompter_.answers = {Prompter::Answer::Cancel};
    frame_->fileCommands()->onSaveAs();
    QCOMPARE(prompter_.questions, QStringList{question});
    QVERIFY(!QFileInfo::exists(dir_.filePath(QStringLiteral("field.SHA"))));
    QCOMPARE(Bytes(rawWave), wave);

    // The merge dialog: 是 writes there.
    CDlgcombine dialog(&prompter_);
    dialog.addFiles({raw});
    prompter_.saveNames = {dir_.filePath(QStringLiteral("field.SHA"))};
    prompter_.answers = {Prompter::Answer::Yes};
    dialog.mergeFiles();
    QCOMPARE(prompter_.questions, QStringList(2, question));
    QVERIFY(QFileInfo::exists(dir_.filePath(QStringLiteral("field.SHA"))));

    // 保存 of the raw file now that field.SHA reads field.SHD too: asked;
    // 否 saves under a free name.
    QVERIFY(opens(raw));
    model_->pickArrival(0, 200);
    prompter_ = ScriptedPrompter();
    prompter_.answers = {Prompter::Answer::No};
    prompter_.saveNames = {dir_.filePath(QStringLiteral("field(3).SHT"))};
    frame_->fileCommands()->onSave();
    QCOMPARE(prompter_.questions.size(), 1);
    QVERIFY(prompter_.questions[0].startsWith(
        QDir::toNativeSeparators(rawWave) + QStringLiteral(" 是 ") +
        QDir::toNativeSeparators(dir_.filePath(QStringLiteral("field.SHA")))));
    QCOMPARE(PathKeys(prompter_.saveInitialPaths), PathKeys({dir_.filePath(QStringLiteral("field(3).SHT"))}));
    QCOMPARE(PathKey(model_->doc().pathName), PathKey(dir_.filePath(QStringLiteral("field(3).SHT"))));
    QVERIFY(!model_->isModified());
  }

  void exitYesSavesThenCloses() {
    const QString raw = CopyPair(Sample("raw-1member-cecs2005.SHT"), dir_.path(), QStringLiteral("exit"));
    QVERIFY(opens(raw));
    model_->pickArrival(0, 200);
    QVERIFY(model_->isModified());
    const QString saved = dir_.filePath(QStringLiteral("saved.SHT"));
    prompter_.answers = {Prompter::Answer::Yes};
    prompter_.saveNames = {saved};
    QVERIFY(frame_->confirmExit());
    QVERIFY(QFileInfo::exists(saved));
    QVERIFY(!model_->isModified());

    // The saved file holds the moved arrival.
    QVERIFY(opens(saved));
    QCOMPARE(model_->doc().GetCurrentZone()->points[0]->arrivalIndex, 200);
  }

  void mergeWritesOneFileOrNamesTheFileThatFails() {
    CDlgcombine dialog(&prompter_);
    dialog.addFiles({Sample("raw-1member-cecs2005.SHT"), Sample("result-3members-cecs2005.SHA")});
    const QString merged = dir_.filePath(QStringLiteral("merged.SHA"));
    prompter_.saveNames = {merged};
    dialog.mergeFiles();
    QVERIFY2(prompter_.messages.isEmpty(), qPrintable(prompter_.messages.join(QLatin1Char('\n'))));
    QCOMPARE(dialog.fileList()->count(), 0);
    QVERIFY(!dialog.mergeButton()->isEnabled());
    QVERIFY(opens(merged));
    QCOMPARE(form()->memberList()->count(), 4);

    // Points per zone differ: the message names the file, nothing is written,
    // the rows stay.
    const QString seven = Sample("result-7point-cecs2020.SHA");
    dialog.addFiles({Sample("raw-1member-cecs2005.SHT"), seven});
    prompter_.saveNames = {dir_.filePath(QStringLiteral("never.SHA"))};
    dialog.mergeFiles();
    QCOMPARE(prompter_.messages.size(), 1);
    QVERIFY(prompter_.messages[0].startsWith(QStringLiteral("读取文件")));
    QVERIFY(prompter_.messages[0].contains(QStringLiteral("当前文件的测点数与前面的文件不相同")));
    QCOMPARE(dialog.fileList()->count(), 2);
    QVERIFY(!QFileInfo::exists(dir_.filePath(QStringLiteral("never.SHA"))));
  }

  // A file of another standard would be recomputed: the dialog asks, naming
  // the members whose estimates change; 否 writes nothing, 是 merges.
  void mergeAsksBeforeItChangesStrengths() {
    auto other = MakeWaveformDoc(1, 3);
    other->SetStandard(Standard::CECS02_2020);
    const QString otherPath = dir_.filePath(QStringLiteral("other.SHA"));
    other->OnSaveDocument(ToFsPath(otherPath));
    const QString raw = Sample("raw-1member-cecs2005.SHT");
    CDlgcombine dialog(&prompter_);
    const QString merged = dir_.filePath(QStringLiteral("consented.SHA"));
    for (Prompter::Answer answer : {Prompter::Answer::No, Prompter::Answer::Yes}) {
      prompter_ = ScriptedPrompter();
      prompter_.answers = {answer};
      prompter_.saveNames = {merged};
      dialog.addFiles({raw, otherPath});
      dialog.mergeFiles();
      QVERIFY2(prompter_.messages.isEmpty(), qPrintable(prompter_.messages.join(QLatin1Char('\n'))));
      QCOMPARE(prompter_.questions.size(), 1);
      QVERIFY2(prompter_.questions[0].contains(QStringLiteral("other.SHA 的检测规范与第一个文件不同")),
               qPrintable(prompter_.questions[0]));
      QVERIFY(prompter_.questions[0].endsWith(QStringLiteral("是否仍然合并？")));
      QCOMPARE(QFileInfo::exists(merged), answer == Prompter::Answer::Yes);
    }
  }

  // A long export's window offers "取消"; once pressed, the writer's next
  // call of the progress stops it. A save's window has no such button.
  void longExportsCanBeCancelled() {
    QWidget window;
    window.show();
    for (const bool cancellable : {true, false}) {
      bool cancelled = false;
      SaveProgress progress(
          &window, QStringLiteral("正在导出原始数据…"),
          cancellable ? std::function<void()>([&cancelled] { cancelled = true; }) : std::function<void()>());
      const WriteProgress callback = progress.callback();
      callback(0, 10);  // too soon: no window
      QVERIFY(window.findChild<QProgressDialog*>() == nullptr);
      QTest::qWait(450);
      callback(1, 10);
      auto* dialog = window.findChild<QProgressDialog*>();
      QVERIFY(dialog != nullptr);
      QPushButton* button = dialog->findChild<QPushButton*>();
      QCOMPARE(button != nullptr, cancellable);
      if (!cancellable) continue;
      QCOMPARE(button->text(), QStringLiteral("取消"));
      QTest::mouseClick(button, Qt::LeftButton);
      QVERIFY(!cancelled);
      callback(2, 10);
      QVERIFY(cancelled);
    }
  }
};

int RunFileCommandsTests(int argc, char** argv) {
  FileCommandsTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace korvane::gui::test

#include "file_commands_test.moc"
