// The grid control between widget and layout: edit signals (also for an
// unchanged edit), cells outside the table, the focus when rows go away, row
// and row-pair selection, copying, list cells, clicks, and whole layouts.
#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>
#include <memory>

#include "core/forms/rebound_table_layout.h"
#include "core/forms/zone_grid_layout.h"
#include "core/standards/standards.h"
#include "gui/widgets/grid_ctrl.h"
#include "gui_test_support.h"

namespace korvane::gui::test {

class GridCtrlTest : public QObject {
  Q_OBJECT

 private:
  // rows × columns with one fixed row and column; body cell (r, c) holds
  // "r,c" and is editable.
  void makeGrid(int rows, int columns) {
    grid_ = std::make_unique<CGridCtrl>();
    grid_->resize(900, 400);
    QVERIFY(grid_->setColumnCount(columns));
    QVERIFY(grid_->setRowCount(rows));
    QVERIFY(grid_->setFixedRowCount(1));
    QVERIFY(grid_->setFixedColumnCount(1));
    for (int r = 1; r < rows; ++r) {
      for (int c = 1; c < columns; ++c) {
        QVERIFY(grid_->setItemText(r, c, QStringLiteral("%1,%2").arg(r).arg(c)));
        QVERIFY(grid_->setItemEditable(r, c, true));
      }
    }
    grid_->show();
    QVERIFY(QTest::qWaitForWindowExposed(grid_.get()));
  }
  QTableView* view() const { return grid_->tableView(); }
  QPoint centreOf(int row, int column) const {
    const QModelIndex index =
        view()->model()->index(row - grid_->fixedRowCount(), column - grid_->fixedColumnCount());
    return view()->visualRect(index).center();
  }
  // The open editor of the focus cell (closed ones may linger until deleted).
  QLineEdit* lineEditor() const {
    return qobject_cast<QLineEdit*>(view()->indexWidget(view()->currentIndex()));
  }

  std::unique_ptr<CGridCtrl> grid_;

 private slots:
  void cleanup() { grid_.reset(); }

  void editEndFollowsEveryEditBegin() {
    makeGrid(4, 4);
    grid_->setNotifyKind(1);
    QSignalSpy began(grid_.get(), &CGridCtrl::editBegan);
    QSignalSpy ended(grid_.get(), &CGridCtrl::editEnded);
    QStringList textAtEnd;
    connect(grid_.get(), &CGridCtrl::editEnded, this,
            [&](int row, int column) { textAtEnd << grid_->itemText(row, column); });

    // Unchanged text, Enter: the edit still ends with the signal.
    QVERIFY(grid_->editCell(2, 3));
    QCOMPARE(began.count(), 1);
    QCOMPARE(began.at(0).at(0).toInt(), 1);
    QVERIFY(lineEditor() != nullptr);
    QTest::keyClick(lineEditor(), Qt::Key_Return);
    QTRY_COMPARE(ended.count(), 1);
    QCOMPARE(ended.at(0).at(0).toInt(), 2);
    QCOMPARE(ended.at(0).at(1).toInt(), 3);
    QVERIFY(!grid_->isModified());
    QVERIFY(!grid_->isEditing());

    // A changed text is stored before the signal.
    QVERIFY(grid_->editCell(2, 3));
    lineEditor()->setText(QStringLiteral("77"));
    QTest::keyClick(lineEditor(), Qt::Key_Enter);
    QTRY_COMPARE(ended.count(), 2);
    QCOMPARE(textAtEnd.last(), QStringLiteral("77"));
    QVERIFY(grid_->isModified());

    // Escape: text kept, edit ended.
    QVERIFY(grid_->editCell(1, 1));
    lineEditor()->setText(QStringLiteral("x"));
    QTest::keyClick(lineEditor(), Qt::Key_Escape);
    QTRY_COMPARE(ended.count(), 3);
    QCOMPARE(grid_->itemText(1, 1), QStringLiteral("1,1"));

    // Typing on the focus cell starts an edit; Tab ends it and moves on.
    QVERIFY(grid_->setFocusCell(3, 1));
    QTest::keyClick(view(), Qt::Key_5);
    QCOMPARE(began.count(), 4);
    QVERIFY(lineEditor() != nullptr);
    QTest::keyClick(lineEditor(), Qt::Key_Tab);
    QTRY_COMPARE(ended.count(), 4);
    QCOMPARE(ended.last().at(0).toInt(), 3);
    QCOMPARE(ended.last().at(1).toInt(), 1);
    QCOMPARE(grid_->itemText(3, 1), QStringLiteral("5"));
    QCOMPARE(grid_->focusCell(), (GridCellPos{3, 2}));
    QVERIFY(!grid_->isEditing());

    // F2 starts an edit too; read-only cells do not edit.
    QTest::keyClick(view(), Qt::Key_F2);
    QCOMPARE(began.count(), 5);
    QTest::keyClick(lineEditor(), Qt::Key_Escape);
    QTRY_COMPARE(ended.count(), 5);
    QVERIFY(grid_->setItemEditable(1, 2, false));
    QVERIFY(!grid_->editCell(1, 2));
    QVERIFY(!grid_->editCell(0, 1));  // a header
    QCOMPARE(began.count(), 5);
    QCOMPARE(textAtEnd.size(), 5);
  }

