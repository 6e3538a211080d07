// Slave-side framing: cutting requests out of received bytes and wrapping
// response PDUs, in Modbus RTU (address, PDU, CRC low byte first) and Modbus
// TCP (MBAP header whose transaction identifier is echoed, then the unit and
// the PDU). Also the fault plan that the transports apply to every request.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qx::sim {

struct Request
{
    uint16_t transaction = 0; // TCP framing only
    uint8_t unit = 0;
    std::vector<uint8_t> pdu;
};

enum class CutResult {
    Wait, // need more bytes
    Frame, // a request was cut
    Malformed, // the bytes cannot start a request: drop them
};

// Cuts one MBAP request from the front of `buffer`, removing its bytes. A
// length above MbapLayout::kMaxLength, 0, or a protocol identifier other than
// 0 makes the stream malformed.
CutResult cutMbap(std::vector<uint8_t> &buffer, Request &request);

std::vector<uint8_t> wrapMbap(uint16_t transaction, uint8_t unit, const std::vector<uint8_t> &pdu);
std::vector<uint8_t> wrapRtu(uint8_t unit, const std::vector<uint8_t> &pdu);

// The length of the RTU request at the front of `bytes`, CRC included, from
// its function code and fields: 0 while too few bytes tell, kUnknownLength
// for functions whose length the fields do not give.
constexpr std::size_t kUnknownLength = static_cast<std::size_t>(-1);
std::size_t rtuRequestLength(const uint8_t *bytes, std::size_t count);

// Collects RTU bytes and cuts requests: a request ends where its fields say
// and its CRC matches, or, for anything else, at a silence of `silenceUs`;
// bytes that do not pass the CRC by then are dropped like noise on a bus.
class RtuReceiver
{
public:
    explicit RtuReceiver(uint64_t silenceUs)
        : m_silenceUs(silenceUs)
    {
    }

    void feed(const uint8_t *bytes, std::size_t count, uint64_t nowUs, std::vector<Request> &out);
    // Call when no bytes came; ends a pending frame once the line was silent.
    void idle(uint64_t nowUs, std::vector<Request> &out);
    // Time at which idle() has something to do, or 0 when nothing is pending.
    uint64_t deadline() const { return m_buffer.empty() ? 0 : m_lastUs + m_silenceUs; }
    bool pending() const { return !m_buffer.empty(); }
    std::size_t dropped() const { return m_dropped; }

private:
    void cutKnown(std::vector<Request> &out);

    uint64_t m_silenceUs;
    uint64_t m_lastUs = 0;
    std::vector<uint8_t> m_buffer;
    std::size_t m_dropped = 0;
};

// Keeps the unsolicited status report and the answers of one link at least
// kGapUs apart, in both orders: a host that finds both in one read takes
// them for one frame (TCP) or fails the CRC (RTU). A report that has fallen
// due holds back the answers that come after it, so that steady polling
// cannot starve it. Times in microseconds of any fixed origin.
class FrameSpacing
{
public:
    static constexpr uint64_t kGapUs = 20'000;

    void reportDue() { m_reportPending = true; }
    void cancelReport() { m_reportPending = false; }
    bool reportPending() const { return m_reportPending; }
    // The earliest time the pending report may go.
    uint64_t reportTime() const { return m_answered ? m_lastAnswerUs + kGapUs : 0; }
    void reportSent(uint64_t nowUs);
    // The earliest time an answer that is ready at `nowUs` may go.
    uint64_t answerTime(uint64_t nowUs) const;
    void answerSent(uint64_t nowUs);

private:
    bool m_reportPending = false;
    bool m_reported = false;
    bool m_answered = false;
    uint64_t m_lastReportUs = 0;
    uint64_t m_lastAnswerUs = 0;
};

// --drop-every, --corrupt-every, --delay-ms: counted over the requests
// addressed to the module, whichever transport brought them.
class FaultPlan
{
public:
    FaultPlan(unsigned dropEvery, unsigned corruptEvery, unsigned delayMs)
        : m_dropEvery(dropEvery)
        , m_corruptEvery(corruptEvery)
        , m_delayMs(delayMs)
    {
    }

    struct Decision
    {
        bool drop = false;
        bool corrupt = false;
        unsigned delayMs = 0;
    };
    Decision next();

private:
    unsigned m_dropEvery;
    unsigned m_corruptEvery;
    unsigned m_delayMs;
    uint64_t m_requests = 0;
    uint64_t m_answers = 0;
};

// Breaks a wrapped answer the way --corrupt-every promises: RTU answers get a
// wrong CRC, TCP answers a protocol identifier other than 0.
void corruptRtu(std::vector<uint8_t> &frame);
void corruptMbap(std::vector<uint8_t> &frame);

} // namespace qx::sim
