#include "gui/widgets/save_progress.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace korvane::gui {
namespace {

constexpr qint64 kShowAfterMs = 400;    // a save quicker than this shows nothing
constexpr qint64 kRepaintEveryMs = 50;  // the windows are repainted this often
constexpr int kSteps = 1000;

}  // namespace

SaveProgress::SaveProgress(QWidget* window, QString label, std::function<void()> cancel)
    : window_(window), label_(std::move(label)), cancel_(std::move(cancel)) {
  started_.start();
  painted_.start();
}

SaveProgress::~SaveProgress() = default;

WriteProgress SaveProgress::callback() {
  return [this](std::uint64_t done, std::uint64_t total) { update(done, total); };
}

void SaveProgress::update(std::uint64_t done, std::uint64_t total) {
  if (!dialog_ && started_.elapsed() < kShowAfterMs) return;
  if (!dialog_) {
    dialog_ = std::make_unique<QProgressDialog>(label_, QString(), 0, kSteps, window_);
    dialog_->setWindowTitle(QStringLiteral("Korvane"));
    dialog_->setWindowModality(Qt::ApplicationModal);
    if (cancel_) {
      dialog_->setCancelButtonText(QStringLiteral("取消"));
    } else {
      dialog_->setCancelButton(nullptr);
    }
    // The bar is driven here; the dialog neither resets nor closes itself.
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
    dialog_->setMinimumDuration(0);
    dialog_->show();
  }
  if (cancel_ && dialog_->wasCanceled()) cancel_();
  if (painted_.elapsed() < kRepaintEveryMs && done < total) return;
  dialog_->setValue(total == 0 ? kSteps : static_cast<int>(done * kSteps / total));
  // The window is application-modal: with a cancel button, the clicks it
  // takes are the only input handled.
  QCoreApplication::processEvents(cancel_ ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
  painted_.restart();
  if (cancel_ && dialog_->wasCanceled()) cancel_();
}

}  // namespace korvane::gui
