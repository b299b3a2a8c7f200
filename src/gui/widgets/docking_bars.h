// Docking bars and fixed splitters of the main window, and where the bars'
// sizes are kept.
#pragma once

#include <QDockWidget>
#include <QSplitter>

class QSettings;
class QScrollArea;

namespace korvane::gui {

// The two docking bars, by the section that keeps their sizes in the window
// settings ("Korvane-SCBar-1/sizeVertCX" …; the number tells them apart).
enum class BarSection { Info, Analysis };
inline constexpr BarSection kInfoBar = BarSection::Info;
inline constexpr BarSection kAnalysisBar = BarSection::Analysis;
inline constexpr int kBarMinimumWidth = 120;

// The stored width of a docked bar, `fallback` when none is stored; never
// below kBarMinimumWidth.
int StoredBarWidth(const QSettings& settings, BarSection bar, int fallback);
// Stores the bar's size as docked ("Vert") or floating ("Float") size.
void StoreBarSize(QSettings& settings, BarSection bar, const QDockWidget& widget);

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
