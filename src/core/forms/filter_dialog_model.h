// Logic of the filter dialog ("滤波"): two check boxes with an edit box each
// for the high-pass and low-pass corners (kHz), "确定" and "取消". A corner
// is typed as every number field is (typed_number.h): the text is entered
// when its edit ends, and only a number in the corner's range is taken; each
// change taken refilters the current zone's waveforms from their loaded
// copies at once, so the corner the document holds is always the corner its
// waveforms were filtered with. The dialog's view (Qt) only shows what this
// model says.
//
// The model reads and writes the document's four filter settings directly
// and refilters through the document's ApplyZoneFilter edit. It remembers
// the settings at opening for "取消".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

class CKorvaneDoc;

inline constexpr std::string_view kFilterDialogTitle = "滤波";
// Both filters on, the high-pass corner above the low-pass one (equal
// corners are allowed).
inline constexpr std::string_view kMsgHighAboveLow = "高通值必须小于低通值";

// Why a pair of corners (kHz) cannot filter, or empty: each corner given
// against its range (RangeMessage of TypedField::HighPass or LowPass), then,
// when both are given, the high-pass against the low-pass.
std::string CheckFilterCorners(std::optional<float> highPassKHz, std::optional<float> lowPassKHz);

// Switches on the filters whose corner (kHz) is given and refilters the
// current zone from its loaded waveforms; filters not given are left as they
// are (a filter left on is checked against the one given). On refusal the
// message is returned and nothing changes; empty on success.
std::string ApplyFilterCorners(CKorvaneDoc& doc, std::optional<float> highPassKHz,
                               std::optional<float> lowPassKHz);

// Message of the filter command when it cannot open the dialog ("请先打开文件
// 再进行滤波!" while no file is open), or empty when it can.
std::string FilterCommandRefusal(const CKorvaneDoc& doc);

// What the view has to do after a user action, in this order: show the
// message (a refusal: the action changed nothing, the focus stays where the
// user acted), replace the text of the edit box acted on (without reporting
// that change back), redraw the main screen's point panels.
struct FilterDialogUpdate {
  std::string message;
  std::optional<std::string> editText;
  bool redrawPanels = false;
  bool refused() const { return !message.empty(); }
};

class FilterDialogModel {
 public:
  // Opening: remembers the document's four settings and forms the texts.
  explicit FilterDialogModel(CKorvaneDoc& doc);

  // State at opening and after each action. Each edit box is enabled only
  // while its check box is checked.
  bool highPassChecked() const;
  bool lowPassChecked() const;
  // The corners as held: two decimals for the high-pass, none for the
  // low-pass, more where the value has more (FormatHeldValue).
  std::string highPassText() const;
  std::string lowPassText() const;

  // "高通(kHz)" checked or unchecked. Checking filters with the corner held,
  // or is refused (the box stays unchecked) when that corner is outside its
  // range or, with the other filter on, on the wrong side of the other
  // corner. Unchecking refilters without the high-pass.
  FilterDialogUpdate SetHighPassChecked(bool checked);
  FilterDialogUpdate SetLowPassChecked(bool checked);

  // The edit of a corner's text ended (Enter, Tab, a click elsewhere, "确定"):
  // a number in the corner's range (and, with both filters on, not on the
  // wrong side of the other corner) is stored and, its filter being on,
  // filtered with; editText then shows it as held. Anything else is refused
  // with the message naming the corner and its range (or kMsgHighAboveLow)
  // and the document keeps the corner it had.
  FilterDialogUpdate EnterHighPass(std::string_view text);
  FilterDialogUpdate EnterLowPass(std::string_view text);

  // "取消": puts back the settings remembered at opening and refilters with
  // them.
  FilterDialogUpdate Cancel();

 private:
  enum class Corner { High, Low };
  FilterDialogUpdate SetChecked(Corner corner, bool checked);
  FilterDialogUpdate Enter(Corner corner, std::string_view text);
  // The refusal for the corners with the filters' switches as given.
  std::string Refusal(bool highOn, float highKHz, bool lowOn, float lowKHz, Corner acted) const;
  void Refilter(FilterDialogUpdate& update);

  CKorvaneDoc& doc_;
  float openingHighKHz_;
  float openingLowKHz_;
  bool openingHighOn_;
  bool openingLowOn_;
};

}  // namespace korvane
