// The StatisticsRecord delivered with event -2: traffic counters and the
// current hex log line (GBK text).
#pragma once

#include <cstddef>

namespace qx {

namespace StatisticsLayout {
constexpr std::size_t kTxCmd = 8;
constexpr std::size_t kRxCmd = 12;
constexpr std::size_t kPendingCmd = 16;
constexpr std::size_t kTxByte = 20;
constexpr std::size_t kRxByte = 24;
constexpr std::size_t kResponseClass = 32; // six u32 counters
constexpr std::size_t kResponseClassCount = 6;
constexpr std::size_t kLogLength = 56;
constexpr std::size_t kLogText = 60;
constexpr std::size_t kLogTextSize = 8192;
constexpr std::size_t kSize = 8252;
constexpr std::size_t kMaxLoggedBytes = 2725;
} // namespace StatisticsLayout

} // namespace qx
