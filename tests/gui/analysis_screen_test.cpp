// The analysis screen as a user drives it: the rebound table, the waveform
// view and its zone grid, the analysis form and the correction dialogs,
// through their widgets, checked against the document and against the same
// edits made by the editing layer on a twin document.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>
#include <memory>

#include "core/algorithm/member_evaluation.h"
#include "core/app/document_edits.h"
#include "core/forms/analysis_form_model.h"
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
#include "gui/dialogs/strength_curve_dialog.h"
#include "gui/document/document_model.h"
#include "gui/main_frame.h"
#include "gui/main_screen/zone_points_form.h"
#include "gui/widgets/docking_bars.h"
#include "gui/widgets/grid_ctrl.h"
#include "gui_test_support.h"
#include "support/document_dump.h"

namespace korvane::gui::test {

using korvane::testing::MakeEditingDoc;

class AnalysisScreenTest : public QObject, protected WindowFixture<> {
  Q_OBJECT

 private:
  // A frame on the analysis screen over MakeEditingDoc(standard); `direct`
  // makes every zone "对测" so that every switch of standard is allowed.
  void openAnalysis(Standard standard = Standard::CECS02_2005, bool direct = false, bool oneMember = false) {
    makeFrame(prepared(standard, direct, oneMember), CMainFrame::UiSettings::ReadOnly);
    showFrame();
    frame_->onOutput();
    QCOMPARE(frame_->screen(), CMainFrame::Screen::Analysis);
    QCoreApplication::processEvents();
  }
  // The same document, recomputed as "输出" does, for the expected values.
  static std::unique_ptr<CKorvaneDoc> prepared(Standard standard, bool direct, bool oneMember) {
    auto doc = MakeEditingDoc(standard);
    if (direct) {
      for (auto& zones : doc->zoneLists)
        for (TestZone& zone : zones) zone.testMethod = TestMethod::Direct;
    }
    if (oneMember) {
      doc->members.resize(1);
      doc->zoneLists.resize(1);
      doc->memberCount = 1;
    }
    return doc;
  }
  static std::unique_ptr<CKorvaneDoc> twin(Standard standard = Standard::CECS02_2005, bool direct = false) {
    auto doc = prepared(standard, direct, false);
    doc->RecomputeAll();
    return doc;
  }

  CGridCtrl* rebound() { return frame_->downView()->grid(); }
  CGridCtrl* zoneGrid() { return frame_->analysisView()->zoneGrid(); }
  FormviewAna* form() { return frame_->analysisForm(); }

  // Zone, member and batch results of two documents are the same.
  static void compareResults(const CKorvaneDoc& got, const CKorvaneDoc& want) {
    for (int m = 0; m < static_cast<int>(want.members.size()); ++m) {
      for (int z = 0; z < want.ZoneCount(m); ++z) {
        QCOMPARE(got.Zone(m, z)->reboundValue, want.Zone(m, z)->reboundValue);
        QCOMPARE(got.Zone(m, z)->strengthValue, want.Zone(m, z)->strengthValue);
      }
      QCOMPARE(got.members[m].estimatedStrength, want.members[m].estimatedStrength);
      QCOMPARE(got.members[m].meanStrength, want.members[m].meanStrength);
    }
    QCOMPARE(got.result.fcue, want.result.fcue);
    QCOMPARE(got.result.meanValue, want.result.meanValue);
    QCOMPARE(got.batchResultFlag, want.batchResultFlag);
  }
  // What a user reads off the analysis screen and a saved file must keep:
  // per zone the readings, R, carbonation depth, η, V and fcu,i, per member
  // the coefficients and results, and the batch.
  static QList<float> figures(const CKorvaneDoc& doc) {
    QList<float> out;
    for (int m = 0; m < static_cast<int>(doc.members.size()); ++m) {
      const Member& member = doc.members[m];
      out << member.coefA << member.coefB << member.estimatedStrength << member.meanStrength
          << member.stdDevStrength;
      for (int z = 0; z < doc.ZoneCount(m); ++z) {
        const TestZone& zone = *doc.Zone(m, z);
        for (int reading : zone.rebound) out << static_cast<float>(reading);
        out << zone.reboundValue << zone.carbonationDepth << zone.eta << zone.zoneVelocity
            << zone.strengthValue;
      }
    }
    out << doc.result.fcue << doc.result.meanValue << doc.result.stdDev;
    return out;
  }
  static QList<float> figures(const QJsonObject& json) {
    auto number = [](const QJsonObject& o, const char* key) {
      return static_cast<float>(o.value(QString::fromLatin1(key)).toDouble());
    };
    QList<float> out;
    for (const QJsonValue& m : json.value(QStringLiteral("members")).toArray()) {
      const QJsonObject member = m.toObject();
      for (const char* key : {"coefA", "coefB", "estimatedStrength", "meanStrength", "stdDevStrength"})
        out << number(member, key);
      for (const QJsonValue& z : member.value(QStringLiteral("zones")).toArray()) {
        const QJsonObject zone = z.toObject();
        for (const QJsonValue& reading : zone.value(QStringLiteral("rebound")).toArray())
          out << static_cast<float>(reading.toInt());
        for (const char* key : {"reboundValue", "carbonationDepth", "eta", "zoneVelocity", "strengthValue"})
          out << number(zone, key);
      }
    }
    const QJsonObject result = json.value(QStringLiteral("result")).toObject();
    for (const char* key : {"fcue", "meanValue", "stdDev"}) out << number(result, key);
    return out;
  }

