// The labels of the two reports' tables, written once for every output: the
// printed pages (printer, PDF, BMP, PNG) write a label's lines in grid rows
// of their own (a vertical label one character per row), the Word report
// writes the label in one cell, broken between its lines (a vertical label
// as it is: its narrow column breaks it). A few labels of the result table
// are worded or broken differently in the Word report (its narrower label
// columns); the label carries that text too.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::report {

struct TableLabel {
  std::string_view text;       // lines separated by '\n'
  bool vertical = false;       // printed one character per row
  std::string_view word = {};  // the Word cell's text where it differs

  // The printed page's rows: the lines, or the characters of a vertical
  // label.
  std::vector<std::string> Rows() const;
  // The Word cell's text.
  std::string CellText() const { return std::string(word.empty() ? text : word); }
};

// ---- The field record sheet's table --------------------------------------------
inline constexpr TableLabel kSheetMember{"构件编号", true};
inline constexpr TableLabel kSheetZone{"测区", true};
inline constexpr TableLabel kSheetReadings{"测点回弹值"};
inline constexpr TableLabel kSheetAngle{"测试角度", true};
inline constexpr TableLabel kSheetSurface{"测试面", true};
// Over the point columns: the corrected velocity (seven or more points, and
// the ten-reading standards) or each point's distance over its time.
inline constexpr TableLabel kSheetVelocity{"修正后声速\n代表值\n(km/s)"};
inline constexpr TableLabel kSheetPoints{"测点测距\n/声时\nli/ti"};
inline constexpr TableLabel kSheetMethod{"测试方式", true};
inline constexpr TableLabel kSheetLocation{"测试部位", true};
inline constexpr TableLabel kSheetRemark{"备注", true};

// ---- The result data table -----------------------------------------------------
inline constexpr TableLabel kResultMemberNumber{"构件编号"};
inline constexpr TableLabel kResultItems{"计算项目"};
inline constexpr TableLabel kResultZones{"测         区", false, "测       区"};
inline constexpr TableLabel kResultRebound{"回弹值"};
inline constexpr TableLabel kResultVelocity{"声速值\n(km\n/s)", false, "声速值\n（km\n/s）"};
// The quantities: five of the rebound value, three of the velocity.
inline constexpr std::array<TableLabel, 8> kResultQuantities = {{{"测区\n代表值"},
                                                                 {"角度\n修正值"},
                                                                 {"角度\n修正后"},
                                                                 {"浇筑面\n修正值"},
                                                                 {"浇筑面\n修正后"},
                                                                 {"测区\n代表值"},
                                                                 {"修正系数β\n、λ", false, "修正系数\nβ、λ"},
                                                                 {"修正后\n的值"}}};
inline constexpr int kResultReboundQuantities = 5;
inline constexpr TableLabel kResultStrength{"测区强度换算值\n（MPa）"};
inline constexpr TableLabel kResultBatch{"强度推定值"};
inline constexpr TableLabel kResultConversionTable{"使用测区强度\n换算表", false, "使用的测区\n强度换算表"};
inline constexpr TableLabel kResultRemark{"备注："};

// The signatures under both tables.
inline constexpr TableLabel kReviewed{"复核"};  // result table
inline constexpr TableLabel kChecked{"校核"};   // record sheet
inline constexpr TableLabel kComputed{"计算"};
inline constexpr TableLabel kTested{"检测"};

}  // namespace korvane::report
