#include "core/forms/filter_dialog_model.h"

#include <cmath>

#include "core/app/document_edits.h"
#include "core/app/korvane_doc.h"
#include "core/data/number_entry.h"
#include "core/data/typed_number.h"

namespace korvane {
namespace {

TypedField FieldOf(bool high) { return high ? TypedField::HighPass : TypedField::LowPass; }

// A corner held as float against its range: the range's ends as floats, so
// that a typed "0.01" taken stays inside when checked again.
std::string RangeRefusal(bool high, float kHz) {
  const NumberRange range = RangeOf(FieldOf(high));
  const bool inside =
      std::isfinite(kHz) && kHz >= static_cast<float>(range.low) && kHz <= static_cast<float>(range.high);
  return inside ? std::string() : RangeMessage(range);
}

}  // namespace

std::string CheckFilterCorners(std::optional<float> highPassKHz, std::optional<float> lowPassKHz) {
  if (highPassKHz) {
    if (std::string refusal = RangeRefusal(true, *highPassKHz); !refusal.empty()) return refusal;
  }
  if (lowPassKHz) {
    if (std::string refusal = RangeRefusal(false, *lowPassKHz); !refusal.empty()) return refusal;
  }
  if (highPassKHz && lowPassKHz && *highPassKHz > *lowPassKHz) return std::string(kMsgHighAboveLow);
  return {};
}

std::string ApplyFilterCorners(CKorvaneDoc& doc, std::optional<float> highPassKHz,
                               std::optional<float> lowPassKHz) {
  FilterSettings settings = FilterSettingsOf(doc);
  if (highPassKHz) {
    settings.highPassKHz = *highPassKHz;
    settings.highPassOn = true;
  }
  if (lowPassKHz) {
    settings.lowPassKHz = *lowPassKHz;
    settings.lowPassOn = true;
  }
  // A filter left on counts as given.
  const auto on = [](bool isOn, float kHz) { return isOn ? std::optional<float>(kHz) : std::nullopt; };
  if (std::string refusal = CheckFilterCorners(on(settings.highPassOn, settings.highPassKHz),
                                               on(settings.lowPassOn, settings.lowPassKHz));
      !refusal.empty()) {
    return refusal;
  }
  ApplyZoneFilter(doc, CurrentZoneRef(doc), settings);
  return {};
}

std::string FilterCommandRefusal(const CKorvaneDoc& doc) {
  return doc.HasFile() ? std::string() : std::string(kMsgOpenFileBeforeFilter);
}

FilterDialogModel::FilterDialogModel(CKorvaneDoc& doc)
    : doc_(doc),
      openingHighKHz_(doc.highPassKHz),
      openingLowKHz_(doc.lowPassKHz),
      openingHighOn_(doc.highPassOn),
      openingLowOn_(doc.lowPassOn) {}

bool FilterDialogModel::highPassChecked() const { return doc_.highPassOn; }
bool FilterDialogModel::lowPassChecked() const { return doc_.lowPassOn; }
std::string FilterDialogModel::highPassText() const { return FormatHeldValue(doc_.highPassKHz, 2); }
std::string FilterDialogModel::lowPassText() const { return FormatHeldValue(doc_.lowPassKHz, 0); }

std::string FilterDialogModel::Refusal(bool highOn, float highKHz, bool lowOn, float lowKHz,
                                       Corner acted) const {
  const bool high = acted == Corner::High;
  if (std::string refusal = RangeRefusal(high, high ? highKHz : lowKHz); !refusal.empty()) return refusal;
  if (highOn && lowOn && highKHz > lowKHz) return std::string(kMsgHighAboveLow);
  return {};
}

void FilterDialogModel::Refilter(FilterDialogUpdate& update) {
  ApplyZoneFilter(doc_, CurrentZoneRef(doc_), FilterSettingsOf(doc_));
  update.redrawPanels = true;
}

FilterDialogUpdate FilterDialogModel::SetHighPassChecked(bool checked) {
  return SetChecked(Corner::High, checked);
}
FilterDialogUpdate FilterDialogModel::SetLowPassChecked(bool checked) {
  return SetChecked(Corner::Low, checked);
}

FilterDialogUpdate FilterDialogModel::SetChecked(Corner corner, bool checked) {
  const bool high = corner == Corner::High;
  FilterDialogUpdate update;
  if (checked) {
    update.message =
        Refusal(high || doc_.highPassOn, doc_.highPassKHz, !high || doc_.lowPassOn, doc_.lowPassKHz, corner);
    if (update.refused()) return update;
  }
  (high ? doc_.highPassOn : doc_.lowPassOn) = checked;
  Refilter(update);
  return update;
}

FilterDialogUpdate FilterDialogModel::EnterHighPass(std::string_view text) {
  return Enter(Corner::High, text);
}
FilterDialogUpdate FilterDialogModel::EnterLowPass(std::string_view text) { return Enter(Corner::Low, text); }

FilterDialogUpdate FilterDialogModel::Enter(Corner corner, std::string_view text) {
  const bool high = corner == Corner::High;
  FilterDialogUpdate update;
  const TypedNumber typed = ReadTypedNumber(text, FieldOf(high));
  if (!typed.value) {
    update.message = typed.message;
    return update;
  }
  const float highKHz = high ? *typed.value : doc_.highPassKHz;
  const float lowKHz = high ? doc_.lowPassKHz : *typed.value;
  update.message = Refusal(doc_.highPassOn, highKHz, doc_.lowPassOn, lowKHz, corner);
  if (update.refused()) return update;
  const bool changed = (high ? doc_.highPassKHz : doc_.lowPassKHz) != *typed.value;
  (high ? doc_.highPassKHz : doc_.lowPassKHz) = *typed.value;
  update.editText = high ? highPassText() : lowPassText();
  if (changed && (high ? doc_.highPassOn : doc_.lowPassOn)) Refilter(update);
  return update;
}

FilterDialogUpdate FilterDialogModel::Cancel() {
  doc_.highPassKHz = openingHighKHz_;
  doc_.lowPassKHz = openingLowKHz_;
  doc_.highPassOn = openingHighOn_;
  doc_.lowPassOn = openingLowOn_;
  FilterDialogUpdate update;
  Refilter(update);
  return update;
}

}  // namespace korvane