  // Reading cells of zone `zone` shown yellow, as reading indices.
  QList<int> yellowReadings(int zone) {
    QList<int> out;
    for (int i = 0; i < kReadingsPerZone; ++i) {
      const GridPosition at = ReboundReadingPosition(zone, i);
      if (rebound()->itemBackground(at.row, at.column) == QColor(255, 255, 0)) out << i;
    }
    return out;
  }

 private slots:
  void cleanup() { resetFrame(); }

  void screensShowOnlyTheirOwnBars() {
    openAnalysis();
    QVERIFY(frame_->createPopupMenu() == nullptr);
    QVERIFY(frame_->analysisBar()->isVisible());
    QVERIFY(frame_->analysisToolBar()->isVisible());
    QVERIFY(!frame_->infoBar()->isVisible());
    QVERIFY(!frame_->mainToolBar()->isVisible());
    QCOMPARE(frame_->analysisBar()->windowTitle(), QStringLiteral("分析输出信息栏"));
    QCOMPARE(frame_->analysisToolBar()->windowTitle(), QStringLiteral("工具栏"));
    // The output commands, enabled on this screen with a file open; PDF next
    // to Word in the menu and the toolbar.
    const QList<std::pair<int, const char*>> outputs = {
        {cmd::kPrintSetup, "打印设置"}, {cmd::kPrintPreview, "打印预览(&V)"},
        {cmd::kPrint, "打印"},          {cmd::kWord, "生成word文档"},
        {cmd::kPdf, "输出到PDF"},       {cmd::kBmp, "输出到BMP"},
        {cmd::kExcel, "输出到excel"}};
    for (const auto& [id, text] : outputs) {
      QAction* a = frame_->action(CMainFrame::Screen::Analysis, id);
      QVERIFY2(a != nullptr, text);
      QCOMPARE(a->text(), QString::fromUtf8(text));
      QVERIFY2(a->isEnabled(), text);
    }
    QAction* word = frame_->action(CMainFrame::Screen::Analysis, cmd::kWord);
    QAction* pdf = frame_->action(CMainFrame::Screen::Analysis, cmd::kPdf);
    QCOMPARE(word->toolTip(), QStringLiteral("输出到word"));
    for (const QList<QAction*>& list :
         {frame_->analysisToolBar()->actions(), frame_->menus(CMainFrame::Screen::Analysis)[3]->actions()}) {
      QCOMPARE(list.indexOf(pdf), list.indexOf(word) + 1);
    }
    // The carbonation table has no use under CECS 02:2005.
    QVERIFY(frame_->action(cmd::kAngleTable)->isEnabled());
    QVERIFY(!frame_->action(cmd::kCarbonationTable)->isEnabled());
    frame_->action(cmd::kBackToMain)->trigger();
    QVERIFY(!frame_->analysisBar()->isVisible());
    QVERIFY(!frame_->analysisToolBar()->isVisible());
    QVERIFY(frame_->infoBar()->isVisible());
    QVERIFY(frame_->mainToolBar()->isVisible());

    openAnalysis(Standard::TB10426_2004);
    QVERIFY(frame_->action(cmd::kCarbonationTable)->isEnabled());
  }

