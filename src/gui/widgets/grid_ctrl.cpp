#include "gui/widgets/grid_ctrl.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelection>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

#include "gui/widgets/grid/grid_cell.h"
#include "gui/widgets/grid/grid_corner.h"
#include "gui/widgets/grid/grid_delegate.h"
#include "gui/widgets/grid/grid_header.h"
#include "gui/widgets/grid/grid_model.h"
#include "gui/widgets/grid/grid_style.h"
#include "gui/widgets/grid/grid_view.h"

namespace korvane::gui {

using grid_detail::Blend;
using grid_detail::GridCorner;
using grid_detail::GridDelegate;
using grid_detail::GridHeader;
using grid_detail::GridModel;
using grid_detail::GridStyle;
using grid_detail::GridView;
using grid_detail::kChoicesRole;
using grid_detail::ToAlignment;
using grid_detail::ToQColor;

// ---- CGridCtrl ------------------------------------------------------------------------

CGridCtrl::CGridCtrl(QWidget* parent) : QWidget(parent) {
  model_ = new GridModel(this);
  view_ = new GridView(this, this);
  auto* style = new GridStyle;
  style->setParent(this);
  view_->setStyle(style);
  topHeader_ = new GridHeader(Qt::Horizontal, this, view_);
  leftHeader_ = new GridHeader(Qt::Vertical, this, view_);
  view_->setHorizontalHeader(topHeader_);
  view_->setVerticalHeader(leftHeader_);
  delegate_ = new GridDelegate(this);
  view_->setItemDelegate(delegate_);
  view_->setModel(model_);
  view_->setCornerButtonEnabled(false);
  corner_ = new GridCorner(this, view_);
  view_->corner = corner_;
  view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::AnyKeyPressed);
  view_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  view_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  view_->setWordWrap(false);
  // Tab leaves the grid (an open editor still ends with it).
  view_->setTabKeyNavigation(false);
  topHeader_->hide();
  leftHeader_->hide();
  // A text stored by an editor (or any change not made by applyLayout)
  // makes the cell's last applied description stale.
  connect(model_, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
            if (applyingLayout_) return;
            for (int r = topLeft.row(); r <= bottomRight.row(); ++r) {
              for (int c = topLeft.column(); c <= bottomRight.column(); ++c) {
                forgetShown(r + model_->fixedRows, c + model_->fixedColumns);
              }
            }
          });
  setFocusProxy(view_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_);
}

CGridCtrl::~CGridCtrl() {
  // The view goes first, while the grid it reports to is still whole: an
  // open editor losing the focus must not reach a half-destroyed grid.
  ++silent_;
  closeEditorSilently();
  delete view_;
}

int CGridCtrl::usableWidth() const {
  const int frame = 2 * view_->frameWidth();
  const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view_);
  return std::max(width() - frame - scrollBar, 0);
}

QTableView* CGridCtrl::tableView() const { return view_; }

QSize CGridCtrl::sizeHint() const {
  int width = 2 * view_->frameWidth();
  for (int w : columnWidths_) width += w;
  int height = 2 * view_->frameWidth();
  for (int h : rowHeights_) height += h;
  return {width, height};
}

// ---- Structure ------------------------------------------------------------------------

int CGridCtrl::rowCount() const { return model_->rows; }
int CGridCtrl::columnCount() const { return model_->columns; }
int CGridCtrl::fixedRowCount() const { return model_->fixedRows; }
int CGridCtrl::fixedColumnCount() const { return model_->fixedColumns; }

bool CGridCtrl::setRowCount(int rows) {
  if (rows < 0) return false;
  reshape(rows, model_->columns, std::min(model_->fixedRows, rows), model_->fixedColumns);
  return true;
}

bool CGridCtrl::setColumnCount(int columns) {
  if (columns < 0) return false;
  reshape(model_->rows, columns, model_->fixedRows, std::min(model_->fixedColumns, columns));
  return true;
}

bool CGridCtrl::setFixedRowCount(int rows) {
  if (rows < 0 || rows > model_->rows) return false;
  reshape(model_->rows, model_->columns, rows, model_->fixedColumns);
  return true;
}

bool CGridCtrl::setFixedColumnCount(int columns) {
  if (columns < 0 || columns > model_->columns) return false;
  reshape(model_->rows, model_->columns, model_->fixedRows, columns);
  return true;
}

