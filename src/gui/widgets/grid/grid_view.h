// The grid control's table view: the body, its keys, clicks and scrolling.
#pragma once

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTableView>

#include "gui/widgets/grid/grid_cell.h"
#include "gui/widgets/grid/grid_corner.h"
#include "gui/widgets/grid_ctrl.h"

namespace korvane::gui::grid_detail {

class GridView : public QTableView {
 public:
  GridView(CGridCtrl* grid, QWidget* parent) : QTableView(parent), grid_(grid) {}

  GridCorner* corner = nullptr;

  void relayout() { updateGeometries(); }
  bool editing() const { return state() == EditingState; }
  bool openEditor(const QModelIndex& index) { return edit(index, AllEditTriggers, nullptr); }
  void closeOpenEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    closeEditor(editor, hint);
  }

 protected:
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override {
    const bool wasEditing = state() == EditingState;
    if (!QTableView::edit(index, trigger, event)) return false;
    if (!wasEditing && state() == EditingState && indexWidget(index) != nullptr) {
      grid_->onEditorOpened(index, !index.data(kChoicesRole).toStringList().isEmpty());
    }
    return true;
  }

  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override {
    // Tab out of an editor: end this edit (and report it) before moving on.
    const bool move =
        hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem;
    const bool enter = hint == QAbstractItemDelegate::SubmitModelCache;
    const bool backwards =
        hint == QAbstractItemDelegate::EditPreviousItem || (enter && grid_->enterBackwards_);
    grid_->enterBackwards_ = false;
    grid_->stayAfterEdit_ = false;
    QTableView::closeEditor(editor, move ? QAbstractItemDelegate::NoHint : hint);
    grid_->onEditorClosed();
    if ((move || enter) && grid_->hasEntryOrder()) {
      grid_->moveInEntryOrder(backwards);
      return;
    }
    if (move) {
      const QModelIndex next =
          moveCursor(hint == QAbstractItemDelegate::EditNextItem ? MoveNext : MovePrevious, Qt::NoModifier);
      if (next.isValid()) setCurrentIndex(next);
    }
  }

  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override {
    QTableView::currentChanged(current, previous);
    grid_->onCurrentChanged(current);
  }

  void keyPressEvent(QKeyEvent* event) override {
    if (event == QKeySequence::Copy) {
      grid_->copySelection();
      event->accept();
      return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && state() != EditingState && currentIndex().isValid()) {
      if (grid_->hasEntryOrder()) {
        grid_->stayAfterEdit_ = false;
        grid_->moveInEntryOrder(event->modifiers().testFlag(Qt::ShiftModifier));
      } else {
        edit(currentIndex(), AllEditTriggers, nullptr);
      }
      event->accept();
      return;
    }
    // F4 or Alt+Down opens a list cell's list.
    const bool listKey = event->key() == Qt::Key_F4 ||
                         (event->key() == Qt::Key_Down && event->modifiers().testFlag(Qt::AltModifier));
    if (listKey && state() != EditingState && currentIndex().isValid() &&
        !currentIndex().data(kChoicesRole).toStringList().isEmpty()) {
      edit(currentIndex(), AllEditTriggers, nullptr);
      event->accept();
      return;
    }
    grid_->inputModifiers_ = event->modifiers();
    QTableView::keyPressEvent(event);
    grid_->inputModifiers_ = Qt::NoModifier;
  }

  void mousePressEvent(QMouseEvent* event) override {
    const QModelIndex index = indexAt(event->position().toPoint());
    grid_->focusNotified_ = false;
    grid_->inputModifiers_ = event->modifiers();
    QTableView::mousePressEvent(event);
    grid_->inputModifiers_ = Qt::NoModifier;
    // A click into a list cell that already had the focus opens its list
    // (on release, as a click).
    clickedListCell_ = QPersistentModelIndex();
    if (event->button() == Qt::LeftButton && index.isValid() && !grid_->focusNotified_ && !editing() &&
        !index.data(kChoicesRole).toStringList().isEmpty()) {
      clickedListCell_ = index;
    }
    if (event->button() == Qt::LeftButton && index.isValid()) grid_->onCellPressed(index);
  }

  void mouseReleaseEvent(QMouseEvent* event) override {
    QTableView::mouseReleaseEvent(event);
    const QPersistentModelIndex clicked = clickedListCell_;
    clickedListCell_ = QPersistentModelIndex();
    if (clicked.isValid() && indexAt(event->position().toPoint()) == clicked && !editing()) {
      edit(clicked, AllEditTriggers, nullptr);
    }
  }

  // The full text of a cell that is cut off, as a tip.
  bool viewportEvent(QEvent* event) override {
    if (event->type() == QEvent::ToolTip) {
      const auto* help = static_cast<QHelpEvent*>(event);
      const QModelIndex index = indexAt(help->pos());
      const QString text = index.data().toString();
      const QRect rect = visualRect(index);
      if (!text.isEmpty() && fontMetrics().boundingRect(QRect(), 0, text).width() > rect.width() - 4) {
        QToolTip::showText(help->globalPos(), text, viewport(), rect);
      } else {
        QToolTip::hideText();
      }
      return true;
    }
    return QTableView::viewportEvent(event);
  }

  void updateGeometries() override {
    QTableView::updateGeometries();
    if (corner == nullptr) return;
    const QRect area = viewport()->geometry();
    const int width = verticalHeader()->isHidden() ? 0 : verticalHeader()->width();
    const int height = horizontalHeader()->isHidden() ? 0 : horizontalHeader()->height();
    corner->setGeometry(area.left() - width, area.top() - height, width, height);
    corner->setVisible(width > 0 && height > 0);
    corner->raise();
  }

 private:
  CGridCtrl* grid_;
  QPersistentModelIndex clickedListCell_;
};

}  // namespace korvane::gui::grid_detail
