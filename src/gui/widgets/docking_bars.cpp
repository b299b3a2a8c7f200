#include "gui/widgets/docking_bars.h"

#include <QScrollArea>
#include <QSettings>
#include <algorithm>

#include <QCloseEvent>

#include "core/app/frame_layout.h"

namespace korvane::gui {

namespace {

QString SectionName(BarSection bar) {
  return bar == BarSection::Info ? QStringLiteral("Korvane-SCBar-1") : QStringLiteral("Korvane-SCBar-2");
}

}  // namespace

int StoredBarWidth(const QSettings& settings, BarSection bar, int fallback) {
  const int width = settings.value(SectionName(bar) + QStringLiteral("/sizeVertCX"), fallback).toInt();
  return std::max(width, kBarMinimumWidth);
}

void StoreBarSize(QSettings& settings, BarSection bar, const QDockWidget& widget) {
  const QString kind = widget.isFloating() ? QStringLiteral("Float") : QStringLiteral("Vert");
  settings.setValue(SectionName(bar) + QStringLiteral("/size%1CX").arg(kind), widget.width());
  settings.setValue(SectionName(bar) + QStringLiteral("/size%1CY").arg(kind), widget.height());
}

QScrollArea* ScrolledForm(QWidget* form) {
  auto* area = new QScrollArea();
  area->setWidget(form);
  area->setWidgetResizable(true);
  area->setFrameShape(QFrame::NoFrame);
  area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  return area;
}

CViewBar::CViewBar(const QString& title, QWidget* content, QWidget* parent) : QDockWidget(title, parent) {
  setObjectName(title);
  setWidget(content);
  setAllowedAreas(Qt::AllDockWidgetAreas);
  setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
              QDockWidget::DockWidgetFloatable);
}

void CViewBar::closeEvent(QCloseEvent* event) {
  QDockWidget::closeEvent(event);
  if (event->isAccepted()) emit closedByUser();
}

namespace {

void FreezeHandles(QSplitter* splitter) {
  splitter->setChildrenCollapsible(true);
  splitter->setHandleWidth(3);
  for (int i = 0; i < splitter->count(); ++i) {
    if (QSplitterHandle* h = splitter->handle(i)) h->setEnabled(false);
  }
}

}  // namespace

CFixedSplitterWnd::CFixedSplitterWnd(QWidget* left, QWidget* right, int rightWidth, QWidget* parent)
    : QSplitter(Qt::Horizontal, parent), rightWidth_(rightWidth) {
  addWidget(left);
  addWidget(right);
  FreezeHandles(this);
}

void CFixedSplitterWnd::setRightWidth(int rightWidth) {
  rightWidth_ = rightWidth;
  applySizes();
}

void CFixedSplitterWnd::applySizes() {
  const ColumnSplit split = FixedColumnSplit(width() - handleWidth(), rightWidth_);
  setSizes({split.left, split.right});
}

void CFixedSplitterWnd::resizeEvent(QResizeEvent* event) {
  QSplitter::resizeEvent(event);
  applySizes();
}

CFixedSplitterA::CFixedSplitterA(QWidget* top, QWidget* bottom, QWidget* parent)
    : QSplitter(Qt::Vertical, parent) {
  addWidget(top);
  addWidget(bottom);
  FreezeHandles(this);
}

void CFixedSplitterA::resizeEvent(QResizeEvent* event) {
  QSplitter::resizeEvent(event);
  const RowSplit split = FixedRowSplit(height() - handleWidth());
  setSizes({split.top, split.bottom});
}

}  // namespace korvane::gui
