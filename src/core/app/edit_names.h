// What each edit is called in the undo history: the menus read "撤销 拾取首波"
// and "重做 拾取首波". One name per kind of edit of document_edits.h.
#pragma once

#include <string>
#include <string_view>

#include "core/app/document_edits.h"

namespace korvane::edit_name {

inline constexpr std::string_view kPick = "拾取首波";
inline constexpr std::string_view kDistance = "修改测距";
inline constexpr std::string_view kTestMethod = "修改测试方式";
inline constexpr std::string_view kTestLocation = "修改测试位置";
inline constexpr std::string_view kBeta = "修改β修正值";
inline constexpr std::string_view kLambda = "修改λ修正值";
inline constexpr std::string_view kReading = "修改回弹值";
inline constexpr std::string_view kReboundValue = "修改回弹代表值";
inline constexpr std::string_view kCarbonation = "修改碳化深度";
inline constexpr std::string_view kAngle = "修改回弹角度";
inline constexpr std::string_view kSurface = "修改测试面";
inline constexpr std::string_view kAggregate = "修改粗骨料";
inline constexpr std::string_view kEta = "修改强度修正系数η";
inline constexpr std::string_view kDeltaTot = "修改强度修正量Δtot";
inline constexpr std::string_view kPumped = "修改泵送";
inline constexpr std::string_view kStandard = "切换规范";
inline constexpr std::string_view kMemberName = "修改构件名称";
inline constexpr std::string_view kGainDelay = "修改检测参数";
inline constexpr std::string_view kFilter = "滤波";
inline constexpr std::string_view kSuggestedZone = "自动判读首波";
inline constexpr std::string_view kSuggestedMember = "自动判读首波（全部测区）";
inline constexpr std::string_view kCustomCoefficients = "用作自定义系数";
inline constexpr std::string_view kCoreCorrection = "钻芯修正";

// "修改系数a" … "修改系数d".
inline std::string Coefficient(korvane::Coefficient which) {
  switch (which) {
    case korvane::Coefficient::A: return "修改系数a";
    case korvane::Coefficient::B: return "修改系数b";
    case korvane::Coefficient::C: return "修改系数c";
    case korvane::Coefficient::D: break;
  }
  return "修改系数d";
}

// "修改工程名称", "修改检测单位", "修改检测人员".
inline std::string ProjectText(korvane::ProjectText which) {
  switch (which) {
    case korvane::ProjectText::Site: return "修改工程名称";
    case korvane::ProjectText::Unit: return "修改检测单位";
    case korvane::ProjectText::Person: break;
  }
  return "修改检测人员";
}

// "修改浇注日期", "修改检测日期".
inline std::string ProjectDate(korvane::ProjectDate which) {
  return which == korvane::ProjectDate::Casting ? "修改浇注日期" : "修改检测日期";
}

// A correction dialog's "确定" ("修改角度修正表") or "默认值"
// ("恢复角度修正表默认值"); the fine tables are named as the coarse ones,
// whose dialog shows them.
inline std::string Table(CorrectionTable table, bool defaults) {
  std::string name;
  switch (InfoOf(table).kind) {
    case CorrectionTableKind::Angle: name = "角度修正表"; break;
    case CorrectionTableKind::Surface: name = "测试面修正表"; break;
    case CorrectionTableKind::Carbon: name = "碳化深度修正表"; break;
  }
  return defaults ? "恢复" + name + "默认值" : "修改" + name;
}

}  // namespace korvane::edit_name
