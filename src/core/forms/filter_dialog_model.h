// Logic of the filter dialog ("滤波"): two check boxes with an edit box each
// for the high-pass and low-pass corners (kHz), "确定" and "取消". Every
// valid change refilters the current zone's waveforms from their loaded
// copies at once; the dialog's view (Qt) only shows what this model says.
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
inline constexpr std::string_view kCaptionFiltering = "数字滤波";
inline constexpr std::string_view kCaptionHighPassRange = "高通范围为0.01-20kHz";
inline constexpr std::string_view kCaptionLowPassRange = "低通范围为2-500kHz";
inline constexpr std::string_view kCaptionHighAboveLow = "高通值必须小于低通值";
// Message boxes for values above 9999.
inline constexpr std::string_view kMsgHighPassTooLarge = "高通范围为0.01-20kHz";
inline constexpr std::string_view kMsgLowPassTooLarge = "低通范围为2-500";

// Caption for a high-pass corner (kHz) against the low-pass corner:
// kCaptionHighPassRange outside 0.01..20, kCaptionHighAboveLow above the
// low-pass, else kCaptionFiltering (a value equal to the low-pass is valid).
std::string_view HighPassCaption(float highPassKHz, float lowPassKHz);
// Caption for a low-pass corner: kCaptionLowPassRange outside 2..500,
// kCaptionHighAboveLow below the high-pass, else kCaptionFiltering.
std::string_view LowPassCaption(float lowPassKHz, float highPassKHz);

// Caption of the first invalid corner among those given (each against its
// range and, when both are given, against each other), or empty.
std::string CheckFilterCorners(std::optional<float> highPassKHz, std::optional<float> lowPassKHz);

// Switches on the filters whose corner (kHz) is given and refilters the
// current zone from its loaded waveforms, as a valid change in the dialog
// does; filters not given are left as they are. When CheckFilterCorners
// refuses, its caption is returned and nothing changes; empty on success.
std::string ApplyFilterCorners(CKorvaneDoc& doc, std::optional<float> highPassKHz,
                               std::optional<float> lowPassKHz);

// Message of the filter command when it cannot open the dialog ("请先打开文件
// 再进行滤波!" while no file is open), or empty when it can.
std::string FilterCommandRefusal(const CKorvaneDoc& doc);

// What the view has to do after a user action, in this order: show the
// messages (message boxes), replace the text of the edit box that changed
// (without reporting that change back), set the caption, redraw the main
// screen's point panels.
struct FilterDialogUpdate {
  std::vector<std::string> messages;
  std::optional<std::string> editText;
  std::optional<std::string> caption;
  bool redrawPanels = false;
};

class FilterDialogModel {
 public:
  // Opening: remembers the document's four settings and forms the texts.
  explicit FilterDialogModel(CKorvaneDoc& doc);

  // State at opening and after each action. Each edit box is enabled only
  // while its check box is checked.
  bool highPassChecked() const;
  bool lowPassChecked() const;
  const std::string& highPassText() const { return highText_; }  // "%.2f" at opening
  const std::string& lowPassText() const { return lowText_; }    // "%.0f" at opening
  const std::string& caption() const { return caption_; }        // "滤波" at opening

  // "高通(kHz)" checked or unchecked. Checking rechecks the current text
  // (and filters when it is valid); unchecking refilters without the
  // high-pass.
  FilterDialogUpdate SetHighPassChecked(bool checked);
  FilterDialogUpdate SetLowPassChecked(bool checked);

  // Every change of an edit text (the full new text, UTF-8). The value is
  // stored in the document even when it is invalid; only a valid, non-empty
  // one filters. A value above 9999 shows its message and cuts the text to
  // its first four characters, which is then handled as the new text.
  FilterDialogUpdate HighPassTextChanged(std::string_view text);
  FilterDialogUpdate LowPassTextChanged(std::string_view text);

  // "确定": both texts are read into the document, without checks and
  // without filtering. Returns the messages to show (a text that is too long
  // to be a number).
  std::vector<std::string> Accept();
  // "取消": puts back the settings remembered at opening and refilters with
  // them.
  FilterDialogUpdate Cancel();

 private:
  enum class Corner { High, Low };
  FilterDialogUpdate TextChanged(Corner corner, std::string_view text);
  void Refilter(FilterDialogUpdate& update);

  CKorvaneDoc& doc_;
  float openingHighKHz_;
  float openingLowKHz_;
  bool openingHighOn_;
  bool openingLowOn_;
  std::string highText_;
  std::string lowText_;
  std::string caption_;
};

}  // namespace korvane
