// The grid control's cell editors (a line edit, or a list) and cell painting.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTimer>

#include "gui/widgets/grid/grid_cell.h"
#include "gui/widgets/grid_ctrl.h"

namespace korvane::gui::grid_detail {

class GridDelegate : public QStyledItemDelegate {
 public:
  explicit GridDelegate(CGridCtrl* grid) : QStyledItemDelegate(grid), grid_(grid) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex& index) const override {
    const QStringList choices = index.data(kChoicesRole).toStringList();
    if (!choices.isEmpty()) {
      auto* combo = new QComboBox(parent);
      combo->addItems(choices);
      combo->setMaxVisibleItems(choices.size());
      CGridCtrl* grid = grid_;
      QObject::connect(combo, &QComboBox::activated, grid,
                       [grid, combo](int entry) { grid->onChoiceActivated(combo, entry); });
      return combo;
    }
    auto* edit = new QLineEdit(parent);
    edit->setFrame(false);
    edit->setAlignment(Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt()));
    return edit;
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
      // A value outside the list ("未知") selects no entry.
      combo->setCurrentIndex(combo->findText(index.data().toString()));
      QTimer::singleShot(0, combo, [combo] {
        if (combo->isVisible()) combo->showPopup();
      });
      return;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
      edit->setText(index.data(Qt::EditRole).toString());
      edit->selectAll();
    }
  }

  // A list stores its entry when it is chosen (onChoiceActivated), never
  // when it merely loses the focus.
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) model->setData(index, edit->text());
  }

  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex&) const override {
    editor->setGeometry(option.rect);
  }

  // Notes Shift with the Enter that ends an edit (the delegate ends it
  // later, when the key's modifiers are gone).
  bool eventFilter(QObject* editor, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        grid_->enterBackwards_ = key->modifiers().testFlag(Qt::ShiftModifier);
    }
    return QStyledItemDelegate::eventFilter(editor, event);
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const bool focusFrame = opt.state.testFlag(QStyle::State_HasFocus) && grid_->tableView()->hasFocus();
    opt.state &= ~QStyle::State_HasFocus;
    if (opt.state & QStyle::State_Selected) {
      const QColor own = opt.backgroundBrush.style() != Qt::NoBrush ? opt.backgroundBrush.color()
                                                                    : opt.palette.color(QPalette::Base);
      opt.backgroundBrush = Blend(own, opt.palette.color(QPalette::Highlight), kSelectionBlend);
      opt.state &= ~QStyle::State_Selected;
    }
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    if (!index.data(kChoicesRole).toStringList().isEmpty()) {
      // A small arrow marks a cell that offers a list.
      QStyleOption arrow;
      arrow.initFrom(widget != nullptr ? widget : grid_);
      arrow.rect = QRect(opt.rect.right() - 11, opt.rect.center().y() - 3, 8, 7);
      style->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, painter, widget);
    }
    if (focusFrame) {
      // The focus cell, plainly framed in the highlight colour.
      painter->save();
      painter->setPen(QPen(opt.palette.color(QPalette::Highlight), 2));
      painter->setBrush(Qt::NoBrush);
      painter->drawRect(QRectF(opt.rect).adjusted(1, 1, -1, -1));
      painter->restore();
    }
  }

 private:
  CGridCtrl* grid_;
};

}  // namespace korvane::gui::grid_detail
