// The traffic counters behind event -2 and the hex log line that travels with
// them. The host thread clears the counters while the worker counts, so the
// counters sit behind a lock; each event gets its own copy of the record, which
// the host reads during the callback without any lock held.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>

#include "statistics_record.h"

namespace qx {

enum class LogDirection {
    Sent,
    Received,
};

// Writes the log line for `length` bytes into a StatisticsRecord (header,
// " %02x" per byte, at most kMaxLoggedBytes rendered, NUL) and sets LogLength.
void renderLogLine(uint8_t *record, LogDirection direction, const uint8_t *bytes,
                   std::size_t length);

class TrafficStatistics
{
public:
    void clear();
    // Count one written request / one decoded response and fill `record`
    // (StatisticsLayout::kSize bytes) with the counters and the log line.
    void countRequest(const uint8_t *frame, std::size_t length, uint8_t *record);
    void countResponse(const uint8_t *frame, std::size_t length, int64_t responseMs,
                       uint8_t *record);

private:
    void copyCounters(uint8_t *record) const;

    mutable std::mutex m_lock;
    uint32_t TxCmd = 0;
    uint32_t RxCmd = 0;
    uint32_t TxByte = 0;
    uint32_t RxByte = 0;
    std::array<uint32_t, StatisticsLayout::kResponseClassCount> ResponseClass {};
};

} // namespace qx
