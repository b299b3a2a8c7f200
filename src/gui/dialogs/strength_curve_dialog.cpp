#include "gui/dialogs/strength_curve_dialog.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/app/document_edits.h"
#include "core/app/edit_names.h"
#include "core/platform/error.h"
#include "core/platform/path_text.h"
#include "core/report/curve_page.h"
#include "gui/document/document_model.h"
#include "gui/prompter.h"
#include "gui/widgets/wait_cursor.h"
#include "office/cube_workbook.h"
#include "render/page_painter.h"
#include "render/report_renderer.h"

namespace korvane::gui {
namespace {

constexpr std::string_view kFilterCubes =
    "试件数据 (*.csv;*.xlsx)|*.csv;*.xlsx|CSV文件 (*.csv)|*.csv|Excel工作簿 (*.xlsx)|*.xlsx|所有文件 "
    "(*.*)|*.*||";
constexpr std::string_view kFilterPdf = "PDF文件 (*.pdf)|*.pdf||";

QTableWidgetItem* ReadOnlyItem(const std::string& text) {
  auto* item = new QTableWidgetItem(FromUtf8(text));
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  return item;
}

}  // namespace

CurvePlotView::CurvePlotView(const StrengthCurveModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
  setMinimumSize(240, 240);
}

void CurvePlotView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  if (!model_.fit()) return;
  const int textPx = std::max(10, fontMetrics().height() * 9 / 10);
  painter.setRenderHint(QPainter::Antialiasing);
  render::PaintPage(painter, report::LayoutCurvePlot(*model_.fit(), model_.table().cubes,
                                                     {4, 4, width() - 4, height() - 4}, 1, textPx));
}

StrengthCurveDialog::StrengthCurveDialog(DocumentModel* model, Prompter* prompter, QWidget* parent)
    : QDialog(parent), model_(model), prompter_(prompter) {
  setWindowTitle(FromUtf8(report::kCurvePageTitle));
  file_ = new QLabel(QStringLiteral("请选择试件数据文件（表头 v,R,fcu 或 声速,回弹值,抗压强度）"), this);
  file_->setWordWrap(true);
  choose_ = new QPushButton(QStringLiteral("选择文件(&O)..."), this);
  cubes_ = new QTableWidget(0, kCubeColumns, this);
  QStringList heads;
  for (int c = 0; c < kCubeColumns; ++c) heads << FromUtf8(CubeColumnHead(c));
  cubes_->setHorizontalHeaderLabels(heads);
  cubes_->verticalHeader()->hide();
  cubes_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  cubes_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  figures_ = new QTableWidget(0, 2, this);
  figures_->horizontalHeader()->hide();
  figures_->verticalHeader()->hide();
  figures_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  figures_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  figures_->horizontalHeader()->setStretchLastSection(true);
  cubes_->horizontalHeader()->setStretchLastSection(true);
  const int rowHeight = fontMetrics().height() + 6;
  cubes_->verticalHeader()->setDefaultSectionSize(rowHeight);
  figures_->verticalHeader()->setDefaultSectionSize(rowHeight);
  note_ = new QLabel(this);
  note_->setWordWrap(true);
  note_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  plot_ = new CurvePlotView(logic_, this);
  allMembers_ = new QCheckBox(QStringLiteral("应用于全部构件(&A)"), this);
  use_ = new QPushButton(QStringLiteral("用作自定义系数(&U)"), this);
  export_ = new QPushButton(QStringLiteral("导出(&E)..."), this);
  auto* close = new QPushButton(QStringLiteral("关闭"), this);

  auto* top = new QHBoxLayout;
  top->addWidget(file_, 1);
  top->addWidget(choose_);
  // The cubes above the figures on the left, the plot on the right.
  auto* middle = new QGridLayout;
  middle->addWidget(cubes_, 0, 0);
  middle->addWidget(figures_, 1, 0);
  middle->addWidget(note_, 2, 0);
  middle->addWidget(plot_, 0, 1, 3, 1);
  middle->setColumnStretch(0, 2);
  middle->setColumnStretch(1, 3);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(allMembers_);
  buttons->addStretch(1);
  buttons->addWidget(use_);
  buttons->addWidget(export_);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(middle, 1);
  layout->addLayout(buttons);
  resize(1100, 720);

  connect(choose_, &QPushButton::clicked, this, &StrengthCurveDialog::onChoose);
  connect(use_, &QPushButton::clicked, this, &StrengthCurveDialog::onUse);
  connect(export_, &QPushButton::clicked, this, &StrengthCurveDialog::onExport);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  refresh();
}