  void editedReadingRecomputesAndRemarks() {
    openAnalysis();
    auto want = twin();
    model_->setModified(false);
    const GridPosition at = ReboundReadingPosition(1, 5);
    TypeIntoCell(rebound(), at.row, at.column, QStringLiteral("60"));
    SetReading(*want, {0, 1}, 5, 60);
    QCOMPARE(doc().Zone(0, 1)->rebound[5], 60);
    compareResults(doc(), *want);
    QVERIFY(model_->isModified());
    // The new highest reading is among the marked ones, and the marks are
    // those the document drops.
    const std::vector<int> dropped = DroppedReadingPositions(doc(), *doc().Zone(0, 1));
    QList<int> expected(dropped.begin(), dropped.end());
    std::sort(expected.begin(), expected.end());
    QCOMPARE(yellowReadings(1), expected);
    QVERIFY(expected.contains(5));
    // The zone grid shows the zone's new strength.
    QCOMPARE(
        zoneGrid()->itemText(2, ZoneGridStrengthColumn(zoneGrid()->columnCount())),
        QString::fromStdString(StrengthCellText(Standard::CECS02_2005, doc().Zone(0, 1)->strengthValue)));

    // 100, "abc" and an emptied cell are refused with the message; the cell
    // shows the old reading and no step is made.
    const int before = doc().Zone(0, 1)->rebound[2];
    const int steps = model_->undoStack()->count();
    const GridPosition other = ReboundReadingPosition(1, 2);
    for (const QString& text : {QStringLiteral("100"), QStringLiteral("abc"), QString()}) {
      prompter_.messages.clear();
      TypeIntoCell(rebound(), other.row, other.column, text);
      QCOMPARE(prompter_.messages, QStringList{QStringLiteral("回弹值须为0～99之间的整数")});
      QCOMPARE(doc().Zone(0, 1)->rebound[2], before);
      QCOMPARE(rebound()->itemText(other.row, other.column), QString::number(before));
      QCOMPARE(model_->undoStack()->count(), steps);
    }
  }

  void typedReboundValueIsCheckedAndKept() {
    openAnalysis();
    const ReboundColumns c = ReboundTableColumns(16);
    const int row = ReboundZoneRow(0);
    const QString shown = rebound()->itemText(row, c.rebound);
    TypeIntoCell(rebound(), row, c.rebound, QStringLiteral("55"));
    QCOMPARE(prompter_.messages, QStringList{QStringLiteral("回弹代表值R须为20～50之间的数")});
    QCOMPARE(rebound()->itemText(row, c.rebound), shown);
    QCOMPARE(doc().Zone(0, 0)->reboundManual, 0);
    TypeIntoCell(rebound(), row, c.rebound, QStringLiteral("50"));
    QCOMPARE(rebound()->itemText(row, c.rebound), QStringLiteral("50.0"));
    QCOMPARE(doc().Zone(0, 0)->reboundValue, 50.0f);
    QVERIFY(doc().Zone(0, 0)->reboundManual != 0);
    QVERIFY(yellowReadings(0).isEmpty());
    // The readings no longer move R.
    const GridPosition at = ReboundReadingPosition(0, 0);
    TypeIntoCell(rebound(), at.row, at.column, QStringLiteral("20"));
    QCOMPARE(doc().Zone(0, 0)->rebound[0], 20);
    QCOMPARE(rebound()->itemText(row, c.rebound), QStringLiteral("50.0"));
    QVERIFY(yellowReadings(0).isEmpty());
    QVERIFY(!rebound()->itemBackground(at.row, at.column).isValid());
  }