int CGridCtrl::rowHeight(int row) const {
  return row >= 0 && row < model_->rows ? rowHeights_[static_cast<std::size_t>(row)] : -1;
}

int CGridCtrl::columnWidth(int column) const {
  return column >= 0 && column < model_->columns ? columnWidths_[static_cast<std::size_t>(column)] : -1;
}

bool CGridCtrl::setRowHeight(int row, int height) {
  if (row < 0 || row >= model_->rows || height < 0) return false;
  rowHeights_[static_cast<std::size_t>(row)] = height;
  applySizes();
  return true;
}

bool CGridCtrl::setColumnWidth(int column, int width) {
  if (column < 0 || column >= model_->columns || width < 0) return false;
  columnWidths_[static_cast<std::size_t>(column)] = width;
  applySizes();
  return true;
}

bool CGridCtrl::mergeCells(int firstRow, int firstColumn, int lastRow, int lastColumn) {
  const GridMerge merge{firstRow, firstColumn, lastRow - firstRow + 1, lastColumn - firstColumn + 1};
  if (!mergeIndex_.Add(merge)) return false;
  if (merge.rowSpan == 1 && merge.columnSpan == 1) return true;
  applySpans();
  refreshFixedArea();
  return true;
}

void CGridCtrl::clearMerges() {
  mergeIndex_.Reset(model_->rows, model_->columns, model_->fixedRows, model_->fixedColumns);
  applySpans();
  refreshFixedArea();
}

const GridMerge* CGridCtrl::mergeCovering(int row, int column) const {
  return mergeIndex_.Covering(row, column);
}

GridRange CGridCtrl::mergeBlock(int row, int column) const {
  if (const GridMerge* m = mergeCovering(row, column)) {
    return {m->row, m->column, m->row + m->rowSpan - 1, m->column + m->columnSpan - 1};
  }
  return {row, column, row, column};
}

GridCellPos CGridCtrl::mergeOrigin(int row, int column) const {
  if (const GridMerge* m = mergeCovering(row, column)) return {m->row, m->column};
  return {row, column};
}

void CGridCtrl::forgetShown(int row, int column) {
  const std::size_t at = static_cast<std::size_t>(row) * static_cast<std::size_t>(model_->columns) +
                         static_cast<std::size_t>(column);
  if (at < shownCells_.size()) shownCells_[at].reset();
}

void CGridCtrl::reshape(int rows, int columns, int fixedRows, int fixedColumns) {
  ++silent_;
  shownCells_.clear();
  closeEditorSilently();
  const GridCellPos focus = focusCell();
  std::vector<GridCellPos> selected;
  for (const QModelIndex& index : view_->selectionModel()->selectedIndexes())
    selected.push_back(gridPos(index));

  model_->reshape(rows, columns, fixedRows, fixedColumns);
  rowHeights_.resize(static_cast<std::size_t>(rows), kDefaultRowHeight);
  columnWidths_.resize(static_cast<std::size_t>(columns), kDefaultColumnWidth);
  GridMergeIndex kept;
  kept.Reset(rows, columns, fixedRows, fixedColumns);
  for (const GridMerge& m : mergeIndex_.merges()) kept.Add(m);
  mergeIndex_ = std::move(kept);
  topHeader_->setVisible(fixedRows > 0);
  leftHeader_->setVisible(fixedColumns > 0);
  applySpans();
  applySizes();

  // The focus and the selection stay where their cells remain.
  if (isBodyCell(focus.row, focus.column)) {
    view_->selectionModel()->setCurrentIndex(bodyIndex(focus.row, focus.column),
                                             QItemSelectionModel::NoUpdate);
  }
  QItemSelection selection;
  for (const GridCellPos& pos : selected) {
    if (isBodyCell(pos.row, pos.column)) {
      const QModelIndex index = bodyIndex(pos.row, pos.column);
      selection.select(index, index);
    }
  }
  view_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  --silent_;
  refreshFixedArea();
}

