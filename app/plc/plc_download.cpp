// The download's packets and its acknowledgement-driven sequence.
#include "plc_download.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "byte_io.h"
#include "crc16.h"
#include "plc_texts.h"
#include "text_format.h"
#include "transfer_packet_layout.h"

namespace qx {

namespace {

namespace L = EplcPacketLayout;

constexpr uint8_t kModeStart = L::kModeStart;
constexpr uint8_t kModeData = L::kModeData;

bool isFinalMode(uint8_t mode)
{
    return mode == kEplcRamRun || mode == kEplcFlashRun || mode == kEplcFlashRestart;
}

// A header that a packet of the image could carry.
bool fitsImage(const EplcHeader &h)
{
    return h.block < kPlcBlockCount && std::size_t(h.offset) + h.length <= kPlcBlockSize;
}

} // namespace

bool isEplcBlockSize(int size)
{
    return std::find(std::begin(kEplcBlockSizes), std::end(kEplcBlockSizes), size) != std::end(kEplcBlockSizes);
}

std::vector<uint8_t> buildEplcPacket(const EplcHeader &h, const std::vector<uint8_t> &image)
{
    if (!fitsImage(h) || image.size() < kPlcProgramSize)
        return {};
    std::vector<uint8_t> p(L::kOverhead + h.length, 0);
    p[L::kMode] = h.mode;
    p[L::kBlock] = h.block;
    putU16be(p.data(), L::kOffset, h.offset);
    putU16be(p.data(), L::kLength, h.length);
    std::memcpy(p.data() + L::kData, image.data() + std::size_t(h.block) * kPlcBlockSize + h.offset, h.length);
    const std::size_t crcAt = L::kData + h.length;
    putU16be(p.data(), crcAt, crc16(p.data(), crcAt));
    return p;
}

bool PlcDownload::sendsBlock(int block) const
{
    return block == 0 || m_image[std::size_t(block) * kPlcBlockSize + PlcBlock::kState] == kBlockRuns;
}

EplcStep PlcDownload::start(const ProgramImage &image, uint8_t finalCommand, uint16_t blockSize)
{
    if (running() || !isFinalMode(finalCommand) || !isEplcBlockSize(blockSize)
        || image.bytes.size() != kPlcProgramSize)
        return {};
    m_image = image.bytes;
    m_final = finalCommand;
    m_blockSize = blockSize;
    int blocks = 0;
    for (int b = 0; b < static_cast<int>(kPlcBlockCount); ++b)
        blocks += sendsBlock(b);
    m_planned = 1 + blocks * int(kPlcBlockSize / blockSize) + 1;
    m_acknowledged = 0;
    return send({kModeStart, 0, 0, 0});
}

// Start packet 1, then the chunks of the blocks sent in order, the final
// command last.
int PlcDownload::positionOf(const EplcHeader &h) const
{
    if (isFinalMode(h.mode))
        return m_planned;
    if (h.mode == kModeStart && h.length == 0)
        return 1;
    int blocksBefore = 0;
    for (int b = 0; b < h.block; ++b)
        blocksBefore += sendsBlock(b);
    const int chunk = (h.offset + h.length + m_blockSize - 1) / m_blockSize;
    return std::min(m_planned - 1, 1 + blocksBefore * int(kPlcBlockSize / m_blockSize) + chunk);
}

EplcStep PlcDownload::acknowledge(const EplcAck &ack)
{
    if (!running())
        return {};
    const EplcHeader &e = ack.echo;
    if (isFinalMode(e.mode))
        return finish(ack.success);
    if ((e.mode != kModeStart && e.mode != kModeData) || !fitsImage(e))
        return {};
    if (!ack.success)
        return send(e);
    m_acknowledged = std::max(m_acknowledged, positionOf(e));
    const int end = e.offset + e.length;
    if (end < static_cast<int>(kPlcBlockSize)) {
        // an echo off the chunk grid never makes a packet cross the block's end
        const auto length = static_cast<uint16_t>(std::min<int>(m_blockSize, int(kPlcBlockSize) - end));
        return send({kModeData, e.block, static_cast<uint16_t>(end), length});
    }
    for (int b = e.block + 1; b < static_cast<int>(kPlcBlockCount); ++b) {
        if (sendsBlock(b))
            return send({kModeData, static_cast<uint8_t>(b), 0, m_blockSize});
    }
    return send({m_final, 0, 0, 0});
}

EplcStep PlcDownload::timeout()
{
    if (!running())
        return {};
    EplcStep step = acknowledge({false, {m_last.mode, m_last.block, m_last.offset, m_blockSize}});
    step.log = plc_texts::kLogAckTimeout + step.log;
    return step;
}

EplcStep PlcDownload::cancel()
{
    if (!running())
        return {};
    m_final = 0;
    EplcStep step;
    step.kind = EplcStep::Kind::Finished;
    step.log = plc_texts::kLogCancelled;
    step.message = plc_texts::kTransferCancelled;
    return step;
}

EplcStep PlcDownload::send(const EplcHeader &header)
{
    EplcStep step;
    step.kind = EplcStep::Kind::Send;
    step.header = header;
    step.packet = buildEplcPacket(header, m_image);
    step.log = formatText(plc_texts::kLogSending, unsigned(header.block), unsigned(header.length));
    m_last = header;
    return step;
}

EplcStep PlcDownload::finish(bool success)
{
    m_final = 0;
    if (success)
        m_acknowledged = m_planned;
    EplcStep step;
    step.kind = EplcStep::Kind::Finished;
    step.success = success;
    step.message = success ? plc_texts::kTransferOk : plc_texts::kTransferFailed;
    return step;
}

EplcStep runDownload(PlcDownload &download, EplcStep step, const EplcLink &link, int ackTimeoutMs)
{
    using Clock = std::chrono::steady_clock;
    Clock::time_point deadline;
    while (step.kind != EplcStep::Kind::Finished) {
        if (step.kind == EplcStep::Kind::Send) {
            link.place(step);
            deadline = Clock::now() + std::chrono::milliseconds(ackTimeoutMs);
        } else if (!download.running()) {
            return step; // never started
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        const std::optional<EplcAck> ack = left.count() > 0 ? link.waitAck(int(left.count())) : std::nullopt;
        if (link.cancelled && link.cancelled())
            return download.cancel();
        // an ignored echo leaves the deadline where it was
        step = ack ? download.acknowledge(*ack) : download.timeout();
    }
    return step;
}

} // namespace qx
