// Texts of the configuration area shown to the operator, in one place, so
// that tests compare with the same constant the page shows.
#pragma once

namespace qx::texts {

// answers to a parameter block read and write
inline constexpr const char *kParamsIncomplete = "读取的配置数据不完整!";
inline constexpr const char *kParamsBadChecksum = "读取的配置数据校验和不正确!";
inline constexpr const char *kParamsWritten = "配置下发成功!";
inline constexpr const char *kParamsWriteFailed = "配置下发失败,请重新下发!";

} // namespace qx::texts
