#include "traffic_statistics.h"

#include <cstring>
#include <string>

#include "byte_io.h"
#include "gbk.h"
#include "statistics_record.h"

namespace qx {

namespace {

// Never destroyed: a worker abandoned by a stop may still log while the
// process runs its exit handlers.
const std::string &logHeader(LogDirection direction)
{
    static const std::string *const sent = new std::string(utf8ToGbk(kLogHeaderSent));
    static const std::string *const received = new std::string(utf8ToGbk(kLogHeaderReceived));
    return direction == LogDirection::Sent ? *sent : *received;
}

} // namespace

void renderLogLine(uint8_t *record, LogDirection direction, const uint8_t *bytes,
                   std::size_t length)
{
    static constexpr char kHex[] = "0123456789abcdef";
    const std::string &header = logHeader(direction);
    uint8_t *text = record + StatisticsLayout::kLogText;
    std::memcpy(text, header.data(), header.size());
    std::size_t at = header.size();
    const std::size_t rendered = length < StatisticsLayout::kMaxLoggedBytes
        ? length
        : StatisticsLayout::kMaxLoggedBytes;
    for (std::size_t i = 0; i < rendered; ++i) {
        text[at++] = ' ';
        text[at++] = static_cast<uint8_t>(kHex[bytes[i] >> 4]);
        text[at++] = static_cast<uint8_t>(kHex[bytes[i] & 0x0f]);
    }
    text[at] = 0;
    putU32le(record, StatisticsLayout::kLogLength, static_cast<uint32_t>(at));
}

void TrafficStatistics::clear()
{
    std::lock_guard<std::mutex> lock(m_lock);
    TxCmd = RxCmd = TxByte = RxByte = 0;
    ResponseClass.fill(0);
}

void TrafficStatistics::countRequest(const uint8_t *frame, std::size_t length,
                                     uint8_t *record)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        TxCmd += 1;
        TxByte += static_cast<uint32_t>(length);
        copyCounters(record);
    }
    renderLogLine(record, LogDirection::Sent, frame, length);
}

void TrafficStatistics::countResponse(const uint8_t *frame, std::size_t length,
                                      int64_t responseMs, uint8_t *record)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        ResponseClass[responseClassOf(responseMs)] += 1;
        RxCmd += 1;
        RxByte += static_cast<uint32_t>(length);
        copyCounters(record);
    }
    renderLogLine(record, LogDirection::Received, frame, length);
}

void TrafficStatistics::copyCounters(uint8_t *record) const
{
    std::memset(record, 0, StatisticsLayout::kLogLength);
    putU32le(record, StatisticsLayout::kTxCmd, TxCmd);
    putU32le(record, StatisticsLayout::kRxCmd, RxCmd);
    putU32le(record, StatisticsLayout::kPendingCmd, TxCmd > RxCmd ? TxCmd - RxCmd : 0);
    putU32le(record, StatisticsLayout::kTxByte, TxByte);
    putU32le(record, StatisticsLayout::kRxByte, RxByte);
    for (std::size_t i = 0; i < ResponseClass.size(); ++i)
        putU32le(record, StatisticsLayout::kResponseClass + 4 * i, ResponseClass[i]);
}

} // namespace qx
