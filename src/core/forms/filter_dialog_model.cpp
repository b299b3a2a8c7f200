#include "core/forms/filter_dialog_model.h"

#include <charconv>
#include <limits>

#include "core/app/document_edits.h"
#include "core/app/korvane_doc.h"
#include "core/data/number_entry.h"

namespace korvane {
namespace {

// Values above this raise the message box and shorten the text.
constexpr float kLargestTyped = 9999.0f;
constexpr int kShortenedCharacters = 4;

// "%.<decimals>f" independent of the process locale.
std::string FormatFixed(float value, int decimals) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                    std::chars_format::fixed, decimals);
  if (result.ec != std::errc{}) return {};
  return std::string(buffer, result.ptr);
}

// First `count` characters (code points) of a UTF-8 text.
std::string FirstCharacters(std::string_view text, int count) {
  std::size_t end = 0;
  for (int taken = 0; end < text.size() && taken < count; ++taken) {
    ++end;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  }
  return std::string(text.substr(0, end));
}

}  // namespace

std::string_view HighPassCaption(float highPassKHz, float lowPassKHz) {
  // Written so that NaN counts as out of range.
  if (!(highPassKHz <= 20.0f && highPassKHz >= 0.0099995)) return kCaptionHighPassRange;
  if (highPassKHz > lowPassKHz) return kCaptionHighAboveLow;
  return kCaptionFiltering;
}

std::string_view LowPassCaption(float lowPassKHz, float highPassKHz) {
  if (!(lowPassKHz <= 500.0f && lowPassKHz >= 2.0f)) return kCaptionLowPassRange;
  if (lowPassKHz < highPassKHz) return kCaptionHighAboveLow;
  return kCaptionFiltering;
}

std::string CheckFilterCorners(std::optional<float> highPassKHz, std::optional<float> lowPassKHz) {
  if (highPassKHz) {
    const std::string_view caption =
        HighPassCaption(*highPassKHz, lowPassKHz.value_or(std::numeric_limits<float>::infinity()));
    if (caption != kCaptionFiltering) return std::string(caption);
  }
  if (lowPassKHz) {
    const std::string_view caption = LowPassCaption(*lowPassKHz, highPassKHz.value_or(0.0f));
    if (caption != kCaptionFiltering) return std::string(caption);
  }
  return {};
}

std::string ApplyFilterCorners(CKorvaneDoc& doc, std::optional<float> highPassKHz,
                               std::optional<float> lowPassKHz) {
  if (std::string refusal = CheckFilterCorners(highPassKHz, lowPassKHz); !refusal.empty()) return refusal;
  FilterSettings settings = FilterSettingsOf(doc);
  if (highPassKHz) {
    settings.highPassKHz = *highPassKHz;
    settings.highPassOn = true;
  }
  if (lowPassKHz) {
    settings.lowPassKHz = *lowPassKHz;
    settings.lowPassOn = true;
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
      openingLowOn_(doc.lowPassOn),
      highText_(FormatFixed(doc.highPassKHz, 2)),
      lowText_(FormatFixed(doc.lowPassKHz, 0)),
      caption_(kFilterDialogTitle) {}

bool FilterDialogModel::highPassChecked() const { return doc_.highPassOn; }
bool FilterDialogModel::lowPassChecked() const { return doc_.lowPassOn; }

void FilterDialogModel::Refilter(FilterDialogUpdate& update) {
  ApplyZoneFilter(doc_, CurrentZoneRef(doc_), FilterSettingsOf(doc_));
  update.redrawPanels = true;
}

FilterDialogUpdate FilterDialogModel::SetHighPassChecked(bool checked) {
  doc_.highPassOn = checked;
  if (checked) return TextChanged(Corner::High, highText_);
  FilterDialogUpdate update;
  Refilter(update);
  return update;
}

FilterDialogUpdate FilterDialogModel::SetLowPassChecked(bool checked) {
  doc_.lowPassOn = checked;
  if (checked) return TextChanged(Corner::Low, lowText_);
  FilterDialogUpdate update;
  Refilter(update);
  return update;
}

FilterDialogUpdate FilterDialogModel::HighPassTextChanged(std::string_view text) {
  return TextChanged(Corner::High, text);
}

FilterDialogUpdate FilterDialogModel::LowPassTextChanged(std::string_view text) {
  return TextChanged(Corner::Low, text);
}

FilterDialogUpdate FilterDialogModel::TextChanged(Corner corner, std::string_view text) {
  const bool high = corner == Corner::High;
  const std::string current(text);  // `text` may refer to the member below
  (high ? highText_ : lowText_) = current;

  FilterDialogUpdate update;
  const WarningSink collect = [&update](std::string_view message) { update.messages.emplace_back(message); };
  const float value = MathOperation::ToFloat(current, collect);
  (high ? doc_.highPassKHz : doc_.lowPassKHz) = value;

  if (value > kLargestTyped) {
    update.messages.emplace_back(high ? kMsgHighPassTooLarge : kMsgLowPassTooLarge);
    std::string shortened = FirstCharacters(current, kShortenedCharacters);
    // The shortened text is a new change of the text and is handled as such.
    // A text that is already four characters long ("1e10") stays as it is
    // and is checked below; handling it again would never end.
    if (shortened != current) {
      FilterDialogUpdate again = TextChanged(corner, shortened);
      update.messages.insert(update.messages.end(), again.messages.begin(), again.messages.end());
      update.editText = std::move(shortened);
      update.caption = std::move(again.caption);
      update.redrawPanels = again.redrawPanels;
      return update;
    }
  }

  const std::string_view caption = high ? HighPassCaption(doc_.highPassKHz, doc_.lowPassKHz)
                                        : LowPassCaption(doc_.lowPassKHz, doc_.highPassKHz);
  caption_ = caption;
  update.caption = caption_;
  if (caption == kCaptionFiltering && !current.empty()) Refilter(update);
  return update;
}

std::vector<std::string> FilterDialogModel::Accept() {
  std::vector<std::string> messages;
  const WarningSink collect = [&messages](std::string_view message) { messages.emplace_back(message); };
  doc_.highPassKHz = MathOperation::ToFloat(highText_, collect);
  doc_.lowPassKHz = MathOperation::ToFloat(lowText_, collect);
  return messages;
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
