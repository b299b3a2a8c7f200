// The progress window of a long save: shown only when the save takes more
// than a moment, a bar for the waveform bytes written, the windows kept
// painted meanwhile (no user input is handled until the save ends, so the
// document does not change under it). The save stays on this thread; the
// writer calls back between pieces, where the document is consistent.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <cstdint>
#include <memory>

#include "core/data/file_writer.h"

class QProgressDialog;
class QWidget;

namespace korvane::gui {

class SaveProgress {
 public:
  SaveProgress(QWidget* window, QString label);
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
};

}  // namespace korvane::gui
