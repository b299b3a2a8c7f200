// The main screen over an in-memory document: the forms show the current
// zone, a click on a waveform moves arrival and amplitude together, the zoom
// slider, zone navigation, the β/λ rule and the test-method lock.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <memory>

#include "core/app/document_edits.h"
#include "core/standards/standards.h"
#include "core/wave/waveform_axes.h"
#include "gui/commands.h"
#include "gui/document/document_model.h"
#include "gui/main_frame.h"
#include "gui/main_screen/point_panels_view.h"
#include "gui/main_screen/project_bar.h"
#include "gui/main_screen/zone_points_form.h"
#include "gui/widgets/point_panel.h"
#include "gui_test_support.h"

namespace korvane::gui::test {

class MainScreenTest : public QObject, protected WindowFixture<> {
  Q_OBJECT

 private:
  // A frame over a fresh document; the previous one (if any) is destroyed.
  void makeFrame(int zones, int points, Standard standard = Standard::CECS02_2005) {
    WindowFixture::makeFrame(MakeWaveformDoc(zones, points, standard));
    frame_->resize(1400, 900);
  }
  CMainForm* form() const { return frame_->mainForm(); }
  MainFormRight* right() const { return frame_->rightForm(); }
  TestZone& zone() const { return *model_->doc().GetCurrentZone(); }

 private slots:
  void cleanup() { resetFrame(); }

  void formsShowTheCurrentZone_data() {
    QTest::addColumn<int>("points");
    QTest::newRow("3 points") << 3;
    QTest::newRow("7 points") << 7;
  }
  void formsShowTheCurrentZone() {
    QFETCH(int, points);
    makeFrame(3, points, points == 7 ? Standard::CECS02_2020 : Standard::CECS02_2005);
    showFrame();

    QCOMPARE(form()->memberList()->count(), 1);
    QCOMPARE(form()->memberList()->currentText(), QStringLiteral("柱1"));
    QCOMPARE(form()->zoneList()->count(), 3);
    QCOMPARE(form()->zoneList()->currentText(), QStringLiteral("1"));
    QCOMPARE(form()->methodList()->currentText(), QStringLiteral("平测"));
    QCOMPARE(form()->locationList()->count(), 3);
    QCOMPARE(form()->locationList()->currentText(), QStringLiteral("侧面"));
    QCOMPARE(form()->betaField()->text(), QStringLiteral("1.000"));
    QCOMPARE(form()->pointVelocityField(0)->text(), QStringLiteral("6.667"));  // 200 mm / 30 us
    for (int slot = 0; slot < kMaxPoints; ++slot) {
      QCOMPARE(form()->pointVelocityField(slot)->isEnabled(), slot < points);
      QCOMPARE(right()->rowShown(slot), slot < points);
      QCOMPARE(frame_->mainView()->panel(slot)->isVisibleTo(frame_->mainView()), slot < points);
    }
    // T = 60 x 0.5 us; A at sample 64 (870 codes above zero at gain 2).
    QCOMPARE(right()->timeField(0)->text(), QStringLiteral("30.00"));
    QCOMPARE(right()->amplitudeField(0)->text(), QStringLiteral("424.80"));
    QCOMPARE(right()->distanceField(0)->text(), QStringLiteral("200"));
    QCOMPARE(right()->velocityField(0)->text(), QStringLiteral("6.667"));

    // A third of the view's height each; more than three scroll.
    CKorvaneView* view = frame_->mainView();
    QCOMPARE(view->shownPanels(), points);
    QCOMPARE(view->panel(0)->height(), view->viewport()->height() / 3);
    QCOMPARE(view->verticalScrollBar()->isVisible(), points > 3);
    QCOMPARE(view->widget()->height(), points * view->panelHeight());
  }

