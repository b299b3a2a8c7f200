// About box: program name and version, OK.
#pragma once

#include <QDialog>

namespace korvane::gui {

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  AboutDialog(const QString& programVersion, QWidget* parent = nullptr);
};

}  // namespace korvane::gui
