// Texts of the I/O area shown to the operator, UTF-8, copied as the module's
// tool has always shown them.
#pragma once

namespace qx::io_texts {

// One box per faulty channel of a scaling file; "%u" is the channel 1..8.
inline constexpr const char *kAiUnitWrong = "模拟量AI通道%u量纲不正确！";
inline constexpr const char *kAoUnitWrong = "模拟量AO通道%u量纲不正确！";
inline constexpr const char *kAiRatioWrong = "模拟量AI通道%u量纲系数不正确！";
inline constexpr const char *kAoRatioWrong = "模拟量AO通道%u量纲系数不正确！";
inline constexpr const char *kNoUnit = "无";
// Not shown by the page, which stays silent; the command line names the key.
inline constexpr const char *kScalingKeyMissing = "量纲文件缺少[%s]下的%s,量纲未加载!";

// A file that cannot be opened or written (path, cause; the system's text).
inline constexpr const char *kCantOpenFile = "Can't open file %s, error = %u\n";
inline constexpr const char *kErrorMessage = "Error message = %s\n";

} // namespace qx::io_texts
