// A day of data entry without a mouse: Tab and F6 across the panes of the
// analysis screen, the rebound table in the field sheet's order, the menu
// mnemonics of both screens, and the toolbar that must not take the second
// click of a double click.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QToolBar>
#include <QtTest>
#include <memory>

#include "core/app/document_edits.h"
#include "core/forms/rebound_table_layout.h"
#include "gui/analysis_screen/analysis_form.h"
#include "gui/analysis_screen/waveform_view.h"
#include "gui/analysis_screen/zone_tables_view.h"
#include "gui/commands.h"
#include "gui/document/document_model.h"
#include "gui/main_frame.h"
#include "gui/main_screen/point_panels_view.h"
#include "gui/main_screen/project_bar.h"
#include "gui/widgets/grid_ctrl.h"
#include "gui/widgets/pane_focus.h"
#include "gui/widgets/point_panel.h"
#include "gui_test_support.h"
#include "support/sample_documents.h"

namespace korvane::gui::test {

using korvane::testing::MakeEditingDoc;

class KeyboardTest : public QObject, protected WindowFixture<> {
  Q_OBJECT

 private:
  void openAnalysis() {
    makeFrame(MakeEditingDoc(), CMainFrame::UiSettings::ReadOnly);
    showFrame();
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    frame_->onOutput();
    QCoreApplication::processEvents();
  }
  CGridCtrl* rebound() { return frame_->downView()->grid(); }
  static QWidget* focused() { return QApplication::focusWidget(); }
  static void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(focused(), static_cast<Qt::Key>(key), modifiers);
    QCoreApplication::processEvents();
  }
  // Types `text` into the focus widget key by key, as a user does.
  static void type(const QString& text) {
    for (QChar c : text) QTest::keyClicks(focused(), QString(c));
  }
  void focusOn(QWidget* w) {
    w->setFocus(Qt::OtherFocusReason);
    QTRY_VERIFY(w->hasFocus());
  }

 private slots:
  void cleanup() { resetFrame(); }