  void angleAndSurfaceChoices() {
    openAnalysis();
    auto want = twin();
    const ReboundColumns c = ReboundTableColumns(16);
    const int row = ReboundZoneRow(2);
    QVERIFY(rebound()->editCell(row, c.angle));
    auto* list =
        qobject_cast<QComboBox*>(rebound()->tableView()->indexWidget(rebound()->tableView()->currentIndex()));
    QVERIFY(list != nullptr);
    QCOMPARE(list->count(), 9);
    list->setCurrentIndex(1);
    emit list->activated(1);  // "60"
    SetAngle(*want, {0, 2}, 60);
    QCOMPARE(doc().Zone(0, 2)->angle, 60);
    compareResults(doc(), *want);
    QCOMPARE(rebound()->itemText(row, c.angle), QStringLiteral("60"));
    QCOMPARE(rebound()->itemText(row, c.angleCorrection), FormatFixed(doc().Zone(0, 2)->angleCorrection, 1));
  }

  void gridFollowsTheStandardsReadingCount() {
    openAnalysis(Standard::CECS02_2005, /*direct=*/true);
    QCOMPARE(rebound()->columnCount(), 16);
    QComboBox* standards = form()->standardList();
    standards->setCurrentIndex(IndexOf(Standard::CECS02_2020));
    emit standards->activated(IndexOf(Standard::CECS02_2020));
    QCOMPARE(doc().standard, Standard::CECS02_2020);
    QCOMPARE(rebound()->columnCount(), 13);
    QCOMPARE(rebound()->itemText(0, 5), QStringLiteral("R9-R10"));
    QCOMPARE(rebound()->itemText(0, 6), QStringLiteral("测试角度"));
    // The fields follow: Δtot instead of η, "泵送" offered.
    QVERIFY(form()->deltaTotField()->isEnabled());
    QVERIFY(!form()->etaField()->isEnabled());
    QVERIFY(form()->pumpedBox()->isEnabled());
    QVERIFY(frame_->action(cmd::kCarbonationTable)->isEnabled());
    auto want = twin(Standard::CECS02_2005, true);
    SwitchStandard(*want, {0, 0}, Standard::CECS02_2020);
    compareResults(doc(), *want);
    standards->setCurrentIndex(IndexOf(Standard::TB10426_2004));
    emit standards->activated(IndexOf(Standard::TB10426_2004));
    QCOMPARE(rebound()->columnCount(), 16);
  }

  void refusedStandardSwitch() {
    openAnalysis();  // zones tested by "平测"
    model_->setModified(false);
    QComboBox* standards = form()->standardList();
    standards->setCurrentIndex(IndexOf(Standard::CECS02_2020));
    emit standards->activated(IndexOf(Standard::CECS02_2020));
    QCOMPARE(prompter_.messages,
             QStringList{QStringLiteral(
                 "当前规范(CECS 02:2005)及测试方式(平测)下，无法切换到新规范(CECS 02-2020)！")});
    QCOMPARE(standards->currentIndex(), IndexOf(Standard::CECS02_2005));
    QCOMPARE(doc().standard, Standard::CECS02_2005);
    QVERIFY(!model_->isModified());
  }

  void etaIsCheckedAndReachesEveryZone() {
    openAnalysis();
    auto want = twin();
    // 21 digits, "1e39" and 12 are refused, with no step; 10 is taken.
    for (const QString& text :
         {QStringLiteral("123456789012345678901"), QStringLiteral("1e39"), QStringLiteral("12")}) {
      prompter_.messages.clear();
      EnterText(form()->etaField(), text);
      QCOMPARE(prompter_.messages, QStringList{QStringLiteral("强度修正系数η须为0.1～10之间的数")});
      QCOMPARE(doc().project.eta, 1.0f);
      QVERIFY(!model_->undoStack()->canUndo());
    }
    EnterText(form()->etaField(), QStringLiteral("10"));
    QCOMPARE(form()->etaField()->text(), QStringLiteral("10.00"));
    SetEta(*want, 10.0f);
    for (int m = 0; m < 2; ++m)
      for (int z = 0; z < doc().ZoneCount(m); ++z) QCOMPARE(doc().Zone(m, z)->eta, 10.0f);
    compareResults(doc(), *want);
    QCOMPARE(form()->resultText(5), QString::fromStdString(MemberPaneTextsOf(doc(), 0).estimate));

    // A custom coefficient goes to every member, shown as the value used.
    EnterText(form()->coefficientField(0), QStringLiteral("0.02468"));
    QCOMPARE(form()->coefficientField(0)->text(), QStringLiteral("0.02468"));
    QCOMPARE(doc().members[1].coefA, doc().members[0].coefA);
    QCOMPARE(doc().members[1].aggregateType, Aggregate::Custom);
  }