  void cellsOutsideTheTable() {
    makeGrid(3, 3);
    const QList<QPair<int, int>> outside = {{-1, 0}, {3, 0}, {0, 3}, {0, -1}, {100, 100}};
    for (const auto& [row, column] : outside) {
      QVERIFY(!grid_->setItemText(row, column, QStringLiteral("x")));
      QCOMPARE(grid_->itemText(row, column), QString());
      QVERIFY(!grid_->setItemBackground(row, column, Qt::red));
      QVERIFY(!grid_->setFocusCell(row, column));
    }
    // Header cells take texts but not the focus.
    QVERIFY(grid_->setItemText(0, 2, QStringLiteral("头")));
    QCOMPARE(grid_->itemText(0, 2), QStringLiteral("头"));
    QVERIFY(!grid_->setFocusCell(0, 2));
    QVERIFY(!grid_->setFixedRowCount(4));
  }

  void reducingRowsBelowTheFocusClearsIt() {
    makeGrid(6, 3);
    QSignalSpy rows(grid_.get(), &CGridCtrl::rowSelected);
    QVERIFY(grid_->setFocusCell(4, 1));
    QCOMPARE(rows.count(), 1);
    QVERIFY(grid_->setRowCount(4));
    QCOMPARE(grid_->focusCell(), GridCellPos{});
    QCOMPARE(grid_->itemText(3, 2), QStringLiteral("3,2"));

    // A focus row that remains stays, without notifications.
    QVERIFY(grid_->setFocusCell(2, 2));
    QCOMPARE(rows.count(), 2);
    QVERIFY(grid_->setRowCount(3));
    QCOMPARE(grid_->focusCell(), (GridCellPos{2, 2}));
    QCOMPARE(rows.count(), 2);
    // Growing again gives empty cells.
    QVERIFY(grid_->setRowCount(5));
    QCOMPARE(grid_->itemText(4, 1), QString());
    QCOMPARE(grid_->rowHeight(4), CGridCtrl::kDefaultRowHeight);
  }

