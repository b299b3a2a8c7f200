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

// Merge: "读取文件" + path + "错误:" + the reader's message.
inline constexpr std::string_view kMsgMergeReadPrefix = "读取文件";
inline constexpr std::string_view kMsgMergeReadInfix = "错误:";
inline constexpr std::string_view kMsgMergeNothingSelected = "至少选择一个文件合并";

}  // namespace korvane
