// "当前测区数据": the measuring points of the current zone, one row per point
// with its transit time T, amplitude A, distance L (editable) and velocity V.
// Cursor readouts of the waveform panels appear in the point's fields.
#pragma once

#include <QWidget>
#include <array>

#include "core/data/records.h"
#include "core/forms/main_screen_model.h"

class QLabel;
class QLineEdit;
class QGroupBox;

namespace korvane::gui {

class DocumentModel;
class Prompter;

class MainFormRight : public QWidget {
  Q_OBJECT

 public:
  MainFormRight(DocumentModel* model, Prompter* prompter, QWidget* parent = nullptr);

  QLineEdit* timeField(int slot) const { return rows_[static_cast<std::size_t>(slot)].time; }
  QLineEdit* amplitudeField(int slot) const { return rows_[static_cast<std::size_t>(slot)].amplitude; }
  QLineEdit* distanceField(int slot) const { return rows_[static_cast<std::size_t>(slot)].distance; }
  QLineEdit* velocityField(int slot) const { return rows_[static_cast<std::size_t>(slot)].velocity; }
  // Whether the row of point `slot` is shown.
  bool rowShown(int slot) const;
  // Width of the main screen's right column: 124 dialog units, wider only as
  // far as the form needs to show every value whole (it does not scroll
  // sideways).
  int columnWidth() const;

  // Reloads every field from the current zone.
  void refresh();
  // Shows a cursor readout in the fields of point `slot`.
  void showReadout(int slot, float time, float amplitudeMv, float velocity);
  // Puts the point's stored T, A and V back (the cursor line has gone).
  void showStoredReadings(int slot);

 private:
  struct Row {
    QWidget* box = nullptr;
    QLineEdit* time = nullptr;
    QLineEdit* amplitude = nullptr;
    QLineEdit* distance = nullptr;
    QLineEdit* velocity = nullptr;
  };
  // L typed: entered, or its message shown (false).
  bool distanceEntered(int slot);
  void showTexts(int slot, const PointRowTexts& texts);

  DocumentModel* model_;
  Prompter* prompter_;
  std::array<Row, kMaxPoints> rows_;
};

}  // namespace korvane::gui
