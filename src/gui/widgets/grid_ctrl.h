// The table control of the analysis screen (zone grid of the waveform view,
// rebound table, correction-table dialogs): text cells with header (fixed)
// rows and columns that never scroll, merged cells, read-only cells, cell
// colours, in-place editing, drop-down choice cells, focus cell and row
// selection, and copying the selection as text.
//
// All positions are grid coordinates: row 0 and column 0 are the top-left
// cell, fixed rows and columns included. Fixed cells are drawn as headers
// (button face); the body below and right of them scrolls. The widget shows
// what its owner puts in (usually a whole GridLayout built by the core) and
// reports the user's actions by the signals below; it holds no rules.
#pragma once

#include <QColor>
#include <QModelIndex>
#include <QPersistentModelIndex>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "core/forms/grid_layout.h"

class QTableView;
class QComboBox;

namespace korvane::gui {

namespace grid_detail {
class GridModel;
class GridView;
class GridHeader;
class GridCorner;
class GridDelegate;
}  // namespace grid_detail

struct GridCellPos {
  int row = -1;
  int column = -1;
  bool isValid() const { return row >= 0 && column >= 0; }
  friend bool operator==(const GridCellPos&, const GridCellPos&) = default;
};

class CGridCtrl : public QWidget {
  Q_OBJECT

 public:
  // Sizes of rows and columns that the owner has not set (pixels).
  static constexpr int kDefaultRowHeight = 19;
  static constexpr int kDefaultColumnWidth = 64;

  explicit CGridCtrl(QWidget* parent = nullptr);
  ~CGridCtrl() override;

  // Shows a whole description: counts, cells, sizes, merges, background,
  // selection mode and the selection (set without notifications). When the
  // counts are unchanged only what differs is updated and the focus cell
  // stays. An open editor is closed first without storing its text.
  void applyLayout(const GridLayout& layout);

  // ---- Structure (false when refused) ---------------------------------------
  // Resizing keeps the cells that remain and clears the focus when the focus
  // cell falls away. An open editor is closed without storing its text and
  // without editEnded.
  int rowCount() const;
  int columnCount() const;
  bool setRowCount(int rows);
  bool setColumnCount(int columns);
  int fixedRowCount() const;
  int fixedColumnCount() const;
  bool setFixedRowCount(int rows);        // 0 … rowCount()
  bool setFixedColumnCount(int columns);  // 0 … columnCount()
  int rowHeight(int row) const;           // -1 outside the grid
  int columnWidth(int column) const;
  bool setRowHeight(int row, int height);  // height >= 0
  bool setColumnWidth(int column, int width);
  // The top-left cell covers the block. Refused when the block leaves the
  // grid, crosses from the fixed area into the body (or between fixed rows
  // and fixed columns) or overlaps another merge.
  bool mergeCells(int firstRow, int firstColumn, int lastRow, int lastColumn);
  void clearMerges();
  // Top-left cell of the merge covering (row, column), or the cell itself.
  GridCellPos mergeOrigin(int row, int column) const;
  // The block of the merge covering (row, column), or the cell alone.
  GridRange mergeBlock(int row, int column) const;

  // ---- Cells (false / empty outside the grid) -------------------------------
  QString itemText(int row, int column) const;
  bool setItemText(int row, int column, const QString& text);
  bool isItemEditable(int row, int column) const;
  bool setItemEditable(int row, int column, bool editable);
  // Non-empty: the cell offers these entries in a drop-down list instead of
  // a text editor.
  QStringList itemChoices(int row, int column) const;
  bool setItemChoices(int row, int column, const QStringList& choices);
  // An invalid colour gives the grid's own.
  QColor itemBackground(int row, int column) const;
  bool setItemBackground(int row, int column, const QColor& colour);
  QColor itemForeground(int row, int column) const;
  bool setItemForeground(int row, int column, const QColor& colour);
  bool setItemAlignment(int row, int column, Qt::Alignment alignment);
  // Background of body cells without their own colour (invalid: the
  // system's window background).
  void setGridBackground(const QColor& colour);
  QColor gridBackground() const { return gridBackground_; }

  // ---- Notifications, focus and selection -----------------------------------
  // Tag copied into editBegan and deciding the flag of rowSelected and
  // columnFocused (0 by default).
  int notifyKind() const { return notifyKind_; }
  void setNotifyKind(int kind) { notifyKind_ = kind; }
  // Row selection: a focus change selects the body rows from the selection
  // anchor (the previous focus row while Shift is held, else the new one)
  // to the focus row; with row pairs, the anchor's pair of rows (1-2, 3-4,
  // ...) instead. Without row selection, cells are selected as blocks.
  bool rowSelection() const { return rowSelection_; }
  void setRowSelection(bool on);
  bool rowPairs() const { return rowPairs_; }
  void setRowPairs(bool on);

  // The focus cell, or (-1, -1).
  GridCellPos focusCell() const;
  // Moves the focus to a body cell with the notifications rowSelected and
  // columnFocused (none when it is already there). False for a fixed cell or
  // one outside the grid.
  bool setFocusCell(int row, int column);
  void clearFocusCell();
  // Selects a block of body cells (clipped to the body) without any
  // notification; false when nothing of it lies in the body.
  bool setSelectedRange(int firstRow, int firstColumn, int lastRow, int lastColumn);
  void clearSelection();
  bool isCellSelected(int row, int column) const;
  // The selected cells as text: the block from the first to the last
  // selected row and column, cells separated by tabs and rows by line breaks,
  // unselected cells in the block empty. Empty without a selection.
  QString selectedText() const;
  // selectedText() to the clipboard (also Ctrl+C).
  void copySelection() const;