  // Tab goes form → waveform view → zone grid → rebound table → form, and
  // Shift+Tab back; neither grid keeps it.
  void tabCrossesEveryPaneAndWraps() {
    openAnalysis();
    QWidget* first = frame_->analysisForm()->standardList();
    focusOn(first);
    QList<QWidget*> visited;
    for (int i = 0; i < 60 && (visited.isEmpty() || focused() != first); ++i) {
      press(Qt::Key_Tab);
      visited << focused();
    }
    QCOMPARE(visited.last(), first);
    const QList<QWidget*> central = {frame_->analysisView(), frame_->analysisView()->zoneGrid()->tableView(),
                                     rebound()->tableView()};
    const auto at = visited.indexOf(central.first());
    QVERIFY(at > 0);
    QCOMPARE(visited.mid(at), central + QList<QWidget*>{first});
    for (QWidget* w : visited.mid(0, at)) QCOMPARE(frame_->paneFocus()->paneOf(w), 0);

    press(Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(focused(), rebound()->tableView());
    press(Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(focused(), central[1]);
  }

  // The main screen's point panels take the focus with F6 and Tab; Left
  // and Right move the first arrival as a click does (Shift: ten samples),
  // one undoable step each; Up and Down go from point to point.
  void pointPanelsTakeTheKeyboard() {
    makeFrame(MakeWaveformDoc(1, 3), CMainFrame::UiSettings::ReadOnly);
    showFrame();
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    focusOn(frame_->mainForm()->siteField());
    press(Qt::Key_F6);
    CNodeCtrl* first = frame_->mainView()->panel(0);
    QCOMPARE(focused(), first);
    const TestZone& zone = *model_->doc().GetCurrentZone();
    struct Step {
      int key;
      Qt::KeyboardModifiers modifiers;
      int slot;     // the panel that has the focus afterwards
      int arrival;  // its first arrival afterwards
    };
    const int start = zone.points[0]->arrivalIndex;
    const int second = zone.points[1]->arrivalIndex;
    const Step steps[] = {
        {Qt::Key_Left, Qt::NoModifier, 0, start - 1},
        {Qt::Key_Right, Qt::ShiftModifier, 0, start + 9},
        {Qt::Key_Down, Qt::NoModifier, 1, second},
        {Qt::Key_Right, Qt::NoModifier, 1, second + 1},
        {Qt::Key_Up, Qt::NoModifier, 0, start + 9},
        {Qt::Key_Up, Qt::NoModifier, 2, zone.points[2]->arrivalIndex},  // round to the last
    };
    for (const Step& s : steps) {
      press(s.key, s.modifiers);
      QCOMPARE(focused(), frame_->mainView()->panel(s.slot));
      QCOMPARE(model_->doc().GetCurrentZone()->points[static_cast<std::size_t>(s.slot)]->arrivalIndex,
               s.arrival);
    }
    QCOMPARE(model_->undoStack()->count(), 3);
    model_->undoStack()->undo();
    QCOMPARE(model_->doc().GetCurrentZone()->points[1]->arrivalIndex, second);

    // Tab goes through the panels on to the right-hand column.
    focusOn(first);
    press(Qt::Key_Tab);
    QCOMPARE(focused(), frame_->mainView()->panel(1));
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    QCOMPARE(frame_->paneFocus()->paneOf(focused()), 2);
  }

  // A read-only field with the keyboard focus is framed in the highlight
  // colour (it shows no text cursor); without the focus it is not.
  void readOnlyFieldsShowTheFocus() {
    makeFrame(MakeWaveformDoc(1, 3), CMainFrame::UiSettings::ReadOnly);
    showFrame();
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    QLineEdit* field = frame_->mainForm()->velocityField();
    QVERIFY(field->isReadOnly());
    const QColor highlight = field->palette().color(QPalette::Highlight);
    const auto framed = [&] {
      const QImage picture = field->grab().toImage();
      return picture.pixelColor(1, picture.height() / 2) == highlight &&
             picture.pixelColor(picture.width() / 2, 1) == highlight;
    };
    QVERIFY(!framed());
    focusOn(field);
    QVERIFY(framed());
    focusOn(frame_->mainForm()->siteField());
    QVERIFY(!framed());
  }

  // F6 and Shift+F6 go from pane to pane, back to the control last used.
  void f6CyclesThePanes() {
    openAnalysis();
    QWidget* eta = frame_->analysisForm()->etaField();
    focusOn(eta);
    const QList<int> forward = {1, 2, 0};
    for (int pane : forward) {
      press(Qt::Key_F6);
      QCOMPARE(frame_->paneFocus()->paneOf(focused()), pane);
    }
    QCOMPARE(focused(), eta);
    press(Qt::Key_F6, Qt::ShiftModifier);
    QCOMPARE(focused(), rebound()->tableView());
  }

  // Sixteen readings, the angle from its list, the surface kept and the
  // carbonation depth, all typed with Enter between them, as the field
  // sheet lists them; then the next zone's R1 has the focus.
  void readingsAreTypedInFieldSheetOrder() {
    openAnalysis();
    CGridCtrl* grid = rebound();
    focusOn(grid->tableView());
    QVERIFY(grid->setFocusCell(1, 1));
    for (int i = 0; i < 16; ++i) {
      type(QString::number(30 + i));
      QVERIFY2(grid->isEditing(), qPrintable(QString::number(i)));
      press(Qt::Key_Return);
      QTRY_VERIFY(!grid->isEditing());
    }
    const ReboundColumns c = ReboundTableColumns(16);
    QCOMPARE(grid->focusCell(), (GridCellPos{1, c.angle}));
    // Alt+Down opens the angle list; the arrow keys choose in it.
    press(Qt::Key_Down, Qt::AltModifier);
    auto* list = qobject_cast<QComboBox*>(grid->tableView()->indexWidget(grid->tableView()->currentIndex()));
    QVERIFY(list != nullptr);
    QTRY_VERIFY(list->view()->isVisible());
    const int entry = AngleEntryOf(-45);
    list->view()->setCurrentIndex(list->view()->model()->index(entry, 0));
    QTest::keyClick(list->view(), Qt::Key_Return);
    QTRY_COMPARE(grid->focusCell(), (GridCellPos{1, c.surface}));
    // Enter on a cell not being edited keeps its value and moves on.
    focusOn(grid->tableView());
    press(Qt::Key_Return);
    QCOMPARE(grid->focusCell(), (GridCellPos{1, c.carbonation}));
    type(QStringLiteral("1.5"));
    press(Qt::Key_Return);
    QTRY_COMPARE(grid->focusCell(), (GridCellPos{3, 1}));

    const TestZone& zone = *model_->doc().Zone(0, 0);
    for (int i = 0; i < 16; ++i) QCOMPARE(zone.rebound[static_cast<std::size_t>(i)], 30 + i);
    QCOMPARE(zone.angle, -45);
    QCOMPARE(zone.carbonationDepth, 1.5f);
    QCOMPARE(model_->doc().currentZone, 1);

    // A refused reading keeps the focus on its cell; Shift+Enter goes back.
    type(QStringLiteral("200"));
    press(Qt::Key_Return);
    QTRY_VERIFY(!grid->isEditing());
    QCOMPARE(prompter_.messages.size(), 1);
    QCOMPARE(grid->focusCell(), (GridCellPos{3, 1}));
    press(Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(grid->focusCell(), (GridCellPos{1, c.carbonation}));
  }

  // Alt+F opens the file menu on both screens.
  void mnemonicsWorkOnBothScreens() {
    openAnalysis();
    for (auto screen : {CMainFrame::Screen::Analysis, CMainFrame::Screen::Main}) {
      frame_->showScreen(screen);
      QMenu* file = frame_->menus(screen).first();
      focusOn(screen == CMainFrame::Screen::Main ? static_cast<QWidget*>(frame_->mainForm()->siteField())
                                                 : frame_->analysisForm()->etaField());
      QTest::keyClick(frame_.get(), Qt::Key_F, Qt::AltModifier);
      QTRY_VERIFY2(file->isVisible(), screen == CMainFrame::Screen::Main ? "main" : "analysis");
      file->close();
      QTRY_VERIFY(!file->isVisible());
    }
  }

  // The second click of a double click on "输出" lands where "输出到PDF" now
  // is: it does nothing; a click after the double-click interval works.
  void newToolbarIgnoresTheSecondClick() {
    makeFrame(MakeEditingDoc(), CMainFrame::UiSettings::ReadOnly);
    showFrame();
    QWidget* output = frame_->mainToolBar()->widgetForAction(frame_->action(cmd::kOutput));
    QTest::mouseClick(output, Qt::LeftButton);
    QCOMPARE(frame_->screen(), CMainFrame::Screen::Analysis);
    QWidget* pdf = frame_->analysisToolBar()->widgetForAction(frame_->action(cmd::kPdf));
    QTest::mouseDClick(pdf, Qt::LeftButton);
    QTest::mouseClick(pdf, Qt::LeftButton);
    QCOMPARE(prompter_.saveTitles.size(), 0);
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseClick(pdf, Qt::LeftButton);
    QTRY_COMPARE(prompter_.saveTitles.size(), 1);
  }
};

int RunKeyboardTests(int argc, char** argv) {
  KeyboardTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace korvane::gui::test

#include "keyboard_test.moc"