  void batchTab() {
    openAnalysis(Standard::CECS02_2005, false, /*oneMember=*/true);
    form()->tabs()->setCurrentIndex(1);
    QCOMPARE(prompter_.messages, QStringList{QStringLiteral("当前文件只有一个构件！")});
    QCOMPARE(form()->tabs()->currentIndex(), 0);
    QVERIFY(!form()->batchPaneShown());

    openAnalysis(Standard::CECS02_2005, false, false);
    prompter_.messages.clear();
    // An invalid batch: its notice, with N, mean and deviation in view.
    doc().batchResultFlag = ResultFlag::BatchInvalid;
    form()->refresh();
    form()->tabs()->setCurrentIndex(1);
    QCOMPARE(prompter_.messages, QStringList{FromUtf8(BatchNotice(Standard::CECS02_2005))});
    QCOMPARE(form()->tabs()->currentIndex(), 1);
    QVERIFY(form()->batchPaneShown());
    QCOMPARE(form()->resultText(9), QString::fromStdString(BatchPaneTextsOf(doc()).zones));
    QCOMPARE(form()->resultText(6), FormatFixed(doc().result.meanValue, 1));
    form()->tabs()->setCurrentIndex(0);
    doc().batchResultFlag = ResultFlag::Valid;
    form()->tabs()->setCurrentIndex(1);
    QVERIFY(form()->batchPaneShown());
    QCOMPARE(form()->resultText(6), FormatFixed(doc().result.meanValue, 1));
    QCOMPARE(form()->resultText(7), FormatFixed(doc().result.stdDev, 2));
  }

  void pickMovesOnlyTheArrival() {
    openAnalysis();
    auto want = twin();
    model_->setModified(false);
    CAnalysisView* view = frame_->analysisView();
    const ViewRect panel = view->geometryNow().panel;
    const Member& member = doc().members[0];
    const float sx = PanelTimeScale(panel.width, member.sampleCount, member.sampleInterval);
    const int sample = 200;
    const int x = kPanelLeftMargin + static_cast<int>(sample * member.sampleInterval * sx + 0.5f);
    const MeasuringPoint& point = *doc().Zone(0, 0)->points[0];
    const int amplitude = point.amplitudeIndex;
    const int expected = PanelSampleAtX(x, sx, point.delay, member.sampleInterval, member.sampleCount, -1);
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(panel.x + x, panel.y + panel.height / 2));
    QCOMPARE(point.arrivalIndex, expected);
    QCOMPARE(point.amplitudeIndex, amplitude);
    QVERIFY(model_->isModified());
    PickArrival(*want, {0, 0}, 0, expected, PickPanel::WaveformView);
    compareResults(doc(), *want);
    QCOMPARE(zoneGrid()->itemText(1, ZoneGridTimeColumn(0)), FormatFixed(doc().Zone(0, 0)->pointTime[0], 1));

    // The point label shows the next point; the strip its stored readings.
    QCOMPARE(doc().currentPoint, 0);
    QTest::mouseClick(view, Qt::LeftButton, {}, view->pointLabelRect().center());
    QCOMPARE(doc().currentPoint, 1);
    QCOMPARE(view->stripReadings()->pointNumber, 2);
    QCOMPARE(view->stripReadings()->time, doc().Zone(0, 0)->pointTime[1]);
  }