  // ---- Keyboard ------------------------------------------------------------
  // Tab and Shift+Tab on a cell that is not being edited move the keyboard
  // focus to the next control; arrows, Home/End and Page Up/Down move within
  // the grid; typing into a cell replaces its text, F2 edits it, and F4 or
  // Alt+Down opens a cell's list. The focus cell is framed while the grid
  // has the keyboard focus.
  //
  // Data-entry order: the cell after (or, backwards, before) `from`; an
  // invalid position where there is none. With an order set, Enter and Tab
  // in an editor store its text and move on, a choice from a list moves on,
  // and Enter (Shift+Enter) on a cell not being edited moves on without
  // editing. Without one, Enter opens the focus cell's editor and Tab in an
  // editor moves to the next cell in row order.
  using EntryOrder = std::function<GridCellPos(GridCellPos from, bool backwards)>;
  void setEntryOrder(EntryOrder order) { entryOrder_ = std::move(order); }
  // From a handler of editEnded or choiceMade: the focus stays on the cell
  // (a refused text) instead of moving on in the entry order.
  void stayAfterEdit() { stayAfterEdit_ = true; }

  // ---- Editing ---------------------------------------------------------------
  // Moves the focus to the cell and opens its editor (text or list); false
  // when the cell cannot be edited.
  bool editCell(int row, int column);
  bool isEditing() const;
  // Set when an edit stored a changed text.
  bool isModified() const;
  void setModified(bool modified);

  // Width (pixels) that columns can fill without a horizontal scroll bar:
  // the control's width less its frame and a vertical scroll bar.
  int usableWidth() const;

  // The item view inside (for tests and keyboard focus).
  QTableView* tableView() const;
  QSize sizeHint() const override;

 signals:
  // An in-place text edit began on an editable cell.
  void editBegan(int notifyKind);
  // The text edit of (row, column) ended: after the new text was stored
  // when it changed, and also when it was left unchanged or cancelled with
  // Escape. Every editBegan is followed by one editEnded.
  void editEnded(int row, int column);
  // The focus cell was set to `row`; flag 1 when notifyKind is non-zero.
  void rowSelected(int row, int flag);
  // The focus cell was set to `column` (flag as rowSelected); with
  // notifyKind 0 also a mouse click into a cell that already had the focus,
  // with flag 0, so that every click into a cell reports its column once.
  void columnFocused(int column, int flag);
  // The user chose entry `entry` of a list cell; its text is stored first.
  void choiceMade(int row, int column, int entry);

 private:
  friend class grid_detail::GridView;
  friend class grid_detail::GridHeader;
  friend class grid_detail::GridCorner;
  friend class grid_detail::GridDelegate;

  bool isBodyCell(int row, int column) const;
  QModelIndex bodyIndex(int row, int column) const;
  GridCellPos gridPos(const QModelIndex& index) const;
  // Rebuilds the model for new counts, keeping cells, sizes, focus and the
  // selection where they remain.
  void reshape(int rows, int columns, int fixedRows, int fixedColumns);
  void applySizes();
  void applySpans();
  void refreshFixedArea();
  int fixedRowsHeight() const;
  int fixedColumnsWidth() const;
  void selectRowsFor(int focusRow);
  void closeEditorSilently();
  const GridMerge* mergeCovering(int row, int column) const;
  // The cell's model value no longer follows its last applied description.
  void forgetShown(int row, int column);

  // From the inner view.
  void onCurrentChanged(const QModelIndex& current);
  void onEditorOpened(const QModelIndex& index, bool choice);
  void onEditorClosed();
  void onChoiceActivated(QComboBox* editor, int entry);
  void onCellPressed(const QModelIndex& index);
  // After an edit or a choice ended by a key that moves on (Tab, Enter, a
  // choice): the next cell of the entry order, unless the owner held it.
  void moveInEntryOrder(bool backwards);
  bool hasEntryOrder() const { return static_cast<bool>(entryOrder_); }
  void onFixedRowHeaderPressed(int row);

  grid_detail::GridModel* model_;
  grid_detail::GridView* view_;
  grid_detail::GridHeader* topHeader_;
  grid_detail::GridHeader* leftHeader_;
  grid_detail::GridCorner* corner_;
  grid_detail::GridDelegate* delegate_;

  std::vector<int> rowHeights_;
  std::vector<int> columnWidths_;
  GridMergeIndex mergeIndex_;
  // Per cell (row by row): the description applyLayout last put into it,
  // while the cell still shows exactly that; none after any other change.
  std::vector<std::optional<GridCell>> shownCells_;
  bool applyingLayout_ = false;
  QColor gridBackground_;
  int notifyKind_ = 0;
  bool rowSelection_ = false;
  bool rowPairs_ = false;
  int anchorRow_ = -1;
  // While set, focus changes send no notifications (programmatic,
  // structural).
  int silent_ = 0;
  bool programmaticFocus_ = false;
  bool focusNotified_ = false;
  // Modifiers of the key or mouse press being handled (Shift extends the
  // row selection from the anchor).
  Qt::KeyboardModifiers inputModifiers_;
  QPersistentModelIndex editing_;
  bool editingChoice_ = false;
  EntryOrder entryOrder_;
  bool stayAfterEdit_ = false;
  // Shift held with the Enter that ends the open edit.
  bool enterBackwards_ = false;
};

}  // namespace korvane::gui
