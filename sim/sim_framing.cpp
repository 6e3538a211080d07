// RTU and MBAP framing of the simulated module.
#include "sim_framing.h"

#include <algorithm>

#include "byte_io.h"
#include "crc16.h"
#include "mbap_layout.h"
#include "param_block.h"
#include "transfer_packet_layout.h"

namespace qx::sim {

namespace {

// What the receive buffer may hold before it is taken for noise.
constexpr std::size_t kMaxRtuBuffer = 4096;

} // namespace

CutResult cutMbap(std::vector<uint8_t> &buffer, Request &request)
{
    namespace M = MbapLayout;
    if (buffer.size() < M::kSize)
        return CutResult::Wait;
    const std::size_t length = getU16be(buffer.data(), M::kLength);
    if (getU16be(buffer.data(), M::kProtocol) != 0 || length == 0 || length > M::kMaxLength)
        return CutResult::Malformed;
    const std::size_t frameLength = M::kLengthEnd + length;
    if (buffer.size() < frameLength)
        return CutResult::Wait;
    request.transaction = getU16be(buffer.data(), M::kTransaction);
    request.unit = buffer[M::kUnit];
    request.pdu.assign(buffer.begin() + M::kSize,
                       buffer.begin() + static_cast<std::ptrdiff_t>(frameLength));
    buffer.erase(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(frameLength));
    return CutResult::Frame;
}

std::vector<uint8_t> wrapMbap(uint16_t transaction, uint8_t unit, const std::vector<uint8_t> &pdu)
{
    namespace M = MbapLayout;
    std::vector<uint8_t> out(M::kSize + pdu.size());
    putU16be(out.data(), M::kTransaction, transaction);
    putU16be(out.data(), M::kProtocol, 0);
    putU16be(out.data(), M::kLength, static_cast<uint16_t>(M::kSize - M::kLengthEnd + pdu.size()));
    out[M::kUnit] = unit;
    std::copy(pdu.begin(), pdu.end(), out.begin() + M::kSize);
    return out;
}

std::vector<uint8_t> wrapRtu(uint8_t unit, const std::vector<uint8_t> &pdu)
{
    std::vector<uint8_t> out(1 + pdu.size() + 2);
    out[0] = unit;
    std::copy(pdu.begin(), pdu.end(), out.begin() + 1);
    appendCrcLowFirst(out.data(), 1 + pdu.size());
    return out;
}

std::size_t rtuRequestLength(const uint8_t *bytes, std::size_t count)
{
    if (count < 2)
        return 0;
    switch (bytes[1]) {
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x05:
    case 0x06:
        return 8;
    case 0x0F:
    case 0x10:
        return count < 7 ? 0 : 9 + std::size_t(bytes[6]);
    case 0x11:
    case 0x41:
        return 4;
    case 0x43:
    case 0x44:
        return 2 + FirmwarePartLayout::kPayloadSize + 2;
    case 0x42:
        // the payload's form follows the model code in its first byte, as
        // the host chose it
        if (count < 3)
            return 0;
        return 2
            + (usesCompactPayload(bytes[2]) ? ParamLayout::kCompactPayloadSize
                                            : ParamLayout::kFullPayloadSize)
            + 2;
    case 0x46:
        // address, function, the packet's header, data and checksum, the
        // frame CRC
        if (count < 2 + EplcPacketLayout::kHeaderSize)
            return 0;
        return 2 + EplcPacketLayout::kOverhead
            + std::size_t(getU16be(bytes, 2 + EplcPacketLayout::kLength)) + 2;
    default:
        // unknown functions end at a silence, by CRC match
        return kUnknownLength;
    }
}

void RtuReceiver::feed(const uint8_t *bytes, std::size_t count, uint64_t nowUs, std::vector<Request> &out)
{
    if (!m_buffer.empty() && nowUs >= m_lastUs + m_silenceUs)
        idle(nowUs, out);
    m_buffer.insert(m_buffer.end(), bytes, bytes + count);
    m_lastUs = nowUs;
    if (m_buffer.size() > kMaxRtuBuffer) {
        m_buffer.clear();
        ++m_dropped;
        return;
    }
    cutKnown(out);
}

void RtuReceiver::cutKnown(std::vector<Request> &out)
{
    while (m_buffer.size() >= 4) {
        const std::size_t length = rtuRequestLength(m_buffer.data(), m_buffer.size());
        if (length == 0 || length == kUnknownLength)
            return;
        if (m_buffer.size() < length || !crcMatchesLowFirst(m_buffer.data(), length))
            return; // more to come, or noise that the silence will clear
        Request r;
        r.unit = m_buffer[0];
        r.pdu.assign(m_buffer.begin() + 1, m_buffer.begin() + static_cast<std::ptrdiff_t>(length) - 2);
        out.push_back(std::move(r));
        m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(length));
    }
}

void RtuReceiver::idle(uint64_t nowUs, std::vector<Request> &out)
{
    if (m_buffer.empty() || nowUs < m_lastUs + m_silenceUs)
        return;
    if (m_buffer.size() >= 4 && crcMatchesLowFirst(m_buffer.data(), m_buffer.size())) {
        Request r;
        r.unit = m_buffer[0];
        r.pdu.assign(m_buffer.begin() + 1, m_buffer.end() - 2);
        out.push_back(std::move(r));
    } else {
        ++m_dropped;
    }
    m_buffer.clear();
}

void FrameSpacing::reportSent(uint64_t nowUs)
{
    m_reportPending = false;
    m_reported = true;
    m_lastReportUs = nowUs;
}

uint64_t FrameSpacing::answerTime(uint64_t nowUs) const
{
    uint64_t at = nowUs;
    if (m_reported)
        at = std::max(at, m_lastReportUs + kGapUs);
    if (m_reportPending)
        at = std::max(at, std::max(nowUs, reportTime()) + kGapUs);
    return at;
}

void FrameSpacing::answerSent(uint64_t nowUs)
{
    m_answered = true;
    m_lastAnswerUs = nowUs;
}

FaultPlan::Decision FaultPlan::next()
{
    Decision d;
    ++m_requests;
    if (m_dropEvery > 0 && m_requests % m_dropEvery == 0) {
        d.drop = true;
        return d;
    }
    ++m_answers;
    d.corrupt = m_corruptEvery > 0 && m_answers % m_corruptEvery == 0;
    d.delayMs = m_delayMs;
    return d;
}

void corruptRtu(std::vector<uint8_t> &frame)
{
    if (frame.size() >= 2)
        frame[frame.size() - 1] ^= 0xFF;
}

void corruptMbap(std::vector<uint8_t> &frame)
{
    if (frame.size() >= MbapLayout::kProtocol + 2)
        putU16be(frame.data(), MbapLayout::kProtocol, 0x0001);
}

} // namespace qx::sim