  void clickMovesArrivalAndAmplitudeTogether() {
    makeFrame(2, 3);
    showFrame();
    CNodeCtrl* panel = frame_->mainView()->panel(1);
    const int y = panel->height() / 2;
    const double sx = (panel->areaWidth() - 37) / (512 * 0.5);

    // The sample nearest to the time under x = 15 + 40 us: sample 80.
    const int x = 15 + static_cast<int>(std::lround(40.0 * sx));
    const int expected = static_cast<int>(std::floor((x - 15) / sx / 0.5 + 0.5));
    const float velocityBefore = zone().zoneVelocity;
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(x, y));
    const MeasuringPoint& point = *zone().points[1];
    // The zone's V and Va follow the new time at once.
    QVERIFY(zone().zoneVelocity != velocityBefore);
    QCOMPARE(form()->velocityField()->text(), FormatFixed(zone().zoneVelocity, 3));
    QCOMPARE(point.arrivalIndex, expected);
    QCOMPARE(point.amplitudeIndex, expected);
    const float time = static_cast<float>(expected) * 0.5f;
    const float amplitude = (TestWaveCode(expected) - 2048) * 2.0f / 2048.0f / 2.0f * 1000.0f;
    QCOMPARE(right()->timeField(1)->text(), FormatFixed(time, 2));
    QCOMPARE(right()->amplitudeField(1)->text(), FormatFixed(amplitude, 2));
    QCOMPARE(right()->velocityField(1)->text(), FormatFixed(200.0f / time, 3));
    QCOMPARE(form()->pointVelocityField(1)->text(), FormatFixed(200.0f / time, 3));
    QVERIFY(model_->isModified());
    QCOMPARE(zone().points[0]->arrivalIndex, 60);  // the other points stay

    // A distance typed into L2 and Enter: the point's velocity follows.
    right()->distanceField(1)->setText(QStringLiteral("300"));
    emit right()->distanceField(1)->returnPressed();
    QCOMPARE(point.distance, 300.0f);
    QCOMPARE(right()->velocityField(1)->text(), FormatFixed(300.0f / time, 3));
    QCOMPARE(form()->pointVelocityField(1)->text(), FormatFixed(300.0f / time, 3));

    // Left of the axis: both indices become 1.
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(5, y));
    QCOMPARE(point.arrivalIndex, 1);
    QCOMPARE(point.amplitudeIndex, 1);
    QCOMPARE(right()->timeField(1)->text(), QStringLiteral("0.50"));