void CGridCtrl::applySizes() {
  const int fixedRows = model_->fixedRows;
  const int fixedColumns = model_->fixedColumns;
  // Only the sections whose size differs: a resize lays the header out
  // again, and a grid of thousands of rows keeps most of them.
  for (int r = fixedRows; r < model_->rows; ++r) {
    const int height = rowHeights_[static_cast<std::size_t>(r)];
    if (leftHeader_->sectionSize(r - fixedRows) != height) leftHeader_->resizeSection(r - fixedRows, height);
  }
  for (int c = fixedColumns; c < model_->columns; ++c) {
    const int width = columnWidths_[static_cast<std::size_t>(c)];
    if (topHeader_->sectionSize(c - fixedColumns) != width)
      topHeader_->resizeSection(c - fixedColumns, width);
  }
  topHeader_->updateGeometry();
  leftHeader_->updateGeometry();
  view_->relayout();
  refreshFixedArea();
  updateGeometry();
}

void CGridCtrl::applySpans() {
  view_->clearSpans();
  for (const GridMerge& m : mergeIndex_.merges()) {
    if (m.row >= model_->fixedRows && m.column >= model_->fixedColumns) {
      view_->setSpan(m.row - model_->fixedRows, m.column - model_->fixedColumns, m.rowSpan, m.columnSpan);
    }
  }
}

void CGridCtrl::refreshFixedArea() {
  topHeader_->viewport()->update();
  leftHeader_->viewport()->update();
  corner_->update();
}

int CGridCtrl::fixedRowsHeight() const {
  int height = 0;
  for (int r = 0; r < model_->fixedRows; ++r) height += rowHeights_[static_cast<std::size_t>(r)];
  return height;
}

int CGridCtrl::fixedColumnsWidth() const {
  int width = 0;
  for (int c = 0; c < model_->fixedColumns; ++c) width += columnWidths_[static_cast<std::size_t>(c)];
  return width;
}

// ---- Cells --------------------------------------------------------------------------------

bool CGridCtrl::isBodyCell(int row, int column) const {
  return model_->contains(row, column) && row >= model_->fixedRows && column >= model_->fixedColumns;
}

QModelIndex CGridCtrl::bodyIndex(int row, int column) const {
  return model_->index(row - model_->fixedRows, column - model_->fixedColumns);
}

GridCellPos CGridCtrl::gridPos(const QModelIndex& index) const {
  if (!index.isValid()) return {};
  return {index.row() + model_->fixedRows, index.column() + model_->fixedColumns};
}

QString CGridCtrl::itemText(int row, int column) const {
  return model_->contains(row, column) ? model_->cell(row, column).text : QString();
}

bool CGridCtrl::setItemText(int row, int column, const QString& text) {
  if (!model_->contains(row, column)) return false;
  forgetShown(row, column);
  model_->cell(row, column).text = text;
  model_->bodyCellChanged(row, column);
  if (!isBodyCell(row, column)) refreshFixedArea();
  return true;
}

bool CGridCtrl::isItemEditable(int row, int column) const {
  return model_->contains(row, column) && model_->cell(row, column).editable;
}

bool CGridCtrl::setItemEditable(int row, int column, bool editable) {
  if (!model_->contains(row, column)) return false;
  forgetShown(row, column);
  model_->cell(row, column).editable = editable;
  return true;
}

QStringList CGridCtrl::itemChoices(int row, int column) const {
  return model_->contains(row, column) ? model_->cell(row, column).choices : QStringList();
}

bool CGridCtrl::setItemChoices(int row, int column, const QStringList& choices) {
  if (!model_->contains(row, column)) return false;
  forgetShown(row, column);
  model_->cell(row, column).choices = choices;
  model_->bodyCellChanged(row, column);
  return true;
}

QColor CGridCtrl::itemBackground(int row, int column) const {
  return model_->contains(row, column) ? model_->cell(row, column).background : QColor();
}

bool CGridCtrl::setItemBackground(int row, int column, const QColor& colour) {
  if (!model_->contains(row, column)) return false;
  forgetShown(row, column);
  model_->cell(row, column).background = colour;
  model_->bodyCellChanged(row, column);
  if (!isBodyCell(row, column)) refreshFixedArea();
  return true;
}

QColor CGridCtrl::itemForeground(int row, int column) const {
  return model_->contains(row, column) ? model_->cell(row, column).foreground : QColor();
}

bool CGridCtrl::setItemForeground(int row, int column, const QColor& colour) {
  if (!model_->contains(row, column)) return false;
  forgetShown(row, column);
  model_->cell(row, column).foreground = colour;
  model_->bodyCellChanged(row, column);
  if (!isBodyCell(row, column)) refreshFixedArea();
  return true;
}

