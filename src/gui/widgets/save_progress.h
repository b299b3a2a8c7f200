// The progress window of a long job on this thread (a save, an open, the
// raw-data export, a print or its preview): shown only when the job takes
// more than a moment, a bar for the bytes or pages done, the windows kept
// painted meanwhile (no user input reaches the windows until the job ends,
// so the document does not change under it; a cancellable one's "取消" is
// the only control that takes a click). The job calls back between pieces,
// where the document is consistent.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "core/data/file_writer.h"

class QProgressDialog;
class QWidget;

namespace korvane::gui {

class SaveProgress {
 public:
  // With `cancel`, the window offers "取消": once it is pressed, the next
  // call of the callback throws `cancel()`'s exception (the writer then
  // leaves nothing behind).
  SaveProgress(QWidget* window, QString label, std::function<void()> cancel = {});
  ~SaveProgress();
  SaveProgress(const SaveProgress&) = delete;
  SaveProgress& operator=(const SaveProgress&) = delete;

  // The callback to hand to the save; valid while this object lives.
  WriteProgress callback();

 private:
  void update(std::uint64_t done, std::uint64_t total);

  QWidget* window_;
  QString label_;
  QElapsedTimer started_;
  QElapsedTimer painted_;
  std::unique_ptr<QProgressDialog> dialog_;
  std::function<void()> cancel_;
};

}  // namespace korvane::gui
