// Docking bars and fixed splitters of the main window, and where the bars'
// sizes are kept.
#pragma once

#include <QDockWidget>
#include <QSplitter>

class QMainWindow;
class QSettings;
class QScrollArea;

namespace korvane::gui {

// The two docking bars, by the section that keeps their sizes in the window
// settings ("Korvane-SCBar-1/sizeVertCX" …; the number tells them apart).
enum class BarSection { Info, Analysis };
inline constexpr BarSection kInfoBar = BarSection::Info;
inline constexpr BarSection kAnalysisBar = BarSection::Analysis;
inline constexpr int kBarMinimumWidth = 120;
inline constexpr int kBarMinimumHeight = 80;

// The three sizes a bar keeps (pixels): docked left or right ("Vert"),
// docked at the top or bottom ("Horz") and floating ("Float"), and where it
// was ("dockArea": a Qt::DockWidgetArea, 0 for floating).
struct BarPlacement {
  QSize vertical;
  QSize horizontal;
  QSize floating;
  Qt::DockWidgetArea area = Qt::LeftDockWidgetArea;
  bool isFloating = false;
};

// The stored sizes and place, each size from `fallback` where none is
// stored and none below the minimum (kBarMinimumWidth wide,
// kBarMinimumHeight high).
BarPlacement StoredBarPlacement(const QSettings& settings, BarSection bar, const BarPlacement& fallback);
// Stores the bar's size under the way it is placed now, and the place.
void StoreBarSize(QSettings& settings, BarSection bar, const QDockWidget& widget);
// Puts `widget` where `placement` says in `window`, with the size for that
// place; a floating bar takes the floating size whenever it is floated.
void ApplyBarPlacement(QMainWindow& window, QDockWidget& widget, const BarPlacement& placement);

// A form in a frameless scroll area, so that a bar or column can be
// narrower or shorter than the form's layout wants.
QScrollArea* ScrolledForm(QWidget* form);

// A docking bar holding one form; tells when the user closes it.
class CViewBar : public QDockWidget {
  Q_OBJECT

 public:
  CViewBar(const QString& title, QWidget* content, QWidget* parent = nullptr);

 signals:
  void closedByUser();

 protected:
  void closeEvent(QCloseEvent* event) override;
};

// Two columns whose split bar cannot be dragged: the right column keeps
// min(rightWidth, width / 3) pixels (hidden below 100), the left the rest.
class CFixedSplitterWnd : public QSplitter {
  Q_OBJECT

 public:
  CFixedSplitterWnd(QWidget* left, QWidget* right, int rightWidth, QWidget* parent = nullptr);
  void setRightWidth(int rightWidth);
  int rightWidth() const { return rightWidth_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void applySizes();
  int rightWidth_;
};

// Two rows whose split bar cannot be dragged: two thirds and one third.
class CFixedSplitterA : public QSplitter {
  Q_OBJECT

 public:
  CFixedSplitterA(QWidget* top, QWidget* bottom, QWidget* parent = nullptr);

 protected:
  void resizeEvent(QResizeEvent* event) override;
};

}  // namespace korvane::gui