bool CGridCtrl::setItemAlignment(int row, int column, Qt::Alignment alignment) {
  if (!model_->contains(row, column)) return false;
  forgetShown(row, column);
  model_->cell(row, column).alignment = alignment & Qt::AlignHorizontal_Mask;
  model_->bodyCellChanged(row, column);
  if (!isBodyCell(row, column)) refreshFixedArea();
  return true;
}

void CGridCtrl::setGridBackground(const QColor& colour) {
  gridBackground_ = colour;
  QPalette palette = view_->palette();
  palette.setColor(QPalette::Base,
                   colour.isValid() ? colour : QApplication::palette(view_).color(QPalette::Base));
  view_->setPalette(palette);
}

// ---- Whole layouts ------------------------------------------------------------------------

void CGridCtrl::applyLayout(const GridLayout& layout) {
  ++silent_;
  closeEditorSilently();
  setRowSelection(layout.rowSelection);
  setRowPairs(layout.rowPairs);
  const int rows = std::max(layout.rows, 0);
  const int columns = std::max(layout.columns, 0);
  const int fixedRows = std::clamp(layout.fixedRows, 0, rows);
  const int fixedColumns = std::clamp(layout.fixedColumns, 0, columns);
  if (rows != model_->rows || columns != model_->columns || fixedRows != model_->fixedRows ||
      fixedColumns != model_->fixedColumns) {
    reshape(rows, columns, fixedRows, fixedColumns);
  }

  // The rows whose cells differ (an edit changes a zone's row or two; the
  // rest of the grid is not drawn again). A cell whose description equals
  // the one applied last, and that nothing changed since, is skipped
  // without being converted.
  const std::size_t cellCount = static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns);
  if (shownCells_.size() != cellCount) shownCells_.assign(cellCount, std::nullopt);
  int firstChanged = rows;
  int lastChanged = -1;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const std::size_t at =
          static_cast<std::size_t>(r) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(c);
      if (at >= layout.cells.size()) break;
      const GridCell& source = layout.cells[at];
      std::optional<GridCell>& shown = shownCells_[at];
      if (shown && *shown == source) continue;
      shown = source;
      grid_detail::Cell cell;
      cell.text = QString::fromUtf8(source.text.data(), static_cast<qsizetype>(source.text.size()));
      cell.editable = source.editable;
      for (const std::string& choice : source.choices) {
        cell.choices << QString::fromUtf8(choice.data(), static_cast<qsizetype>(choice.size()));
      }
      cell.background = ToQColor(source.background);
      cell.foreground = ToQColor(source.foreground);
      cell.alignment = ToAlignment(source.align);
      grid_detail::Cell& target = model_->cell(r, c);
      if (target == cell) continue;
      target = std::move(cell);
      if (isBodyCell(r, c)) {
        firstChanged = std::min(firstChanged, r);
        lastChanged = std::max(lastChanged, r);
      }
    }
  }
  applyingLayout_ = true;
  if (lastChanged >= 0) model_->bodyRowsChanged(firstChanged, lastChanged);
  applyingLayout_ = false;

  for (int r = 0; r < rows; ++r) {
    const std::size_t i = static_cast<std::size_t>(r);
    rowHeights_[i] = i < layout.rowHeights.size() ? std::max(layout.rowHeights[i], 0) : kDefaultRowHeight;
  }
  for (int c = 0; c < columns; ++c) {
    const std::size_t i = static_cast<std::size_t>(c);
    columnWidths_[i] =
        i < layout.columnWidths.size() ? std::max(layout.columnWidths[i], 0) : kDefaultColumnWidth;
  }
  GridMergeIndex merges;
  merges.Reset(rows, columns, fixedRows, fixedColumns);
  for (const GridMerge& m : layout.merges) {
    if (m.rowSpan > 1 || m.columnSpan > 1) merges.Add(m);
  }
  const bool spansChanged = merges.merges() != mergeIndex_.merges();
  mergeIndex_ = std::move(merges);
  if (spansChanged) applySpans();
  applySizes();
  setGridBackground(ToQColor(layout.background));

  if (layout.selection) {
    const GridRange& s = *layout.selection;
    const GridCellPos focus = focusCell();
    const bool focusInside = focus.row >= s.firstRow && focus.row <= s.lastRow &&
                             focus.column >= s.firstColumn && focus.column <= s.lastColumn;
    if (!focusInside && isBodyCell(s.firstRow, s.firstColumn)) {
      view_->selectionModel()->setCurrentIndex(bodyIndex(s.firstRow, s.firstColumn),
                                               QItemSelectionModel::NoUpdate);
      anchorRow_ = s.firstRow;
    }
    setSelectedRange(s.firstRow, s.firstColumn, s.lastRow, s.lastColumn);
  }
  --silent_;
  refreshFixedArea();
}