  void distanceEditIsChecked() {
    openAnalysis();
    const int column = ZoneGridDistanceColumn(1);
    TypeIntoCell(zoneGrid(), 2, column, QStringLiteral("12345"));
    QCOMPARE(prompter_.messages, QStringList{QStringLiteral("测距L须为0～10000 mm之间的数")});
    QCOMPARE(doc().Zone(0, 1)->points[1]->distance, 210.0f);
    QCOMPARE(zoneGrid()->itemText(2, column), QStringLiteral("210"));
    TypeIntoCell(zoneGrid(), 2, column, QStringLiteral("10000"));
    QCOMPARE(doc().Zone(0, 1)->points[1]->distance, 10000.0f);
    QCOMPARE(zoneGrid()->itemText(2, column), QStringLiteral("10000"));
    const int columns = zoneGrid()->columnCount();
    QCOMPARE(zoneGrid()->itemText(2, ZoneGridVelocityColumn(columns)),
             FormatFixed(doc().Zone(0, 1)->zoneVelocity, 3));
    auto want = twin();
    SetZoneGridDistance(*want, {0, 1}, 1, 10000.0f);
    compareResults(doc(), *want);
  }

  // "测强曲线": the cubes of the file chosen with the curve's value, the
  // figures, the rows left out; the page proposed beside the file; a file
  // that cannot be fitted says why and offers nothing to use.
  void strengthCurveDialog() {
    openAnalysis();
    QVERIFY(frame_->action(CMainFrame::Screen::Analysis, cmd::kCoreCorrection)->isEnabled());
    const QString cubes = QDir(QStringLiteral(KORVANE_SAMPLES_DIR)).filePath(QStringLiteral("cubes.csv"));
    QTemporaryDir dir;
    StrengthCurveDialog dialog(model_.get(), &prompter_, frame_.get());
    QVERIFY(!dialog.useButton()->isEnabled());
    prompter_.openNames = {cubes};
    dialog.chooseButton()->click();
    QCOMPARE(dialog.cubeTable()->rowCount(), 30);
    QCOMPARE(dialog.cubeTable()->item(12, 0)->text(), QStringLiteral("15"));  // row 14 left out
    QCOMPARE(dialog.figureTable()->item(2, 0)->text(), QStringLiteral("a"));
    QVERIFY(dialog.noteLabel()->text().startsWith(QStringLiteral("第14行")));
    QVERIFY(dialog.useButton()->isEnabled());

    prompter_.saveNames = {dir.filePath(QStringLiteral("fit.pdf"))};
    dialog.exportButton()->click();
    QCOMPARE(PathKey(prompter_.saveInitialPaths.last()),
             PathKey(QDir(QStringLiteral(KORVANE_SAMPLES_DIR)).filePath(QStringLiteral("cubes.pdf"))));
    QFile pdf(dir.filePath(QStringLiteral("fit.pdf")));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");
    QVERIFY(prompter_.messages.isEmpty());

    QFile few(dir.filePath(QStringLiteral("few.csv")));
    QVERIFY(few.open(QIODevice::WriteOnly));
    few.write("v,R,fcu\n4.5,35,29.4\n");
    few.close();
    dialog.load(few.fileName());
    QCOMPARE(dialog.noteLabel()->text(), QStringLiteral("可用试件只有1个，至少需要10个"));
    QVERIFY(!dialog.useButton()->isEnabled());
    QVERIFY(!dialog.exportButton()->isEnabled());
  }

  // "钻芯修正": the file's cores with their zone's value and ratio; a member
  // chosen offers its zones; the formula follows what is typed.
  void coreCorrectionDialog() {
    openAnalysis();
    doc().cores = {{1, 1, 80.5f}};
    CoreCorrectionDialog dialog(model_.get(), &prompter_, frame_.get());
    QCOMPARE(dialog.table()->rowCount(), 1);
    auto* member = qobject_cast<QComboBox*>(dialog.table()->cellWidget(0, 0));
    auto* zone = qobject_cast<QComboBox*>(dialog.table()->cellWidget(0, 1));
    QVERIFY(member != nullptr && zone != nullptr);
    QCOMPARE(member->currentText(), QStringLiteral("梁2"));
    QCOMPARE(zone->count(), 2);
    QCOMPARE(dialog.table()->item(0, 2)->text(), QStringLiteral("80.5"));
    QVERIFY(!dialog.table()->item(0, 3)->text().isEmpty());
    QVERIFY(dialog.formulaLabel()->text().startsWith(QStringLiteral("η = (1/n)")));

    member->setCurrentIndex(0);
    emit member->activated(0);
    QCOMPARE(zone->count(), 3);
    QCOMPARE(zone->currentIndex(), 1);
    dialog.typeStrength(0, QStringLiteral("-5"));
    QCOMPARE(prompter_.messages.size(), 1);
    QVERIFY(dialog.table()->item(0, 3)->text().isEmpty());
    QVERIFY(!dialog.applyButton()->isEnabled());
    prompter_.messages.clear();
  }