  void rowPairsInTheReboundTable() {
    // 16 columns, two zones in rows 1-2 and 3-4.
    makeGrid(5, 16);
    grid_->setRowSelection(true);
    grid_->setRowPairs(true);
    grid_->setNotifyKind(1);
    QSignalSpy rows(grid_.get(), &CGridCtrl::rowSelected);
    QSignalSpy columns(grid_.get(), &CGridCtrl::columnFocused);

    QVERIFY(grid_->setFocusCell(2, 5));
    QCOMPARE(rows.count(), 1);
    QCOMPARE(rows.at(0), (QList<QVariant>{2, 1}));
    QCOMPARE(columns.at(0), (QList<QVariant>{5, 1}));
    for (int r = 1; r < 5; ++r) {
      for (int c = 1; c < 16; ++c) QCOMPARE(grid_->isCellSelected(r, c), r <= 2);
    }
    // Down from row 2 selects the next zone's pair.
    view()->setFocus();
    QTest::keyClick(view(), Qt::Key_Down);
    QCOMPARE(grid_->focusCell(), (GridCellPos{3, 5}));
    QVERIFY(!grid_->isCellSelected(2, 5));
    QVERIFY(grid_->isCellSelected(3, 1));
    QVERIFY(grid_->isCellSelected(4, 15));

    // Without pairs: the rows from the anchor to the focus (Shift extends).
    grid_->setRowPairs(false);
    QVERIFY(grid_->setFocusCell(1, 3));
    QVERIFY(!grid_->isCellSelected(2, 3));
    QTest::keyClick(view(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(view(), Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(grid_->focusCell(), (GridCellPos{3, 3}));
    for (int r = 1; r < 5; ++r) QCOMPARE(grid_->isCellSelected(r, 15), r <= 3);
  }

  void tenReadingTableSelectsPairsToo() {
    // The rebound table under CECS 02-2020 has 13 columns.
    const auto doc = MakeWaveformDoc(2, 7, Standard::CECS02_2020);
    grid_ = std::make_unique<CGridCtrl>();
    grid_->applyLayout(ReboundTableLayout(*doc, 0, 1000));
    grid_->show();
    QCOMPARE(grid_->columnCount(), 13);
    QVERIFY(grid_->setFocusCell(4, 7));
    QVERIFY(grid_->isCellSelected(3, 1));
    QVERIFY(grid_->isCellSelected(4, 12));
    QVERIFY(!grid_->isCellSelected(2, 1));
  }

  void copiesTheSelectionAsText() {
    makeGrid(4, 5);
    QVERIFY(grid_->setSelectedRange(1, 2, 2, 4));
    QCOMPARE(grid_->selectedText(), QStringLiteral("1,2\t1,3\t1,4\n2,2\t2,3\t2,4"));
    QApplication::clipboard()->clear();
    view()->setFocus();
    QTest::keyClick(view(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("1,2\t1,3\t1,4\n2,2\t2,3\t2,4"));
    // A range reaching into the headers is clipped to the body.
    QVERIFY(grid_->setSelectedRange(0, 0, 1, 1));
    QCOMPARE(grid_->selectedText(), QStringLiteral("1,1"));
    QVERIFY(!grid_->setSelectedRange(0, 0, 0, 4));
    grid_->clearSelection();
    QCOMPARE(grid_->selectedText(), QString());
  }

  void listCellReportsTheChoice() {
    makeGrid(3, 4);
    const QStringList surfaces = {QStringLiteral("侧面"), QStringLiteral("顶面"), QStringLiteral("底面")};
    QVERIFY(grid_->setItemChoices(1, 2, surfaces));
    QVERIFY(grid_->setItemText(1, 2, QStringLiteral("未知")));
    QVERIFY(grid_->setItemEditable(1, 2, false));
    QSignalSpy chosen(grid_.get(), &CGridCtrl::choiceMade);
    QSignalSpy began(grid_.get(), &CGridCtrl::editBegan);
    QSignalSpy ended(grid_.get(), &CGridCtrl::editEnded);
    QString textAtChoice;
    connect(grid_.get(), &CGridCtrl::choiceMade, this,
            [&](int row, int column, int) { textAtChoice = grid_->itemText(row, column); });

    QVERIFY(grid_->editCell(1, 2));
    auto* combo = qobject_cast<QComboBox*>(view()->indexWidget(view()->currentIndex()));
    QVERIFY(combo != nullptr);
    QCOMPARE(combo->count(), 3);
    QCOMPARE(combo->currentIndex(), -1);  // "未知" is not an entry
    QTRY_VERIFY(combo->view()->isVisible());
    // The third entry, chosen with the keyboard in the open list.
    QAbstractItemView* list = combo->view();
    list->setCurrentIndex(list->model()->index(2, 0));
    QTest::keyClick(list, Qt::Key_Return);
    QTRY_COMPARE(chosen.count(), 1);
    QCOMPARE(chosen.at(0), (QList<QVariant>{1, 2, 2}));
    QCOMPARE(textAtChoice, QStringLiteral("底面"));
    QVERIFY(!grid_->isEditing());
    QCOMPARE(began.count(), 0);
    QCOMPARE(ended.count(), 0);

    // A click into the list cell that has the focus opens the list again.
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, centreOf(1, 2));
    QVERIFY(grid_->isEditing());
    combo = qobject_cast<QComboBox*>(view()->indexWidget(view()->currentIndex()));
    QVERIFY(combo != nullptr);
    QCOMPARE(combo->currentIndex(), 2);
  }

  void clicksReportTheColumn() {
    makeGrid(4, 6);
    QSignalSpy rows(grid_.get(), &CGridCtrl::rowSelected);
    QSignalSpy columns(grid_.get(), &CGridCtrl::columnFocused);
    // notifyKind 0: a click that moves the focus reports row and column with
    // flag 0 ...
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, centreOf(2, 3));
    QCOMPARE(rows.count(), 1);
    QCOMPARE(rows.at(0), (QList<QVariant>{2, 0}));
    QCOMPARE(columns.count(), 1);
    QCOMPARE(columns.at(0), (QList<QVariant>{3, 0}));
    // ... and a click into the focus cell reports the column again.
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, centreOf(2, 3));
    QCOMPARE(rows.count(), 1);
    QCOMPARE(columns.count(), 2);
    QCOMPARE(columns.at(1), (QList<QVariant>{3, 0}));
    // notifyKind 1: flag 1, no click variant.
    grid_->setNotifyKind(1);
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, centreOf(2, 3));
    QCOMPARE(columns.count(), 2);
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, centreOf(3, 4));
    QCOMPARE(rows.last(), (QList<QVariant>{3, 1}));
    QCOMPARE(columns.last(), (QList<QVariant>{4, 1}));
  }