void StrengthCurveDialog::onChoose() {
  const QString path = prompter_->openFileName(this, FromUtf8(kFilterCubes));
  if (!path.isEmpty()) load(path);
}

void StrengthCurveDialog::load(const QString& path) {
  path_ = path;
  file_->setText(QFileInfo(path).fileName());
  try {
    const WaitCursor wait;
    logic_.SetTable(office::ReadCubeFile(PathFromUtf8(path.toStdString())));
  } catch (const KorvaneError& error) {
    logic_.SetProblem(error.what());
  }
  refresh();
}

void StrengthCurveDialog::refresh() {
  cubes_->setRowCount(logic_.Rows());
  for (int row = 0; row < logic_.Rows(); ++row) {
    for (int c = 0; c < kCubeColumns; ++c) {
      QTableWidgetItem* item = ReadOnlyItem(logic_.Cell(row, c));
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      cubes_->setItem(row, c, item);
    }
  }
  const std::vector<report::CurveFigureRow> figures = logic_.Figures();
  figures_->setRowCount(static_cast<int>(figures.size()));
  for (int row = 0; row < static_cast<int>(figures.size()); ++row) {
    figures_->setItem(row, 0, ReadOnlyItem(figures[static_cast<std::size_t>(row)].label));
    figures_->setItem(row, 1, ReadOnlyItem(figures[static_cast<std::size_t>(row)].value));
  }
  std::string note = logic_.problem();
  if (const std::string leftOut = logic_.LeftOutText(); !leftOut.empty()) {
    note += (note.empty() ? "" : "\n") + leftOut;
  }
  note_->setText(FromUtf8(note));
  note_->setVisible(!note.empty());
  const bool fitted = logic_.fit().has_value();
  use_->setEnabled(fitted && model_->hasFile());
  allMembers_->setEnabled(fitted && model_->hasFile());
  export_->setEnabled(fitted);
  plot_->update();
}

void StrengthCurveDialog::onUse() {
  if (!logic_.fit() || !model_->hasFile()) return;
  const CurveFit& fit = *logic_.fit();
  const auto a = static_cast<float>(fit.a);
  const auto b = static_cast<float>(fit.b);
  const auto c = static_cast<float>(fit.c);
  const int member = allMembers_->isChecked() ? -1 : model_->current().member;
  const EditResult result = model_->edit(edit_name::kCustomCoefficients, [=](CKorvaneDoc& doc) {
    return SetCustomCoefficients(doc, member, a, b, c);
  });
  if (!result.message.empty()) prompter_->message(this, FromUtf8(result.message));
}

void StrengthCurveDialog::onExport() {
  if (!logic_.fit()) return;
  const QFileInfo source(path_);
  const QString initial = source.absolutePath() + QLatin1Char('/') + source.completeBaseName() + ".pdf";
  const QString path = prompter_->saveFileName(this, initial, FromUtf8(kFilterPdf), QStringLiteral("pdf"),
                                               QStringLiteral("导出"));
  if (path.isEmpty()) return;
  const CurveFit fit = *logic_.fit();
  const std::vector<Cube> cubes = logic_.table().cubes;
  std::vector<std::string> leftOut;
  for (const CubeProblem& problem : logic_.table().leftOut) leftOut.push_back(problem.message);
  try {
    const WaitCursor wait;
    render::RenderPageToPdf(
        PathFromUtf8(path.toStdString()), report::kCurvePageTitle,
        [&](const report::Rect& body) { return report::LayoutCurvePage(fit, cubes, leftOut, body); });
  } catch (const KorvaneError& error) {
    prompter_->message(this, FromUtf8(error.what()));
  }
}

}  // namespace korvane::gui
