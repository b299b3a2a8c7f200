// Undo and redo through the frame's "编辑" commands: every kind of edit, made
// through the widgets of the screen that offers it, is one step whose undo
// gives back every value of the document and every text and picture of
// both screens, and whose redo gives the edited state back; the modified
// flag over save and undo; Ctrl+Z in a text field; "自动判读首波".
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>
#include <functional>
#include <memory>

#include "core/app/arrival_suggestion.h"
#include "core/app/document_edits.h"
#include "core/forms/rebound_table_layout.h"
#include "core/forms/zone_grid_layout.h"
#include "core/standards/standards.h"
#include "core/wave/waveform_axes.h"
#include "gui/analysis_screen/analysis_form.h"
#include "gui/analysis_screen/waveform_view.h"
#include "gui/analysis_screen/zone_tables_view.h"
#include "gui/commands.h"
#include "gui/dialogs/core_correction_dialog.h"
#include "gui/dialogs/correction_table_dialogs.h"
#include "gui/dialogs/filter_dialog.h"
#include "gui/dialogs/strength_curve_dialog.h"
#include "gui/dialogs/test_parameters_dialog.h"
#include "gui/document/document_model.h"
#include "gui/main_frame.h"
#include "gui/main_screen/point_panels_view.h"
#include "gui/main_screen/project_bar.h"
#include "gui/main_screen/zone_points_form.h"
#include "gui/widgets/grid_ctrl.h"
#include "gui/widgets/point_panel.h"
#include "gui_test_support.h"
#include "support/document_dump.h"

namespace korvane::gui::test {

using korvane::testing::DumpDocument;
using korvane::testing::MakeEditingDoc;
using Screen = CMainFrame::Screen;

namespace {

// Records, while the suggestion is asked about, what the panels show.
class SuggestionPrompter : public ScriptedPrompter {
 public:
  bool acceptSuggestion(QWidget* parent, const QString& text) override {
    if (onAsk) onAsk();
    return ScriptedPrompter::acceptSuggestion(parent, text);
  }
  std::function<void()> onAsk;
};

// Pixels of the suggested line's blue in a picture.
int BluePixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) == QColor(0, 70, 230)) ++count;
  return count;
}

// The first line where two document dumps differ, for the failure message.
QString FirstDifference(const std::string& got, const std::string& want) {
  const QStringList a = QString::fromStdString(got).split(QLatin1Char('\n'));
  const QStringList b = QString::fromStdString(want).split(QLatin1Char('\n'));
  for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
    if (a[i] != b[i]) return QStringLiteral("line %1: %2 | expected %3").arg(i).arg(a[i], b[i]);
  return QStringLiteral("lengths %1 and %2").arg(a.size()).arg(b.size());
}

// The first entry where two lists of screen contents differ.
QString FirstDifference(const QStringList& got, const QStringList& want) {
  for (qsizetype i = 0; i < std::min(got.size(), want.size()); ++i)
    if (got[i] != want[i]) return QStringLiteral("entry %1: %2 | expected %3").arg(i).arg(got[i], want[i]);
  return got.size() == want.size() ? QString() : QStringLiteral("sizes differ");
}

QString Sample(const char* name) {
  return QDir(QStringLiteral(KORVANE_SAMPLES_DIR)).filePath(QString::fromUtf8(name));
}

}  // namespace

class UndoTest : public QObject, protected WindowFixture<SuggestionPrompter> {
  Q_OBJECT

 private:
  // A shown frame over MakeEditingDoc(standard) with point 3 of zone 1 of
  // member 1 flat (its suggestion has low confidence); on the analysis
  // screen after "输出".
  void openFrame(Screen screen, Standard standard = Standard::CECS02_2005) {
    frame_.reset();
    auto doc = MakeEditingDoc(standard);
    MeasuringPoint& flat = *doc->Zone(0, 0)->points[2];
    flat.samples = SampleBuffer(std::vector<std::uint16_t>(flat.samples.size(), 2048));
    if (!flat.unfilteredSamples.empty()) flat.unfilteredSamples = flat.samples;
    makeFrame(std::move(doc), CMainFrame::UiSettings::ReadOnly);
    showFrame();
    if (screen == Screen::Analysis) frame_->onOutput();
    QCOMPARE(frame_->screen(), screen);
    QCoreApplication::processEvents();
  }

  CMainForm* form() { return frame_->mainForm(); }
  FormviewAna* anaForm() { return frame_->analysisForm(); }
  CGridCtrl* rebound() { return frame_->downView()->grid(); }
  CGridCtrl* zoneGrid() { return frame_->analysisView()->zoneGrid(); }
  QAction* undoAction() { return frame_->action(cmd::kUndo); }
  QAction* redoAction() { return frame_->action(cmd::kRedo); }

