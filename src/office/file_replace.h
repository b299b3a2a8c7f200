// Writing an output file so that nothing half-written ever replaces an
// existing one: the content goes to a temporary file beside the target, which
// is renamed over the target only when writing succeeded.
#pragma once

#include <filesystem>
#include <functional>

namespace korvane::office {

// Calls `write` with the path of a new, empty temporary file in the
// target's folder (to be overwritten); when it returns normally, renames that file to `target` (replacing
// it). When `write` throws, or the rename fails, the temporary file is removed, the target is left as it was,
// and KorvaneError is thrown whose message names the target ("无法写入文件 …") and the cause (the message of
// the exception from `write`, or the system's reason).
void ReplaceFileAtomically(const std::filesystem::path& target,
                           const std::function<void(const std::filesystem::path& temporary)>& write);

}  // namespace korvane::office
