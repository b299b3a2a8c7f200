#include "gui/widgets/text_validator.h"

#include "core/data/text_entry.h"

namespace korvane::gui {

StorableTextValidator::StorableTextValidator(int maxUnits, QObject* parent)
    : QValidator(parent), maxUnits_(maxUnits) {}

QValidator::State StorableTextValidator::validate(QString& input, int&) const {
  return IsStorableText(input.toStdString(), maxUnits_) ? Acceptable : Invalid;
}

}  // namespace korvane::gui
