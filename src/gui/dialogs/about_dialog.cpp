#include "gui/dialogs/about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/widgets/icons.h"

namespace korvane::gui {

AboutDialog::AboutDialog(const QString& programVersion, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("关于 Korvane"));
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  auto* icon = new QLabel(this);
  icon->setPixmap(ApplicationIcon().pixmap(48, 48));
  row->addWidget(icon, 0, Qt::AlignTop);
  auto* text = new QLabel(QStringLiteral("<b>Korvane</b> %1<br>超声回弹综合法检测混凝土抗压强度")
                              .arg(programVersion.toHtmlEscaped()),
                          this);
  text->setObjectName(QStringLiteral("AboutText"));
  row->addWidget(text, 1);
  layout->addLayout(row);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
}

}  // namespace korvane::gui