  static void choose(CGridCtrl* grid, int row, int column, int entry) {
    QVERIFY(grid->editCell(row, column));
    auto* list = qobject_cast<QComboBox*>(grid->tableView()->indexWidget(grid->tableView()->currentIndex()));
    QVERIFY(list != nullptr);
    list->setCurrentIndex(entry);
    emit list->activated(entry);
    QCoreApplication::processEvents();
  }
  static void choose(QComboBox* list, int entry) {
    list->setCurrentIndex(entry);
    emit list->activated(entry);
  }
  static void rename(QComboBox* members, const QString& name) {
    members->lineEdit()->setText(name);
    QTest::keyClick(members->lineEdit(), Qt::Key_Return);
  }
  // A click on the waveform of the screen shown at sample 200 of the
  // current point (main screen: point panel 2).
  void clickWaveform() {
    const Member& member = doc().members[static_cast<std::size_t>(doc().currentMember)];
    if (frame_->screen() == Screen::Main) {
      CNodeCtrl* panel = frame_->mainView()->panel(1);
      const float sx = PanelTimeScale(panel->areaWidth(), member.sampleCount, member.sampleInterval);
      QTest::mouseClick(panel, Qt::LeftButton, {},
                        QPoint(kPanelLeftMargin + static_cast<int>(200 * member.sampleInterval * sx), 40));
      return;
    }
    CAnalysisView* view = frame_->analysisView();
    const ViewRect panel = view->geometryNow().panel;
    const float sx = PanelTimeScale(panel.width, member.sampleCount, member.sampleInterval);
    const int x = kPanelLeftMargin + static_cast<int>(200 * member.sampleInterval * sx + 0.5f);
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(panel.x + x, panel.y + panel.height / 2));
  }

  static QString cells(const CGridCtrl* grid) {
    QStringList out;
    for (int r = 0; r < grid->rowCount(); ++r)
      for (int c = 0; c < grid->columnCount(); ++c) out << grid->itemText(r, c);
    return out.join(QLatin1Char('|'));
  }
  // A hidden grid is built when its screen is shown: what it will show.
  static QString cells(const GridLayout& layout) {
    QStringList out;
    for (const GridCell& cell : layout.cells) out << QString::fromStdString(cell.text);
    return out.join(QLatin1Char('|'));
  }
  static QString items(const QComboBox* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->itemText(i);
    return out.join(QLatin1Char(',')) + QLatin1Char('@') + list->currentText();
  }
  static QString picture(QWidget* widget, const QRect& area = QRect(QPoint(0, 0), QSize(-1, -1))) {
    const QImage image = widget->grab(area).toImage();
    return QString::fromLatin1(
        QCryptographicHash::hash(
            QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()),
            QCryptographicHash::Md5)
            .toHex());
  }
  // Everything both screens show (texts, lists, grid cells, the status
  // note) and the pictures of the screen shown.
  QStringList screens() {
    QCoreApplication::processEvents();
    QStringList out;
    CMainForm* f = form();
    for (QLineEdit* e : {f->siteField(), f->unitField(), f->personField(), f->betaField(), f->lambdaField(),
                         f->velocityField(), f->correctedVelocityField()})
      out << e->text();
    for (int slot = 0; slot < kMaxPoints; ++slot) {
      out << f->pointVelocityField(slot)->text();
      MainFormRight* r = frame_->rightForm();
      for (QLineEdit* e : {r->timeField(slot), r->amplitudeField(slot), r->distanceField(slot)})
        out << e->text();
    }
    out << f->castingDateField()->text() << f->testDateField()->text();
    for (QComboBox* list : {f->memberList(), f->zoneList(), f->methodList(), f->locationList()})
      out << items(list);
    anaForm()->refresh();
    for (QComboBox* list : {anaForm()->standardList(), anaForm()->aggregateList(), anaForm()->memberList()})
      out << items(list);
    for (int i = 0; i < 4; ++i) out << anaForm()->coefficientField(i)->text();
    out << anaForm()->etaField()->text() << anaForm()->deltaTotField()->text()
        << anaForm()->siteField()->text() << (anaForm()->pumpedBox()->isChecked() ? "pumped" : "not pumped");
    for (int i = 0; i < 9; ++i) out << anaForm()->resultText(i);
    if (frame_->screen() == Screen::Analysis) {
      out << cells(zoneGrid()) << cells(rebound());
    } else {
      const CKorvaneDoc& d = doc();
      out << cells(ZoneGridLayout(d, d.currentMember, zoneGrid()->usableWidth()))
          << cells(ReboundTableLayout(d, d.currentMember, rebound()->usableWidth()));
    }
    out << frame_->arrivalNote()->text();
    if (frame_->screen() == Screen::Main) {
      // The panels as drawn, without the keyboard's frame (no data).
      for (int slot = 0; slot < 3; ++slot) {
        frame_->mainView()->panel(slot)->clearFocus();
        out << picture(frame_->mainView()->panel(slot));
      }
    } else {
      // The waveform and its reading strip (the grid below is compared by
      // its cells; its selection is no data, nor is the keyboard's frame).
      frame_->analysisView()->clearFocus();
      const WaveformViewGeometry g = frame_->analysisView()->geometryNow();
      out << picture(frame_->analysisView(),
                     QRect(g.panel.x, g.panel.y, g.panel.width, g.panel.height)
                         .united(QRect(g.strip.x, g.strip.y, g.strip.width, g.strip.height)));
    }
    return out;
  }

  struct Case {
    const char* name;  // the step's name in 撤销 and 重做
    Screen screen;
    std::function<void()> edit;
    std::function<void()> setup = nullptr;
    Standard standard = Standard::CECS02_2005;
  };

  std::vector<Case> cases() {
    const ReboundColumns c = ReboundTableColumns(16);
    const int zone0 = ReboundZoneRow(0);
    return {
        // ---- Main screen ----
        {"拾取首波", Screen::Main, [this] { clickWaveform(); }},
        {"修改测距", Screen::Main,
         [this] { EnterText(frame_->rightForm()->distanceField(2), QStringLiteral("250")); }},
        {"修改β修正值", Screen::Main, [this] { EnterText(form()->betaField(), QStringLiteral("1.2")); },
         [this] { choose(form()->methodList(), static_cast<int>(TestMethod::Direct)); }},
        {"修改λ修正值", Screen::Main, [this] { EnterText(form()->lambdaField(), QStringLiteral("0.9")); }},
        {"修改测试方式", Screen::Main,
         [this] { choose(form()->methodList(), static_cast<int>(TestMethod::Direct)); }},
        {"修改测试位置", Screen::Main,
         [this] {
           QComboBox* list = form()->locationList();
           choose(list, list->currentIndex() == 0 ? 1 : 0);
         }},
        {"修改构件名称", Screen::Main, [this] { rename(form()->memberList(), QStringLiteral("柱一")); }},
        {"修改工程名称", Screen::Main,
         [this] {
           form()->siteField()->setFocus();
           QTest::keyClicks(form()->siteField(), QStringLiteral("B7-2"));
         }},
        {"修改浇注日期", Screen::Main, [this] { form()->castingDateField()->setDate(QDate(2023, 1, 9)); }},
        {"滤波", Screen::Main,
         [this] {
           CDlgFilter dialog(model_.get(), &prompter_, frame_.get());
           dialog.lowPassCheck()->setChecked(true);
           EnterText(dialog.lowPassEdit(), QStringLiteral("100"));
           dialog.okButton()->click();
         }},
        {"修改检测参数", Screen::Main,
         [this] {
           TestPara dialog(model_.get(), &prompter_, 0, frame_.get());
           dialog.gainField()->setText(QStringLiteral("8"));
           dialog.accept();
         }},
        {"自动判读首波", Screen::Main,
         [this] {
           prompter_.answers = {Prompter::Answer::Yes};
           frame_->action(cmd::kSuggestArrivals)->trigger();
         }},
        // ---- Analysis screen ----
        {"拾取首波", Screen::Analysis, [this] { clickWaveform(); }},
        {"修改测距", Screen::Analysis,
         [this] { TypeIntoCell(zoneGrid(), 1, ZoneGridDistanceColumn(1), QStringLiteral("321")); },
         // The click into the cell shows the point (not a step).
         [this] { model_->selectPoint(1); }},
        {"修改回弹值", Screen::Analysis,
         [this] {
           const GridPosition at = ReboundReadingPosition(0, 5);
           TypeIntoCellAndLeave(rebound(), at.row, at.column, QStringLiteral("60"));
         }},
        {"修改回弹代表值", Screen::Analysis,
         [=, this] { TypeIntoCellAndLeave(rebound(), zone0, c.rebound, QStringLiteral("41.5")); }},
        {"修改碳化深度", Screen::Analysis,
         [=, this] { TypeIntoCellAndLeave(rebound(), zone0, c.carbonation, QStringLiteral("3.25")); }},
        {"修改回弹角度", Screen::Analysis, [=, this] { choose(rebound(), zone0, c.angle, 1); }},
        {"修改测试面", Screen::Analysis, [=, this] { choose(rebound(), zone0, c.surface, 2); }},
        {"修改系数a", Screen::Analysis,
         [this] { EnterText(anaForm()->coefficientField(0), QStringLiteral("0.03")); }},
        {"修改粗骨料", Screen::Analysis, [this] { choose(anaForm()->aggregateList(), 1); }},
        {"修改强度修正系数η", Screen::Analysis,
         [this] { EnterText(anaForm()->etaField(), QStringLiteral("1.2")); }},
        {"修改强度修正量Δtot", Screen::Analysis,
         [this] { EnterText(anaForm()->deltaTotField(), QStringLiteral("4.5")); }, nullptr,
         Standard::CECS02_2020},
        {"修改泵送", Screen::Analysis, [this] { anaForm()->pumpedBox()->click(); }, nullptr,
         Standard::CECS02_2020},
        {"切换规范", Screen::Analysis,
         [this] { choose(anaForm()->standardList(), IndexOf(Standard::TB10426_2004)); }},
        {"修改构件名称", Screen::Analysis,
         [this] { rename(anaForm()->memberList(), QStringLiteral("柱一")); }},
        {"修改工程名称", Screen::Analysis,
         [this] {
           anaForm()->siteField()->setFocus();
           QTest::keyClicks(anaForm()->siteField(), QStringLiteral("B7"));
         }},
        {"修改角度修正表", Screen::Analysis,
         [this] {
           CDlgAngle dialog(model_.get(), &prompter_, frame_.get());
           dialog.grid()->setItemText(3, 1, QStringLiteral("-9.9"));
           dialog.okButton()->click();
         }},
        {"恢复测试面修正表默认值", Screen::Analysis,
         [this] {
           CDlgPlane dialog(model_.get(), &prompter_, frame_.get());
           dialog.defaultsButton()->click();
           dialog.cancelButton()->click();
         },
         [this] {
           CDlgPlane dialog(model_.get(), &prompter_, frame_.get());
           dialog.grid()->setItemText(3, 1, QStringLiteral("2.5"));
           dialog.okButton()->click();
         }},
        {"用作自定义系数", Screen::Analysis,
         [this] {
           StrengthCurveDialog dialog(model_.get(), &prompter_, frame_.get());
           dialog.load(QDir(QStringLiteral(KORVANE_SAMPLES_DIR)).filePath(QStringLiteral("cubes.csv")));
           dialog.allMembersCheck()->setChecked(true);
           dialog.useButton()->click();
         }},
        {"钻芯修正", Screen::Analysis,
         [this] {
           CoreCorrectionDialog dialog(model_.get(), &prompter_, frame_.get());
           for (const char* fcor : {"71.5", "70", "66.25"}) {
             dialog.addButton()->click();
             dialog.typeStrength(dialog.table()->rowCount() - 1, QString::fromUtf8(fcor));
           }
           dialog.applyButton()->click();
           QCOMPARE(prompter_.messages.size(), 1);  // the warning about three cores
           prompter_.messages.clear();
         }},
        {"自动判读首波（全部测区）", Screen::Analysis,
         [this] {
           prompter_.answers = {Prompter::Answer::Yes};
           frame_->action(cmd::kSuggestArrivalsAllZones)->trigger();
         }},
    };
  }

 private slots:
  void cleanup() { resetFrame(); }

  // Each kind of edit: one step named in 撤销 and 重做; undo gives back the
  // document and both screens exactly, not modified; redo the edited ones.
  void everyEditIsOneStepBackAndForth() {
    for (const Case& c : cases()) {
      const QString where = QStringLiteral("%1 (%2)").arg(QString::fromUtf8(c.name),
                                                          c.screen == Screen::Main ? "main" : "analysis");
      openFrame(c.screen, c.standard);
      if (c.setup) c.setup();
      model_->setModified(false);
      const int steps = model_->undoStack()->count();
      const std::string before = DumpDocument(doc());
      const QStringList shownBefore = screens();

      c.edit();
      const std::string after = DumpDocument(doc());
      const QStringList shownAfter = screens();
      QVERIFY2(after != before, qPrintable(where));
      QVERIFY2(model_->isModified(), qPrintable(where));
      QCOMPARE(model_->undoStack()->count(), steps + 1);
      QCOMPARE(undoAction()->text(), QStringLiteral("撤销 ") + QString::fromUtf8(c.name));
      QVERIFY2(undoAction()->isEnabled(), qPrintable(where));
      QVERIFY2(!redoAction()->isEnabled(), qPrintable(where));

      undoAction()->trigger();
      QVERIFY2(DumpDocument(doc()) == before,
               qPrintable(where + FirstDifference(DumpDocument(doc()), before)));
      const QStringList undone = screens();
      QVERIFY2(undone == shownBefore, qPrintable(where + FirstDifference(undone, shownBefore)));
      QVERIFY2(!model_->isModified(), qPrintable(where));
      QCOMPARE(redoAction()->text(), QStringLiteral("重做 ") + QString::fromUtf8(c.name));

      redoAction()->trigger();
      QVERIFY2(DumpDocument(doc()) == after, qPrintable(where + FirstDifference(DumpDocument(doc()), after)));
      const QStringList redone = screens();
      QVERIFY2(redone == shownAfter, qPrintable(where + FirstDifference(redone, shownAfter)));
      QVERIFY2(model_->isModified(), qPrintable(where));
      QVERIFY2(!redoAction()->isEnabled(), qPrintable(where));
      QCOMPARE(redoAction()->text(), QStringLiteral("重做"));
    }
  }

  // The menus "编辑" of both screens and their toolbar buttons beside save.
  void commandsOfBothScreens() {
    openFrame(Screen::Main);
    for (Screen s : {Screen::Main, Screen::Analysis}) {
      QAction* undo = frame_->action(s, cmd::kUndo);
      QAction* redo = frame_->action(s, cmd::kRedo);
      QCOMPARE(frame_->menus(s)[1]->title(), QStringLiteral("编辑(&E)"));
      QCOMPARE(frame_->menus(s)[1]->actions(), (QList<QAction*>{undo, redo}));
      QCOMPARE(undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
      QCOMPARE(redo->shortcuts(), (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Y")),
                                                       QKeySequence(QStringLiteral("Ctrl+Shift+Z"))}));
      QToolBar* bar = s == Screen::Main ? frame_->mainToolBar() : frame_->analysisToolBar();
      const QList<QAction*> buttons = bar->actions();
      const qsizetype save = buttons.indexOf(frame_->action(s, cmd::kSave));
      QCOMPARE(buttons.indexOf(undo), save + 1);
      QCOMPARE(buttons.indexOf(redo), save + 2);
      QVERIFY(!undo->isEnabled());
      QCOMPARE(undo->text(), QStringLiteral("撤销"));
      const QStringList wave = [&] {
        QStringList texts;
        for (QAction* a : frame_->menus(s)[4]->actions())
          if (!a->isSeparator()) texts << a->text();
        return texts;
      }();
      QCOMPARE(wave.mid(wave.size() - 2), (QStringList{"自动判读首波", "自动判读首波（全部测区）"}));
    }
    model_->pickArrival(0, 90);
    QCOMPARE(frame_->action(Screen::Analysis, cmd::kUndo)->text(), QStringLiteral("撤销 拾取首波"));
    QCOMPARE(frame_->action(Screen::Analysis, cmd::kUndo)->toolTip(), QStringLiteral("撤销 拾取首波"));
  }

  // An undone step shows its zone (and point); a step of one member shows
  // the member; a step of every member leaves the position.
  void undoShowsWhatItChanged() {
    openFrame(Screen::Analysis);
    TypeIntoCell(zoneGrid(), 3, ZoneGridDistanceColumn(2), QStringLiteral("333"));  // zone 3, point 3
    model_->selectZone(0);
    model_->selectPoint(1);
    rename(anaForm()->memberList(), QStringLiteral("柱一"));
    model_->selectMember(1);
    EnterText(anaForm()->etaField(), QStringLiteral("1.2"));
    model_->selectZone(1);

    undoAction()->trigger();  // η: every zone
    QCOMPARE((ZoneRef{doc().currentMember, doc().currentZone}), (ZoneRef{1, 1}));
    undoAction()->trigger();  // the name of member 1
    QCOMPARE(doc().currentMember, 0);
    QCOMPARE(anaForm()->memberList()->currentText(), QStringLiteral("柱1"));
    undoAction()->trigger();  // the distance of zone 3, point 3
    QCOMPARE((ZoneRef{doc().currentMember, doc().currentZone}), (ZoneRef{0, 2}));
    QCOMPARE(doc().currentPoint, 2);
    QCOMPARE(frame_->analysisView()->stripReadings()->pointNumber, 3);
    redoAction()->trigger();
    QCOMPARE(doc().Zone(0, 2)->points[2]->distance, 333.0f);
  }

  // A main-screen edit recomputes V and Va only; undone or redone on the
  // analysis screen, its zone, member and the batch follow as "输出" would
  // recompute them.
  void mainScreenStepOnTheAnalysisScreen() {
    openFrame(Screen::Main);
    clickWaveform();
    const int picked = doc().Zone(0, 0)->points[1]->arrivalIndex;
    frame_->onOutput();
    undoAction()->trigger();
    auto want = MakeEditingDoc();
    MeasuringPoint& flat = *want->Zone(0, 0)->points[2];
    flat.samples = SampleBuffer(std::vector<std::uint16_t>(flat.samples.size(), 2048));
    want->RecomputeAll();
    const auto same = [this](const CKorvaneDoc& w) {
      for (int m = 0; m < 2; ++m) {
        for (int z = 0; z < w.ZoneCount(m); ++z)
          QCOMPARE(doc().Zone(m, z)->strengthValue, w.Zone(m, z)->strengthValue);
        QCOMPARE(doc().members[m].estimatedStrength, w.members[m].estimatedStrength);
      }
      QCOMPARE(doc().result.fcue, w.result.fcue);
    };
    same(*want);
    QCOMPARE(zoneGrid()->itemText(1, ZoneGridStrengthColumn(zoneGrid()->columnCount())),
             FormatFixed(want->Zone(0, 0)->strengthValue, 1));
    redoAction()->trigger();
    PickArrival(*want, {0, 0}, 1, picked, PickPanel::PointPanel);
    want->RecomputeAll();
    same(*want);
  }

  // A number typed into a form's field and not entered with Enter is
  // entered when the field is left (Tab, a click elsewhere, a command such
  // as 保存, which then writes it); Esc puts back the stored value. A text
  // that is no number in range keeps the field: its message, the focus, no
  // step, and the command (保存) does not run.
  void typedNumbersAreEnteredWhenTheFieldIsLeft() {
    struct Field {
      const char* name;
      Screen screen;
      std::function<QLineEdit*()> field;
      QString typed;
      std::function<float(const CKorvaneDoc&)> stored;
      Standard standard = Standard::CECS02_2005;
    };
    const std::vector<Field> fields = {
        {"L", Screen::Main, [this] { return frame_->rightForm()->distanceField(2); }, QStringLiteral("250"),
         [](const CKorvaneDoc& d) { return d.zoneLists[0][0].points[2]->distance; }},
        {"λ", Screen::Main, [this] { return form()->lambdaField(); }, QStringLiteral("0.9"),
         [](const CKorvaneDoc& d) { return d.zoneLists[0][0].lambda; }},
        {"a", Screen::Analysis, [this] { return anaForm()->coefficientField(0); }, QStringLiteral("0.03"),
         [](const CKorvaneDoc& d) { return d.members[0].coefA; }},
        {"b", Screen::Analysis, [this] { return anaForm()->coefficientField(1); }, QStringLiteral("1.75"),
         [](const CKorvaneDoc& d) { return d.members[0].coefB; }},
        {"η", Screen::Analysis, [this] { return anaForm()->etaField(); }, QStringLiteral("1.2"),
         [](const CKorvaneDoc& d) { return d.project.eta; }},
        {"Δtot", Screen::Analysis, [this] { return anaForm()->deltaTotField(); }, QStringLiteral("4.5"),
         [](const CKorvaneDoc& d) { return d.project.deltaTot; }, Standard::CECS02_2020},
    };
    enum class Leave { Tab, Click, Save, Escape, Refused };
    for (const Field& f : fields) {
      for (Leave leave : {Leave::Tab, Leave::Click, Leave::Save, Leave::Escape, Leave::Refused}) {
        const QByteArray where =
            QByteArray(f.name) + " left by " + QByteArray::number(static_cast<int>(leave));
        openFrame(f.screen, f.standard);
        QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
        const QString path = dir_.filePath(QStringLiteral("typed.SHA"));
        QFile::remove(path);
        QFile::remove(dir_.filePath(QStringLiteral("typed.KVA")));  // (else kept aside as unusable)
        doc().pathName = path.toStdString();
        const float before = f.stored(doc());
        QLineEdit* field = f.field();
        field->setFocus();
        QVERIFY2(field->hasFocus(), where);
        field->selectAll();
        QTest::keyClicks(field, leave == Leave::Refused ? QStringLiteral("1e39") : f.typed);
        QCOMPARE(f.stored(doc()), before);  // typing alone enters nothing
        switch (leave) {
          case Leave::Tab: QTest::keyClick(field, Qt::Key_Tab); break;
          case Leave::Click:
            // On a view that takes no focus: the click is its own step after
            // the entered value.
            clickWaveform();
            break;
          case Leave::Save: frame_->action(cmd::kSave)->trigger(); break;
          case Leave::Escape:
            QTest::keyClick(field, Qt::Key_Escape);
            QVERIFY2(!field->text().contains(f.typed), where);
            QTest::keyClick(field, Qt::Key_Tab);
            break;
          case Leave::Refused:
            frame_->action(cmd::kSave)->trigger();
            QCOMPARE(prompter_.messages.size(), 1);
            QVERIFY2(prompter_.messages.front().contains(QStringLiteral("须为")), where);
            prompter_.messages.clear();
            QVERIFY2(!QFile::exists(path), where);  // not saved
            QCOMPARE(field->text(), QStringLiteral("1e39"));
            QTRY_VERIFY2(field->hasFocus(), where);
            // Tab away is refused again; Esc then gives the stored value back.
            QTest::keyClick(field, Qt::Key_Tab);
            QCOMPARE(prompter_.messages.size(), 1);
            prompter_.messages.clear();
            QTRY_VERIFY2(field->hasFocus(), where);
            QTest::keyClick(field, Qt::Key_Escape);
            break;
        }
        QVERIFY2(prompter_.messages.isEmpty(), qPrintable(prompter_.messages.join('\n')));
        const bool kept = leave == Leave::Escape || leave == Leave::Refused;
        const float expected = kept ? before : f.typed.toFloat();
        QVERIFY2(f.stored(doc()) == expected, where + " shows " + QByteArray::number(f.stored(doc())));
        QCOMPARE(model_->undoStack()->count(), kept ? 0 : leave == Leave::Click ? 2 : 1);
        if (leave == Leave::Save) {
          CKorvaneDoc saved(CKorvaneDoc::Settings::None);
          saved.OnOpenDocument(path.toStdString());
          QVERIFY2(f.stored(saved) == expected, where);
          QVERIFY(!model_->isModified());
        }
      }
    }
  }

  // The flag follows the history: back at the state opened or saved it is
  // clear; a save (also of results) sets that state; opening starts anew.
  void modifiedFlagFollowsSaveAndUndo() {
    openFrame(Screen::Main);
    const QString file = dir_.filePath(QStringLiteral("field.SHT"));
    QFile::copy(Sample("raw-1member-cecs2005.SHT"), file);
    QFile::copy(Sample("raw-1member-cecs2005.SHD"), dir_.filePath(QStringLiteral("field.SHD")));
    QCOMPARE(frame_->openFile(file), CMainFrame::OpenOutcome::Opened);
    QVERIFY(!model_->isModified());
    QVERIFY(!undoAction()->isEnabled());

    model_->pickArrival(0, 150);
    model_->pickArrival(1, 160);
    QVERIFY(model_->isModified());
    undoAction()->trigger();
    undoAction()->trigger();
    QVERIFY(!model_->isModified());
    QVERIFY(frame_->confirmExit());  // nothing to save: no question
    QVERIFY(prompter_.questions.isEmpty());
    redoAction()->trigger();
    QVERIFY(model_->isModified());

    frame_->fileCommands()->onSave();
    QVERIFY(prompter_.messages.isEmpty());
    QVERIFY(!model_->isModified());
    QVERIFY(undoAction()->isEnabled());  // the history goes on
    undoAction()->trigger();
    QVERIFY(model_->isModified());
    redoAction()->trigger();
    QVERIFY(!model_->isModified());
    // Undone past the save and edited otherwise: the saved state is gone.
    undoAction()->trigger();
    model_->pickArrival(2, 170);
    undoAction()->trigger();
    QVERIFY(model_->isModified());

    // Results that cannot be written: the edits, their history and the
    // flag stay (the exit still asks).
    prompter_.saveNames = {dir_.filePath(QStringLiteral("missing/field-results.SHA"))};
    frame_->fileCommands()->onSaveResults();
    QCOMPARE(prompter_.messages.size(), 1);
    QVERIFY(model_->isModified());
    QVERIFY(redoAction()->isEnabled());

    // Saving results is a save under another name: the history goes on.
    prompter_.saveNames = {dir_.filePath(QStringLiteral("field-results.SHA"))};
    frame_->fileCommands()->onSaveResults();
    QVERIFY(!model_->isModified());
    QVERIFY(redoAction()->isEnabled());
    model_->pickArrival(0, 140);
    QCOMPARE(frame_->openFile(file), CMainFrame::OpenOutcome::Kept);  // Cancel (empty script)
    prompter_.answers = {Prompter::Answer::No};
    QCOMPARE(frame_->openFile(file), CMainFrame::OpenOutcome::Opened);
    QVERIFY(!model_->isModified());
    QVERIFY(!undoAction()->isEnabled());
  }

  // Ctrl+Z in a field with typing of its own undoes that typing; entered
  // (or left), Ctrl+Z undoes the document's step. Typing in a project field
  // is one step.
  void ctrlZInATextField() {
    openFrame(Screen::Main);
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    const std::string site = doc().project.site;
    QLineEdit* field = form()->siteField();
    field->setFocus();
    field->end(false);
    QTest::keyClicks(field, QStringLiteral("AB"));
    QCOMPARE(doc().project.site, site + "AB");
    QCOMPARE(model_->undoStack()->count(), 1);
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);  // the field's own undo
    QCOMPARE(field->text(), QString::fromStdString(site));
    QCOMPARE(doc().project.site, site);
    QCOMPARE(model_->undoStack()->count(), 1);
    QTest::keyClicks(field, QStringLiteral("C"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(doc().project.site, site + "C");
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);  // entered: the document's
    QCOMPARE(doc().project.site, site);
    QCOMPARE(field->text(), QString::fromStdString(site));
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(doc().project.site, site + "C");
    QCOMPARE(field->text(), QString::fromStdString(site + "C"));

    // λ entered: the field shows the stored value anew, Ctrl+Z undoes the
    // document's step; Ctrl+Y redoes it.
    const float lambda = doc().Zone(0, 0)->lambda;
    form()->lambdaField()->setFocus();
    EnterText(form()->lambdaField(), QStringLiteral("0.9"));
    QTest::keyClick(form()->lambdaField(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(doc().Zone(0, 0)->lambda, lambda);
    QCOMPARE(form()->lambdaField()->text(), FormatFixed(lambda, 3));
    QTest::keyClick(form()->lambdaField(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(doc().Zone(0, 0)->lambda, 0.9f);
  }

  // "自动判读首波": the proposed lines stand beside the stored ones while
  // the question is shown; declined, nothing changes; accepted, one step;
  // low confidence is listed and left; nothing to apply is a message.
  void suggestionIsShownAskedAndApplied() {
    openFrame(Screen::Main);
    const std::string before = DumpDocument(doc());
    const QString question =
        QString::fromStdString(SuggestionPromptOf(doc(), SuggestArrivals(doc(), 0, 0)).text);
    QList<int> shownProposals;
    int blueWhileAsked = 0;
    prompter_.onAsk = [&] {
      for (int slot = 0; slot < 3; ++slot) shownProposals << model_->proposedArrival(slot);
      blueWhileAsked = BluePixels(frame_->mainView()->panel(1)->grab().toImage());
    };
    prompter_.answers = {Prompter::Answer::No};
    frame_->action(cmd::kSuggestArrivals)->trigger();
    QCOMPARE(prompter_.questions, QStringList{question});
    QVERIFY(question.contains(QStringLiteral("测点3：置信度低，不修改")));
    QCOMPARE(shownProposals, (QList<int>{60, 60, 1}));
    QVERIFY(blueWhileAsked > 0);
    QCOMPARE(BluePixels(frame_->mainView()->panel(1)->grab().toImage()), 0);
    QCOMPARE(model_->proposedArrival(0), -1);
    QVERIFY(DumpDocument(doc()) == before);
    QVERIFY(!model_->isModified());
    QVERIFY(!undoAction()->isEnabled());

    prompter_.answers = {Prompter::Answer::Yes};
    frame_->action(cmd::kSuggestArrivals)->trigger();
    const TestZone& zone = *doc().Zone(0, 0);
    QCOMPARE(zone.points[1]->arrivalIndex, 60);
    QCOMPARE(zone.points[1]->amplitudeIndex, 60);  // as a click on the panel
    QCOMPARE(zone.points[2]->arrivalIndex, 62);    // low confidence: left
    QCOMPARE(model_->undoStack()->count(), 1);

    // Nothing left to apply: a message, no question, no step.
    prompter_.questions.clear();
    frame_->action(cmd::kSuggestArrivals)->trigger();
    QVERIFY(prompter_.questions.isEmpty());
    QCOMPARE(prompter_.messages.size(), 1);
    QVERIFY(prompter_.messages[0].endsWith(QStringLiteral("没有需要修改的首波。")));
    QCOMPARE(model_->undoStack()->count(), 1);

    // Every zone, on the analysis screen: the arrival only, zones, member
    // and batch recomputed; the question lists the flat point.
    openFrame(Screen::Analysis);
    const ArrivalSuggestion all = SuggestArrivals(doc(), 0, -1);
    auto want = MakeEditingDoc();
    MeasuringPoint& flat = *want->Zone(0, 0)->points[2];
    flat.samples = SampleBuffer(std::vector<std::uint16_t>(flat.samples.size(), 2048));
    want->RecomputeAll();
    SetArrivals(*want, 0, all.changes, PickPanel::WaveformView);
    prompter_.answers = {Prompter::Answer::Yes};
    prompter_.onAsk = [&] { blueWhileAsked = BluePixels(frame_->analysisView()->grab().toImage()); };
    blueWhileAsked = 0;
    frame_->action(cmd::kSuggestArrivalsAllZones)->trigger();
    QVERIFY(
        prompter_.questions.constLast().contains(QStringLiteral("置信度低，不修改（1个测点）：测区1测点3")));
    QVERIFY(blueWhileAsked > 0);
    for (int z = 0; z < 3; ++z) QCOMPARE(doc().Zone(0, z)->strengthValue, want->Zone(0, z)->strengthValue);
    QCOMPARE(doc().members[0].estimatedStrength, want->members[0].estimatedStrength);
    QCOMPARE(doc().result.fcue, want->result.fcue);
    QCOMPARE(doc().Zone(0, 0)->points[1]->amplitudeIndex, want->Zone(0, 0)->points[1]->amplitudeIndex);
    QCOMPARE(undoAction()->text(), QStringLiteral("撤销 自动判读首波（全部测区）"));
  }
};

int RunUndoTests(int argc, char** argv) {
  UndoTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace korvane::gui::test

#include "undo_test.moc"
