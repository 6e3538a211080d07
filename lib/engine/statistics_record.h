// The StatisticsRecord delivered with event -2: traffic counters and the
// current hex log line (GBK text).
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

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

// The headers a log line starts with (UTF-8; the record holds them in GBK).
inline constexpr const char *kLogHeaderSent = "发送数据(HEX):";
inline constexpr const char *kLogHeaderReceived = "接收数据(HEX):";

// Index 0..5 of the ResponseClass counter for a response time in ms: below
// 20, 50, 100, 500 and 1000 ms, and 1000 ms or more.
constexpr std::size_t responseClassOf(int64_t milliseconds)
{
    constexpr int64_t kUpperBounds[] = {20, 50, 100, 500, 1000};
    std::size_t index = 0;
    while (index < std::size(kUpperBounds) && milliseconds >= kUpperBounds[index])
        ++index;
    return index;
}
static_assert(responseClassOf(1'000'000) == StatisticsLayout::kResponseClassCount - 1);

} // namespace qx