// ---- Focus and selection ------------------------------------------------------------------

void CGridCtrl::setRowSelection(bool on) {
  rowSelection_ = on;
  view_->setSelectionMode(on ? QAbstractItemView::NoSelection : QAbstractItemView::ExtendedSelection);
}

void CGridCtrl::setRowPairs(bool on) { rowPairs_ = on; }

GridCellPos CGridCtrl::focusCell() const { return gridPos(view_->selectionModel()->currentIndex()); }

bool CGridCtrl::setFocusCell(int row, int column) {
  if (!isBodyCell(row, column)) return false;
  programmaticFocus_ = true;
  view_->selectionModel()->setCurrentIndex(bodyIndex(row, column), QItemSelectionModel::NoUpdate);
  programmaticFocus_ = false;
  return true;
}

void CGridCtrl::clearFocusCell() {
  ++silent_;
  view_->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  --silent_;
}

bool CGridCtrl::setSelectedRange(int firstRow, int firstColumn, int lastRow, int lastColumn) {
  const int r0 = std::max(std::min(firstRow, lastRow), model_->fixedRows);
  const int r1 = std::min(std::max(firstRow, lastRow), model_->rows - 1);
  const int c0 = std::max(std::min(firstColumn, lastColumn), model_->fixedColumns);
  const int c1 = std::min(std::max(firstColumn, lastColumn), model_->columns - 1);
  if (r0 > r1 || c0 > c1) return false;
  view_->selectionModel()->select(QItemSelection(bodyIndex(r0, c0), bodyIndex(r1, c1)),
                                  QItemSelectionModel::ClearAndSelect);
  return true;
}

void CGridCtrl::clearSelection() { view_->selectionModel()->clearSelection(); }

bool CGridCtrl::isCellSelected(int row, int column) const {
  return isBodyCell(row, column) && view_->selectionModel()->isSelected(bodyIndex(row, column));
}

QString CGridCtrl::selectedText() const {
  const QModelIndexList indexes = view_->selectionModel()->selectedIndexes();
  if (indexes.isEmpty()) return {};
  int r0 = model_->rows;
  int r1 = -1;
  int c0 = model_->columns;
  int c1 = -1;
  for (const QModelIndex& index : indexes) {
    const GridCellPos pos = gridPos(index);
    r0 = std::min(r0, pos.row);
    r1 = std::max(r1, pos.row);
    c0 = std::min(c0, pos.column);
    c1 = std::max(c1, pos.column);
  }
  QStringList lines;
  for (int r = r0; r <= r1; ++r) {
    QStringList cells;
    for (int c = c0; c <= c1; ++c) cells << (isCellSelected(r, c) ? model_->cell(r, c).text : QString());
    lines << cells.join(QLatin1Char('\t'));
  }
  return lines.join(QLatin1Char('\n'));
}

