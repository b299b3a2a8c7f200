// Docking bar and fixed splitters of the main window.
#pragma once

#include <QDockWidget>
#include <QSplitter>

namespace korvane::gui {

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
