#include "gui/widgets/docking_bars.h"

#include <QMainWindow>
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

QSize StoredSize(const QSettings& settings, BarSection bar, const QString& kind, QSize fallback) {
  const QString key = SectionName(bar) + QStringLiteral("/size") + kind;
  const int width = settings.value(key + QStringLiteral("CX"), fallback.width()).toInt();
  const int height = settings.value(key + QStringLiteral("CY"), fallback.height()).toInt();
  return {std::max(width, kBarMinimumWidth), std::max(height, kBarMinimumHeight)};
}

bool IsHorizontalArea(Qt::DockWidgetArea area) {
  return area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea;
}

}  // namespace

BarPlacement StoredBarPlacement(const QSettings& settings, BarSection bar, const BarPlacement& fallback) {
  BarPlacement p;
  p.vertical = StoredSize(settings, bar, QStringLiteral("Vert"), fallback.vertical);
  p.horizontal = StoredSize(settings, bar, QStringLiteral("Horz"), fallback.horizontal);
  p.floating = StoredSize(settings, bar, QStringLiteral("Float"), fallback.floating);
  const int area =
      settings.value(SectionName(bar) + QStringLiteral("/dockArea"), fallback.isFloating ? 0 : fallback.area)
          .toInt();
  switch (area) {
    case 0: p.isFloating = true; break;
    case Qt::LeftDockWidgetArea:
    case Qt::RightDockWidgetArea:
    case Qt::TopDockWidgetArea:
    case Qt::BottomDockWidgetArea: p.area = static_cast<Qt::DockWidgetArea>(area); break;
    default: p.area = fallback.area; break;
  }
  return p;
}

void StoreBarSize(QSettings& settings, BarSection bar, const QDockWidget& widget) {
  const auto* window = qobject_cast<const QMainWindow*>(widget.parentWidget());
  const Qt::DockWidgetArea area =
      window != nullptr ? window->dockWidgetArea(const_cast<QDockWidget*>(&widget)) : Qt::LeftDockWidgetArea;
  const QString kind = widget.isFloating()      ? QStringLiteral("Float")
                       : IsHorizontalArea(area) ? QStringLiteral("Horz")
                                                : QStringLiteral("Vert");
  settings.setValue(SectionName(bar) + QStringLiteral("/size%1CX").arg(kind), widget.width());
  settings.setValue(SectionName(bar) + QStringLiteral("/size%1CY").arg(kind), widget.height());
  settings.setValue(SectionName(bar) + QStringLiteral("/dockArea"),
                    widget.isFloating() ? 0 : static_cast<int>(area));
}

void ApplyBarPlacement(QMainWindow& window, QDockWidget& widget, const BarPlacement& placement) {
  widget.setProperty("floatingSize", placement.floating);
  if (widget.property("followsFloatingSize").isNull()) {
    widget.setProperty("followsFloatingSize", true);
    QObject::connect(&widget, &QDockWidget::topLevelChanged, &widget, [&widget](bool floating) {
      const QSize size = widget.property("floatingSize").toSize();
      if (floating && size.isValid()) widget.resize(size);
    });
  }
  if (placement.isFloating) {
    widget.setFloating(true);
    widget.resize(placement.floating);
    return;
  }
  if (window.dockWidgetArea(&widget) != placement.area) window.addDockWidget(placement.area, &widget);
  widget.setFloating(false);
  if (IsHorizontalArea(placement.area)) {
    window.resizeDocks({&widget}, {placement.horizontal.height()}, Qt::Vertical);
  } else {
    window.resizeDocks({&widget}, {placement.vertical.width()}, Qt::Horizontal);
  }
}

QScrollArea* ScrolledForm(QWidget* form) {
  auto* area = new QScrollArea();
  area->setWidget(form);
  area->setWidgetResizable(true);
  area->setFrameShape(QFrame::NoFrame);
  // The form's controls take the focus, not the area around them.
  area->setFocusPolicy(Qt::NoFocus);
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