void CGridCtrl::copySelection() const {
  const QString text = selectedText();
  if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

void CGridCtrl::selectRowsFor(int focusRow) {
  if (model_->rowCount() == 0 || model_->columnCount() == 0) return;
  int first = std::min(anchorRow_, focusRow);
  int last = std::max(anchorRow_, focusRow);
  if (rowPairs_) {
    // Rows are paired 1-2, 3-4, …: the anchor row's pair.
    first = anchorRow_ % 2 == 1 ? anchorRow_ : anchorRow_ - 1;
    last = first + 1;
  }
  first = std::max(first, model_->fixedRows);
  last = std::min(last, model_->rows - 1);
  if (first > last) return;
  view_->selectionModel()->select(
      QItemSelection(bodyIndex(first, model_->fixedColumns), bodyIndex(last, model_->columns - 1)),
      QItemSelectionModel::ClearAndSelect);
}

void CGridCtrl::onCurrentChanged(const QModelIndex& current) {
  if (!current.isValid()) return;
  const GridCellPos pos = gridPos(current);
  const bool extend =
      silent_ == 0 && !programmaticFocus_ && inputModifiers_.testFlag(Qt::ShiftModifier) && anchorRow_ >= 0;
  if (!extend) anchorRow_ = pos.row;
  if (silent_ > 0) return;
  if (rowSelection_) selectRowsFor(pos.row);
  focusNotified_ = true;
  const int flag = notifyKind_ != 0 ? 1 : 0;
  emit rowSelected(pos.row, flag);
  emit columnFocused(pos.column, flag);
}

void CGridCtrl::onCellPressed(const QModelIndex& index) {
  // A click into the cell that already had the focus reports its column
  // too (a focus change has just done so).
  if (notifyKind_ == 0 && !focusNotified_ && silent_ == 0) emit columnFocused(gridPos(index).column, 0);
}

void CGridCtrl::onFixedRowHeaderPressed(int row) {
  if (!isBodyCell(row, model_->fixedColumns)) return;
  view_->setFocus();
  const QModelIndex index = bodyIndex(row, model_->fixedColumns);
  view_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
  if (!rowSelection_) {
    view_->selectionModel()->select(QItemSelection(index, bodyIndex(row, model_->columns - 1)),
                                    QItemSelectionModel::ClearAndSelect);
  }
}

// ---- Editing ------------------------------------------------------------------------------

bool CGridCtrl::editCell(int row, int column) {
  if (!isBodyCell(row, column)) return false;
  const grid_detail::Cell& cell = model_->cell(row, column);
  if (!cell.editable && cell.choices.isEmpty()) return false;
  setFocusCell(row, column);
  view_->setFocus();
  return view_->openEditor(bodyIndex(row, column)) && isEditing();
}

bool CGridCtrl::isEditing() const { return view_->editing(); }

bool CGridCtrl::isModified() const { return model_->modified; }

void CGridCtrl::setModified(bool modified) { model_->modified = modified; }

void CGridCtrl::onEditorOpened(const QModelIndex& index, bool choice) {
  editing_ = index;
  editingChoice_ = choice;
  if (!choice && silent_ == 0) emit editBegan(notifyKind_);
}

void CGridCtrl::onEditorClosed() {
  if (!editing_.isValid()) return;
  const GridCellPos pos = gridPos(editing_);
  // The editor may have stored a text of its own.
  forgetShown(pos.row, pos.column);
  const bool choice = editingChoice_;
  editing_ = QPersistentModelIndex();
  editingChoice_ = false;
  if (!choice && silent_ == 0) emit editEnded(pos.row, pos.column);
}

void CGridCtrl::onChoiceActivated(QComboBox* editor, int entry) {
  if (!editing_.isValid() || entry < 0 || entry >= editor->count()) return;
  const GridCellPos pos = gridPos(editing_);
  forgetShown(pos.row, pos.column);
  model_->setData(editing_, editor->itemText(entry), Qt::EditRole);
  view_->closeOpenEditor(editor, QAbstractItemDelegate::NoHint);
  stayAfterEdit_ = false;
  emit choiceMade(pos.row, pos.column, entry);
  if (hasEntryOrder()) moveInEntryOrder(false);
}

void CGridCtrl::moveInEntryOrder(bool backwards) {
  const bool stay = stayAfterEdit_;
  stayAfterEdit_ = false;
  if (stay || !entryOrder_) return;
  const GridCellPos from = focusCell();
  if (!from.isValid()) return;
  const GridCellPos next = entryOrder_(from, backwards);
  if (!isBodyCell(next.row, next.column)) return;
  setFocusCell(next.row, next.column);
  view_->scrollTo(bodyIndex(next.row, next.column));
  if (isVisible()) view_->setFocus(Qt::OtherFocusReason);
}

void CGridCtrl::closeEditorSilently() {
  if (!isEditing() || !editing_.isValid()) return;
  QWidget* editor = view_->indexWidget(editing_);
  if (editor == nullptr) return;
  ++silent_;
  view_->closeOpenEditor(editor, QAbstractItemDelegate::RevertModelCache);
  --silent_;
}

}  // namespace korvane::gui
