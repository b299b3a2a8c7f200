#include "gui/widgets/tab_order.h"

#include <QGridLayout>
#include <QLayout>
#include <QWidget>
#include <algorithm>
#include <tuple>
#include <vector>

namespace korvane::gui {

namespace {

void Read(QLayout* layout, QList<QWidget*>& out);

void ReadItem(QLayoutItem* item, QList<QWidget*>& out) {
  if (QLayout* inner = item->layout()) {
    Read(inner, out);
    return;
  }
  QWidget* w = item->widget();
  if (w == nullptr) return;
  if ((w->focusPolicy() & Qt::TabFocus) != 0) {
    out << w;
  } else if (w->layout() != nullptr) {
    Read(w->layout(), out);
  }
}

void Read(QLayout* layout, QList<QWidget*>& out) {
  if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
    // Cells by their first row, then their first column.
    std::vector<std::tuple<int, int, int>> cells;
    for (int i = 0; i < grid->count(); ++i) {
      int row = 0;
      int column = 0;
      int rows = 0;
      int columns = 0;
      grid->getItemPosition(i, &row, &column, &rows, &columns);
      cells.emplace_back(row, column, i);
    }
    std::sort(cells.begin(), cells.end());
    for (const auto& [row, column, index] : cells) ReadItem(grid->itemAt(index), out);
    return;
  }
  for (int i = 0; i < layout->count(); ++i) ReadItem(layout->itemAt(i), out);
}

}  // namespace

QList<QWidget*> ReadingOrder(QWidget* container) {
  QList<QWidget*> out;
  if (container != nullptr && container->layout() != nullptr) Read(container->layout(), out);
  return out;
}

void SetReadingTabOrder(QWidget* container) {
  const QList<QWidget*> order = ReadingOrder(container);
  for (qsizetype i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

}  // namespace korvane::gui