  void showsAWholeLayout() {
    auto doc = MakeWaveformDoc(3, 3, Standard::CECS02_2005);
    doc->currentZone = 1;
    grid_ = std::make_unique<CGridCtrl>();
    grid_->resize(1000, 300);
    QSignalSpy rows(grid_.get(), &CGridCtrl::rowSelected);
    grid_->applyLayout(ReboundTableLayout(*doc, 0, 1000));
    grid_->show();
    QVERIFY(QTest::qWaitForWindowExposed(grid_.get()));

    // Headers never scroll: the fixed row and column are the item view's
    // header areas, sized from the layout.
    QCOMPARE(view()->horizontalHeader()->height(), 19);
    QCOMPARE(view()->verticalHeader()->width(), 40);
    QCOMPARE(view()->model()->rowCount(), 6);
    QCOMPARE(view()->model()->columnCount(), 15);
    QCOMPARE(view()->columnWidth(0), 58);
    QCOMPARE(grid_->itemText(0, 9), QStringLiteral("测试角度"));
    QCOMPARE(grid_->mergeOrigin(4, 0), (GridCellPos{3, 0}));
    QCOMPARE(view()->rowSpan(2, 8), 2);  // the angle cell of zone 2
    QCOMPARE(grid_->itemBackground(1, 1), QColor(255, 255, 0));
    QCOMPARE(grid_->itemChoices(3, 9).size(), 9);
    // The current zone's pair is selected without any notification.
    QVERIFY(grid_->isCellSelected(3, 1) && grid_->isCellSelected(4, 15));
    QVERIFY(!grid_->isCellSelected(1, 1));
    QCOMPARE(grid_->focusCell(), (GridCellPos{3, 1}));
    QCOMPARE(rows.count(), 0);

    // The same shape again: the focus stays, changed texts show.
    QVERIFY(grid_->setFocusCell(4, 5));
    doc->Zone(0, 1)->rebound[9] = 48;
    grid_->applyLayout(ReboundTableLayout(*doc, 0, 1000));
    QCOMPARE(grid_->focusCell(), (GridCellPos{4, 5}));
    QCOMPARE(grid_->itemText(4, 5), QStringLiteral("48"));

    // The zone grid: 10 columns, white body, current row selected.
    grid_->applyLayout(ZoneGridLayout(*doc, 0, 1000));
    QCOMPARE(grid_->columnCount(), 10);
    QCOMPARE(grid_->rowCount(), 4);
    QCOMPARE(grid_->gridBackground(), QColor(Qt::white));
    QVERIFY(grid_->isCellSelected(2, 9));
    QVERIFY(!grid_->isCellSelected(3, 9));
    QCOMPARE(view()->verticalHeader()->width(), 40);
  }

