#include "gui/widgets/click_guard.h"

#include <QApplication>
#include <QEvent>
#include <QToolBar>
#include <QToolButton>

namespace korvane::gui {

ClickGuard::ClickGuard(QToolBar* bar) : QObject(bar) {
  for (QToolButton* button : bar->findChildren<QToolButton*>()) button->installEventFilter(this);
}

void ClickGuard::arm() { shown_.start(); }

bool ClickGuard::armed() const {
  return shown_.isValid() && shown_.elapsed() < QApplication::doubleClickInterval();
}

bool ClickGuard::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: return armed();
    default: return QObject::eventFilter(watched, event);
  }
}

}  // namespace korvane::gui