  void correctionDialogs() {
    openAnalysis();
    const float defaultValue = doc().defaultTables.angle[0][0];
    {
      CDlgAngle dialog(model_.get(), &prompter_, frame_.get());
      QVERIFY(dialog.hasGrid());
      QCOMPARE(dialog.windowTitle(), QStringLiteral("角度修正值表"));
      QCOMPARE(dialog.grid()->rowCount(), 3 + 7);
      QCOMPARE(dialog.grid()->itemText(3, 1), FormatFixed(defaultValue, 1));
      // A refused cell says which cell and range at once, and shows its
      // value again; a taken one shows the table's format.
      const QString shown = dialog.grid()->itemText(3, 2);
      TypeIntoCell(dialog.grid(), 3, 2, QStringLiteral("3,5"));
      QCOMPARE(prompter_.messages,
               QStringList{QStringLiteral("R=20、检测角度+60：修正值须为-20～20之间的数")});
      QCOMPARE(dialog.grid()->itemText(3, 2), shown);
      prompter_.messages.clear();
      TypeIntoCell(dialog.grid(), 3, 1, QStringLiteral("-9.9"));
      QCOMPARE(dialog.grid()->itemText(3, 1), QStringLiteral("-9.9"));
      dialog.okButton()->click();
      QVERIFY(prompter_.messages.isEmpty());
    }
    QCOMPARE(doc().tables.angle[0][0], -9.9f);
    {
      // "默认值" then "取消": the defaults stay.
      CDlgAngle dialog(model_.get(), &prompter_, frame_.get());
      QCOMPARE(dialog.grid()->itemText(3, 1), QStringLiteral("-9.9"));
      dialog.defaultsButton()->click();
      QCOMPARE(dialog.grid()->itemText(3, 1), FormatFixed(defaultValue, 1));
      dialog.grid()->setItemText(3, 1, QStringLiteral("-5.0"));
      dialog.cancelButton()->click();
    }
    QCOMPARE(doc().tables.angle[0][0], defaultValue);

    // Under TB 10426-2019 the surface dialog offers the 31-row table its
    // algorithm reads; the carbonation dialog none.
    openAnalysis(Standard::TB10426_2019, true);
    {
      CDlgPlane plane(model_.get(), &prompter_, frame_.get());
      QVERIFY(plane.hasGrid());
      QCOMPARE(plane.grid()->rowCount() - plane.grid()->fixedRowCount(), 31);
      CDlgCarbon carbon(model_.get(), &prompter_, frame_.get());
      QVERIFY(!carbon.hasGrid());
      model_->setModified(false);
      carbon.okButton()->click();
      QVERIFY(!model_->isModified());
    }
  }