    // Moving the mouse shows the readout of the sample under it and the
    // cursor line; the last five pixels before the slider show nothing.
    const int peakX = 15 + static_cast<int>(std::lround(32.0 * sx));  // sample 64
    QTest::mouseMove(panel, QPoint(peakX, y));
    QTRY_VERIFY(panel->cursorShown());
    QCOMPARE(panel->cursorX(), peakX);
    QCOMPARE(right()->amplitudeField(1)->text(), QStringLiteral("424.80"));
    QCOMPARE(right()->timeField(1)->text(), QStringLiteral("32.00"));
    QTest::mouseMove(panel, QPoint(panel->areaWidth() - 3, y));
    QTest::qWait(20);
    QCOMPARE(panel->cursorX(), peakX);
  }

  // The slider's range and start; moving it redraws the waveform at the
  // zoom of its position (the position-to-zoom table is the core's), and
  // moving it back gives the same picture again.
  void zoomSliderRedrawsTheWaveform() {
    makeFrame(1, 3);
    showFrame();
    CNodeCtrl* panel = frame_->mainView()->panel(0);
    QSlider* slider = panel->zoomSlider();
    QCOMPARE(slider->minimum(), 0);
    QCOMPARE(slider->maximum(), 100);
    QCOMPARE(slider->value(), 80);
    QCOMPARE(slider->tickInterval(), 10);
    QVERIFY(slider->invertedAppearance());  // position 0, the largest zoom, at the top
    QCOMPARE(panel->zoomFactor(), 1.0f);
    const QRect waveform(0, 0, panel->areaWidth(), panel->height());
    const QImage atStart = panel->grab(waveform).toImage();
    slider->setValue(40);
    QCOMPARE(panel->zoomFactor(), ZoomFactorForSlider(40));
    QVERIFY(panel->grab(waveform).toImage() != atStart);
    slider->setValue(80);
    QCOMPARE(panel->grab(waveform).toImage(), atStart);
  }

  // The readout of the sample under the mouse stands in the point's fields
  // only while the cursor line does: when the mouse leaves the panel, the
  // view scrolls or the panel is zoomed, the point's stored readings return.
  void readoutGoesWithTheCursorLine_data() {
    QTest::addColumn<QString>("action");
    QTest::newRow("mouse leaves") << QStringLiteral("leave");
    QTest::newRow("view scrolls") << QStringLiteral("scroll");
    QTest::newRow("zoom") << QStringLiteral("zoom");
  }
  void readoutGoesWithTheCursorLine() {
    QFETCH(QString, action);
    makeFrame(2, 7, Standard::CECS02_2020);  // seven panels: the view scrolls
    showFrame();
    CKorvaneView* view = frame_->mainView();
    CNodeCtrl* panel = view->panel(1);
    const double sx = (panel->areaWidth() - 37) / (512 * 0.5);
    const int x = 15 + static_cast<int>(std::lround(40.0 * sx));
    QTest::mouseMove(panel, QPoint(x - 3, panel->height() / 2));  // a move, also where the last row ended
    QTest::mouseMove(panel, QPoint(x, panel->height() / 2));
    QTRY_VERIFY(panel->cursorShown());
    QTRY_COMPARE(panel->cursorX(), x);
    QCOMPARE(right()->timeField(1)->text(), QStringLiteral("40.00"));  // sample 80
    QCOMPARE(right()->velocityField(1)->text(), QStringLiteral("5.000"));

    if (action == QLatin1String("leave")) {
      QEvent leave(QEvent::Leave);
      QCoreApplication::sendEvent(panel, &leave);
    } else if (action == QLatin1String("scroll")) {
      QVERIFY(view->verticalScrollBar()->maximum() > 0);
      view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
    } else {
      panel->zoomSlider()->setValue(40);
    }
    QVERIFY(!panel->cursorShown());
    QCOMPARE(right()->timeField(1)->text(), QStringLiteral("30.00"));
    QCOMPARE(right()->amplitudeField(1)->text(), QStringLiteral("424.80"));
    QCOMPARE(right()->velocityField(1)->text(), QStringLiteral("6.667"));
  }

  // A first arrival where none can be is kept as picked, and the status bar
  // names its point until an edit makes it plausible; the newest such point
  // is named first.
  void implausibleArrivalIsNamedUntilMoved() {
    makeFrame(2, 3);
    showFrame();
    const QLabel* note = frame_->arrivalNote();
    QVERIFY(note->isHidden());
    frame_->onNextZone();
    QTest::mouseClick(frame_->mainView()->panel(1), Qt::LeftButton, {}, QPoint(5, 40));
    QCOMPARE(zone().points[1]->arrivalIndex, 1);
    const QString early =
        QStringLiteral("构件“柱1”测区2测点2的声时不合理（T=0.50us，V=400.000km/s），请重新选取首波");
    QVERIFY(note->isVisibleTo(frame_.get()));
    QCOMPARE(note->text(), early);

    // Another point picked, another zone shown: the note stays.
    model_->pickArrival(0, 70);
    frame_->onPreviousZone();
    QCOMPARE(note->text(), early);
    // A distance typed ten times too long: named first; put right, the
    // earlier note returns.
    model_->setPointDistance(2, 2000.0f);
    QCOMPARE(note->text(),
             QStringLiteral("构件“柱1”测区1测点3的声速不合理（T=30.00us，V=66.667km/s），请重新选取首波"));
    model_->setPointDistance(2, 200.0f);
    QCOMPARE(note->text(), early);
    // The arrival moved to where it can be: no note.
    model_->edit("拾取首波", [](CKorvaneDoc& d) {
      return PickArrival(d, {0, 1}, 1, 60, PickPanel::PointPanel);
    });
    QVERIFY(note->isHidden());
    QVERIFY(prompter_.messages.isEmpty());
  }

  void zoneNavigationStopsAtTheEnds() {
    makeFrame(3, 3);
    QAction* previous = frame_->action(cmd::kPreviousZone);
    QAction* next = frame_->action(cmd::kNextZone);
    QVERIFY(!previous->isEnabled());
    QVERIFY(next->isEnabled());
    frame_->onPreviousZone();
    QCOMPARE(prompter_.messages, QStringList{QStringLiteral("当前为构件第一个测区")});
    QCOMPARE(model_->doc().currentZone, 0);

    next->trigger();
    next->trigger();
    QCOMPARE(model_->doc().currentZone, 2);
    QCOMPARE(form()->zoneList()->currentText(), QStringLiteral("3"));
    QVERIFY(previous->isEnabled());
    QVERIFY(!next->isEnabled());
    frame_->onNextZone();
    QCOMPARE(prompter_.messages.last(), QStringLiteral("当前为构件最后一个测区"));
    QCOMPARE(model_->doc().currentZone, 2);

    // Choosing a zone in the form goes the same way.
    emit form()->zoneList()->activated(0);
    QCOMPARE(model_->doc().currentZone, 0);
    QVERIFY(!previous->isEnabled());
  }

  // A test position the list does not hold (a file's "外侧面") is shown as
  // the zone holds it, as an extra entry, with the β the zone holds;
  // choosing it again changes nothing, choosing another applies its rule.
  void positionOutsideTheListIsShownAsHeld() {
    struct Case {
      TestMethod method;
      const char* held;
      QStringList entries;
    };
    const Case cases[] = {
        {TestMethod::Surface, "外侧面", {"顶面", "底面", "侧面", "外侧面"}},
        {TestMethod::Surface, "", {"顶面", "底面", "侧面", ""}},
        {TestMethod::Direct, "顶面", {"侧面", "顶面底面间", "顶面"}},
        {TestMethod::Surface, "底面", {"顶面", "底面", "侧面"}},
    };
    for (const Case& c : cases) {
      makeFrame(1, 3);
      zone().testMethod = c.method;
      zone().testLocation = c.held;
      zone().beta = 1.0f;
      emit model_->zoneChanged();
      QComboBox* list = form()->locationList();
      QStringList entries;
      for (int i = 0; i < list->count(); ++i) entries << list->itemText(i);
      QCOMPARE(entries, c.entries);
      QCOMPARE(list->currentText(), QString::fromUtf8(c.held));
      QCOMPARE(form()->betaField()->text(), QStringLiteral("1.000"));
      if (c.entries.size() == 3) continue;
      emit list->activated(list->count() - 1);
      QCOMPARE(zone().testLocation, std::string(c.held));
      QCOMPARE(zone().beta, 1.0f);
      QVERIFY(!model_->undoStack()->canUndo());
      emit list->activated(0);
      QCOMPARE(list->count(), c.entries.size() - 1);
      QCOMPARE(zone().testLocation, c.entries[0].toStdString());
      QCOMPARE(form()->betaField()->text(),
               c.method == TestMethod::Surface ? QStringLiteral("1.050") : QStringLiteral("1.000"));
    }
  }

  void betaLambdaRuleOnMethodAndPosition() {
    makeFrame(1, 3);
    zone().lambda = 0.9f;
    emit form()->methodList()->activated(static_cast<int>(TestMethod::Direct));
    QCOMPARE(zone().testMethod, TestMethod::Direct);
    QCOMPARE(zone().testLocation, std::string("侧面"));
    QCOMPARE(form()->locationList()->currentText(), QStringLiteral("侧面"));
    QCOMPARE(form()->locationList()->count(), 2);
    QCOMPARE(form()->betaField()->text(), QStringLiteral("1.000"));
    QCOMPARE(form()->lambdaField()->text(), QStringLiteral("1.000"));
    QVERIFY(!form()->lambdaField()->isEnabled());
    QVERIFY(!form()->betaField()->isReadOnly());

    emit form()->methodList()->activated(static_cast<int>(TestMethod::Surface));
    QCOMPARE(form()->locationList()->currentText(), QStringLiteral("顶面"));
    QCOMPARE(form()->betaField()->text(), QStringLiteral("1.050"));
    emit form()->locationList()->activated(1);
    QCOMPARE(zone().testLocation, std::string("底面"));
    QCOMPARE(form()->betaField()->text(), QStringLiteral("0.950"));
    QVERIFY(form()->betaField()->isReadOnly());
    QVERIFY(form()->lambdaField()->isEnabled() && !form()->lambdaField()->isReadOnly());
    // Va = 0.95 λ V, shown with V.
    QVERIFY(zone().zoneVelocity > 0.0f);
    QCOMPARE(zone().lambda, 1.0f);  // set by "对测" before
    QCOMPARE(zone().correctedVelocity, zone().zoneVelocity * 0.95f);
    QCOMPARE(form()->velocityField()->text(), FormatFixed(zone().zoneVelocity, 3));
    QCOMPARE(form()->correctedVelocityField()->text(), FormatFixed(zone().correctedVelocity, 3));

    // λ beyond 10 is refused with its message; the field keeps the text.
    form()->lambdaField()->setText(QStringLiteral("12"));
    emit form()->lambdaField()->returnPressed();
    QCOMPARE(zone().lambda, 1.0f);
    QCOMPARE(prompter_.messages, QStringList{QStringLiteral("λ须为0～10之间的数")});
    QCOMPARE(form()->lambdaField()->text(), QStringLiteral("12"));
    EnterText(form()->lambdaField(), QStringLiteral("10"));
    QCOMPARE(zone().lambda, 10.0f);
    QCOMPARE(form()->lambdaField()->text(), QStringLiteral("10.000"));

    emit form()->methodList()->activated(static_cast<int>(TestMethod::Angle));
    QVERIFY(!form()->locationList()->isEnabled());
    QVERIFY(!form()->betaField()->isEnabled());
    QVERIFY(!form()->lambdaField()->isEnabled());
    QVERIFY(model_->isModified());
  }

  void methodListFollowsTheLock_data() {
    QTest::addColumn<int>("standard");
    QTest::addColumn<int>("method");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("TB 10426-2019") << static_cast<int>(Standard::TB10426_2019)
                                   << static_cast<int>(TestMethod::Direct) << false;
    QTest::newRow("DB61/T 1084-2017")
        << static_cast<int>(Standard::DB61T1084_2017) << static_cast<int>(TestMethod::Direct) << false;
    QTest::newRow("CECS 02:2005 surface")
        << static_cast<int>(Standard::CECS02_2005) << static_cast<int>(TestMethod::Surface) << true;
    QTest::newRow("CECS 02-2020 surface")
        << static_cast<int>(Standard::CECS02_2020) << static_cast<int>(TestMethod::Surface) << false;
    QTest::newRow("CECS 02-2020 direct")
        << static_cast<int>(Standard::CECS02_2020) << static_cast<int>(TestMethod::Direct) << true;
  }
  void methodListFollowsTheLock() {
    QFETCH(int, standard);
    QFETCH(int, method);
    QFETCH(bool, enabled);
    makeFrame(1, 3, static_cast<Standard>(standard));
    zone().testMethod = static_cast<TestMethod>(method);
    model_->notifyZoneDataChanged();
    QCOMPARE(form()->methodList()->isEnabled(), enabled);
  }

  // The analysis screen's views will edit any zone through the model: the
  // model relays what the edit changed, and nothing for a refused edit.
  void editsOfAnyZoneAreRelayed() {
    makeFrame(2, 3);
    QSignalSpy data(model_.get(), &DocumentModel::zoneDataChanged);
    QSignalSpy edited(model_.get(), &DocumentModel::edited);
    QSignalSpy modified(model_.get(), &DocumentModel::modifiedChanged);
    const EditResult refused = model_->edit("修改回弹值", [](CKorvaneDoc& d) {
      return SetReading(d, {0, 1}, 0, 100);
    });
    QCOMPARE(QString::fromStdString(refused.message), QStringLiteral("回弹值须为0～99之间的整数"));
    QCOMPARE(data.count() + edited.count() + modified.count(), 0);
    model_->edit("修改回弹值", [](CKorvaneDoc& d) { return SetReading(d, {0, 1}, 0, 40); });
    QCOMPARE(data.count(), 1);
    QCOMPARE(edited.count(), 1);
    QCOMPARE(modified.count(), 1);
    QCOMPARE(model_->doc().Zone(0, 1)->rebound[0], 40);
    QVERIFY(model_->isModified());
  }

  // A project text loses its outer blanks when the field is left, in the
  // field, the document (and so the file) alike, within the typing's one
  // undo step; blanks inside stay.
  void projectTextsAreTrimmedWhenLeft() {
    makeFrame(1, 3);
    const std::string before = model_->doc().project.site;
    QLineEdit* site = form()->siteField();
    site->setFocus();
    site->selectAll();
    QTest::keyClicks(site, QStringLiteral("  Tower B  East  "));
    QCOMPARE(model_->doc().project.site, std::string("  Tower B  East  "));
    emit site->editingFinished();
    QCOMPARE(site->text(), QStringLiteral("Tower B  East"));
    QCOMPARE(model_->doc().project.site, std::string("Tower B  East"));
    model_->undo();
    QCOMPARE(model_->doc().project.site, before);
  }

  void unstorableTextIsRefused() {
    makeFrame(1, 3);
    QLineEdit* site = form()->siteField();
    QTest::keyClicks(site, QStringLiteral("A"));
    site->insert(QStringLiteral("一号楼"));
    QCOMPARE(model_->doc().project.site, std::string("A一号楼"));
    site->insert(QStringLiteral("\n二层"));
    QCOMPARE(site->text(), QStringLiteral("A一号楼"));
    QCOMPARE(model_->doc().project.site, std::string("A一号楼"));

    // Renaming the member keeps its place in the list; a line break is refused.
    QLineEdit* name = form()->memberList()->lineEdit();
    name->setText(QStringLiteral("梁2"));
    emit name->returnPressed();
    QCOMPARE(model_->doc().members[0].name, std::string("梁2"));
    QCOMPARE(form()->memberList()->count(), 1);
    QCOMPARE(form()->memberList()->itemText(0), QStringLiteral("梁2"));
    QVERIFY(!model_->renameMember(QStringLiteral("梁\r3")));
    QCOMPARE(model_->doc().members[0].name, std::string("梁2"));

    // A test position longer than a file column holds is refused.
    QVERIFY(!model_->setTestLocation(QStringLiteral("顶面底面间顶面底面间侧")));
    QCOMPARE(zone().testLocation, std::string("侧面"));
    QVERIFY(model_->setTestLocation(QStringLiteral("顶面底面间顶面底面间")));
  }

  // An arrival line through the point label goes under it: the label's
  // text stays readable on its own background.
  void pointLabelIsDrawnOverTheArrivalLine() {
    QImage image(300, 120, QImage::Format_RGB32);
    QPainter painter(&image);
    PanelPicture pic;
    pic.axisY = 60;
    pic.trace = {{15, 60}, {280, 60}};
    pic.hasArrival = true;
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(13);
    const int c = QFontMetrics(font).horizontalAdvance(QStringLiteral("A (mv)"));
    pic.arrivalX = c + 56;  // inside the label, beside its left edge
    PaintPointPanel(painter, image.size(), pic, 0, 2.0f, 0.0f);
    painter.end();
    const QColor inLabel = image.pixelColor(pic.arrivalX, 3);
    QVERIFY2(inLabel != QColor(255, 0, 0), qPrintable(inLabel.name()));
    QCOMPARE(image.pixelColor(pic.arrivalX, 110), QColor(255, 0, 0));
  }
};

int RunMainScreenTests(int argc, char** argv) {
  MainScreenTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace korvane::gui::test

#include "main_screen_test.moc"