  // A layout that differs in a zone's rows redraws those rows only, and
  // shows what a grid given the whole layout afresh shows.
  void aNewLayoutRedrawsOnlyTheRowsThatChanged() {
    auto doc = MakeWaveformDoc(12, 3, Standard::CECS02_2005);
    grid_ = std::make_unique<CGridCtrl>();
    grid_->resize(1000, 300);
    grid_->applyLayout(ReboundTableLayout(*doc, 0, 1000));
    QSignalSpy redrawn(view()->model(), &QAbstractItemModel::dataChanged);
    grid_->applyLayout(ReboundTableLayout(*doc, 0, 1000));
    QCOMPARE(redrawn.count(), 0);

    doc->Zone(0, 4)->rebound[3] = 55;
    doc->Zone(0, 5)->carbonationDepth = 4.0f;
    const GridLayout changed = ReboundTableLayout(*doc, 0, 1000);
    grid_->applyLayout(changed);
    QCOMPARE(redrawn.count(), 1);
    const int fixedRows = grid_->fixedRowCount();
    QCOMPARE(redrawn[0][0].toModelIndex().row(), ReboundReadingPosition(4, 3).row - fixedRows);
    QCOMPARE(redrawn[0][1].toModelIndex().row(), ReboundZoneRow(5) - fixedRows);

    CGridCtrl fresh;
    fresh.applyLayout(changed);
    for (int r = 0; r < changed.rows; ++r) {
      for (int c = 0; c < changed.columns; ++c) {
        QCOMPARE(grid_->itemText(r, c), fresh.itemText(r, c));
        QCOMPARE(grid_->itemBackground(r, c), fresh.itemBackground(r, c));
      }
    }

    // A text typed into a cell, or set by the owner, gives way to the same
    // layout applied again (a refused entry shows the value kept).
    grid_->show();
    QVERIFY(QTest::qWaitForWindowExposed(grid_.get()));
    const GridPosition typed = ReboundReadingPosition(2, 0);
    TypeIntoCell(grid_.get(), typed.row, typed.column, QStringLiteral("999"));
    QCOMPARE(grid_->itemText(typed.row, typed.column), QStringLiteral("999"));
    QVERIFY(grid_->setItemText(typed.row + 1, typed.column, QStringLiteral("x")));
    grid_->applyLayout(changed);
    QCOMPARE(grid_->itemText(typed.row, typed.column), fresh.itemText(typed.row, typed.column));
    QCOMPARE(grid_->itemText(typed.row + 1, typed.column), fresh.itemText(typed.row + 1, typed.column));
  }

  // The fixed column paints only the rows in view, and a merge that begins
  // above the first row in view is painted over its visible part.
  void fixedColumnPaintsTheMergesInView() {
    makeGrid(2001, 4);
    for (int r = 1; r < 2001; r += 2) {
      QVERIFY(grid_->mergeCells(r, 0, r + 1, 0));
      QVERIFY(grid_->setItemBackground(r, 0, QColor(r % 4 == 1 ? Qt::red : Qt::blue)));
    }
    QHeaderView* left = view()->verticalHeader();
    for (const int row : {1, 2, 1500, 1501}) {
      // Scrolled so that `row` is the first row in view.
      view()->verticalScrollBar()->setValue(left->sectionPosition(row - 1));
      QCOMPARE(left->logicalIndexAt(2) + 1, row);
      const QImage image = left->viewport()->grab().toImage();
      const int origin = grid_->mergeOrigin(row, 0).row;
      QVERIFY2(image.pixelColor(left->width() / 2, 2) == QColor(origin % 4 == 1 ? Qt::red : Qt::blue),
               qPrintable(QString::number(row)));
    }
  }
};

int RunGridCtrlTests(int argc, char** argv) {
  GridCtrlTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace korvane::gui::test

#include "grid_ctrl_test.moc"