  void editsSurviveTheScreenSwitchAndTheSave() {
    openAnalysis();
    const GridPosition at = ReboundReadingPosition(0, 3);
    TypeIntoCell(rebound(), at.row, at.column, QStringLiteral("47"));
    TypeIntoCell(rebound(), ReboundZoneRow(1), ReboundTableColumns(16).carbonation, QStringLiteral("2.5"));
    TypeIntoCell(zoneGrid(), 1, ZoneGridDistanceColumn(0), QStringLiteral("321"));
    EnterText(form()->etaField(), QStringLiteral("0.9"));
    const std::string edited = korvane::testing::DumpDocument(doc());

    frame_->action(cmd::kBackToMain)->trigger();
    QCOMPARE(frame_->screen(), CMainFrame::Screen::Main);
    QCOMPARE(frame_->rightForm()->distanceField(0)->text(), QStringLiteral("321"));
    frame_->action(cmd::kOutput)->trigger();
    QCOMPARE(frame_->screen(), CMainFrame::Screen::Analysis);
    QCOMPARE(korvane::testing::DumpDocument(doc()), edited);
    QCOMPARE(rebound()->itemText(at.row, at.column), QStringLiteral("47"));

    // "保存结果" writes what reads back: korvane-cli evaluates the saved
    // file to the inputs and results the screen shows.
    const QList<float> onScreen = figures(doc());
    std::string before = korvane::testing::DumpDocument(doc());
    const std::string oldPath = doc().pathName;
    const QString path = dir_.filePath(QStringLiteral("edited.SHA"));
    prompter_.saveNames = {path};
    frame_->action(cmd::kSaveResults)->trigger();
    QVERIFY2(prompter_.messages.isEmpty(), qPrintable(prompter_.messages.join('\n')));
    QCOMPARE(PathKey(doc().pathName), PathKey(path));
    QCOMPARE(doc().Zone(0, 0)->rebound[3], 47);
    QCOMPARE(doc().Zone(0, 1)->carbonationDepth, 2.5f);
    QCOMPARE(doc().Zone(0, 0)->points[0]->distance, 321.0f);
    QCOMPARE(doc().project.eta, 0.9f);
    QCOMPARE(doc().Zone(0, 0)->eta, 0.9f);
    QCOMPARE(rebound()->itemText(at.row, at.column), QStringLiteral("47"));
    // Nothing on the screen changes: the document only names the new file,
    // and its history goes on as after a save.
    QCOMPARE(figures(doc()), onScreen);
    before.replace(before.find(oldPath), oldPath.size(), doc().pathName);
    QCOMPARE(korvane::testing::DumpDocument(doc()), before);
    QVERIFY(!doc().modified);
    QVERIFY(model_->undoStack()->canUndo());
    QCOMPARE(form()->resultText(5), QString::fromStdString(MemberPaneTextsOf(doc(), 0).estimate));

    QProcess cli;
    cli.start(QStringLiteral(KORVANE_CLI_PATH), {QStringLiteral("evaluate"), path, QStringLiteral("--json")});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    const QJsonObject json = QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
    QCOMPARE(figures(json), onScreen);
  }

  // A command that reads or writes the document first enters what is typed
  // in a grid cell and not yet entered, as leaving the cell would: nothing
  // on the screen is missing from the file written.
  void typingNotYetEnteredIsEnteredFirst() {
    openAnalysis();
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    const GridPosition at = ReboundReadingPosition(0, 3);
    QLineEdit* editor = OpenCellEditor(rebound(), at.row, at.column);
    QVERIFY(editor != nullptr);
    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());
    editor->setText(QStringLiteral("47"));
    prompter_.saveNames = {dir_.filePath(QStringLiteral("pending.SHA"))};
    frame_->action(cmd::kSaveResults)->trigger();
    QVERIFY2(prompter_.messages.isEmpty(), qPrintable(prompter_.messages.join('\n')));
    QCOMPARE(doc().Zone(0, 0)->rebound[3], 47);
    QCOMPARE(rebound()->itemText(at.row, at.column), QStringLiteral("47"));
    QVERIFY(rebound()->tableView()->hasFocus());
    QVERIFY(!rebound()->isEditing());

    // Ctrl+S saves on this screen too (one action answers it), the pending
    // cell entered first; and on the main screen.
    const GridPosition next = ReboundReadingPosition(1, 0);
    QLineEdit* second = OpenCellEditor(rebound(), next.row, next.column);
    QVERIFY(second != nullptr);
    second->setFocus();
    QTRY_VERIFY(second->hasFocus());
    second->setText(QStringLiteral("46"));
    QTest::keyClick(second, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(doc().Zone(0, 1)->rebound[0], 46);
    QVERIFY(!doc().modified);
    frame_->action(cmd::kBackToMain)->trigger();
    model_->setBeta(1.5f);
    QVERIFY(doc().modified);
    QTest::keyClick(frame_.get(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!doc().modified);
    QVERIFY2(prompter_.messages.isEmpty(), qPrintable(prompter_.messages.join('\n')));
  }
};

int RunAnalysisScreenTests(int argc, char** argv) {
  AnalysisScreenTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace korvane::gui::test

#include "analysis_screen_test.moc"
