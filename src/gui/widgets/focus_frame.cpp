#include "gui/widgets/focus_frame.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPen>

namespace korvane::gui {

namespace {

constexpr char kWatched[] = "korvaneReadOnlyFocusFrame";

}  // namespace

ReadOnlyFocusFrame::ReadOnlyFocusFrame(QObject* owner) : QObject(owner) {
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
    for (QWidget* w : {old, now}) {
      auto* edit = qobject_cast<QLineEdit*>(w);
      if (edit == nullptr) continue;
      if (edit->isReadOnly() && edit->property(kWatched).value<QObject*>() != this) {
        edit->setProperty(kWatched, QVariant::fromValue<QObject*>(this));
        edit->installEventFilter(this);
      }
      edit->update();
    }
  });
}

void ReadOnlyFocusFrame::Install(QObject* owner) { new ReadOnlyFocusFrame(owner); }

bool ReadOnlyFocusFrame::eventFilter(QObject* watched, QEvent* event) {
  auto* edit = qobject_cast<QLineEdit*>(watched);
  if (event->type() != QEvent::Paint || edit == nullptr || !edit->hasFocus() || !edit->isReadOnly()) {
    return false;
  }
  // The field paints itself, then the frame goes over its border.
  static_cast<QObject*>(edit)->event(event);
  QPainter painter(edit);
  painter.setPen(QPen(edit->palette().color(QPalette::Highlight), 2));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRectF(edit->rect()).adjusted(1, 1, -1, -1));
  return true;
}

}  // namespace korvane::gui
