// Refuses, while the user types or pastes, texts that a data file cannot hold:
// line breaks, and more UTF-16 code units than a fixed-width column takes.
#pragma once

#include <QValidator>

namespace korvane::gui {

class StorableTextValidator : public QValidator {
  Q_OBJECT

 public:
  // maxUnits < 0: no length limit.
  explicit StorableTextValidator(int maxUnits, QObject* parent = nullptr);
  State validate(QString& input, int& pos) const override;

 private:
  int maxUnits_;
};

}  // namespace korvane::gui
