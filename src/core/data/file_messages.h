// Messages of the file reader, the writers and the merge (shown to the user
// as they are).
#pragma once

#include <string_view>

namespace korvane {

inline constexpr std::string_view kMsgOpenFileFailed = "打开文件失败！";
inline constexpr std::string_view kMsgFileEmpty = "文件为空!";
inline constexpr std::string_view kMsgPointsPerZoneDiffer =
    "当前文件的测点数与前面的文件不相同，无法进行合并！";
inline constexpr std::string_view kMsgWaveformRead = "读取SHD文件异常!";

inline constexpr std::string_view kMsgCreateRawText = "创建SHT/SHA文件失败！";
inline constexpr std::string_view kMsgCreateResultText = "创建SHA文件失败！";
inline constexpr std::string_view kMsgCreateWaveform = "创建SHD文件失败！";

// Data that a file cannot hold faithfully: the save is refused before
// anything is written.
inline constexpr std::string_view kMsgCannotSavePrefix = "无法保存：";

// An interrupted save of a pair found when it is next opened or saved
// ("<text path>：" before each).
inline constexpr std::string_view kMsgSaveCompleted = "上次保存时程序中断，已完成那次保存";
inline constexpr std::string_view kMsgSaveRolledBack = "上次保存时程序中断，已恢复为保存前的文件";
inline constexpr std::string_view kMsgSaveNotRecovered = "上次保存时程序中断，无法恢复";
// "无法保存：数据文件最多能保存100个构件，当前有N个构件"
inline constexpr std::string_view kMsgTooManyMembers = "无法保存：数据文件最多能保存100个构件，当前有";
inline constexpr std::string_view kMsgTooManyMembersEnd = "个构件";
// "无法保存：原始文件（.SHT）只能保存一个构件，当前有N个构件，请保存为结果文件（.SHA）"
inline constexpr std::string_view kMsgRawHoldsOneMember =
    "无法保存：原始文件（.SHT）只能保存一个构件，当前有";
inline constexpr std::string_view kMsgRawHoldsOneMemberEnd = "个构件，请保存为结果文件（.SHA）";
// "无法保存：构件2测区5的FCUI值1234567.0超出文件的列宽" / "…值不是有效数字"
inline constexpr std::string_view kMsgWiderThanColumn = "超出文件的列宽";
inline constexpr std::string_view kMsgNotANumber = "不是有效数字";

// Merge: "读取文件" + path + "错误:" + the reader's message.
inline constexpr std::string_view kMsgMergeReadPrefix = "读取文件";
inline constexpr std::string_view kMsgMergeReadInfix = "错误:";
inline constexpr std::string_view kMsgMergeNothingSelected = "至少选择一个文件合并";

}  // namespace korvane
