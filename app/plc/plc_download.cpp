// The download's packets and its acknowledgement-driven sequence.
#include "plc_download.h"

#include <algorithm>
#include <cstring>

#include "byte_io.h"
#include "crc16.h"
#include "event_codes.h"
#include "plc_texts.h"
#include "text_format.h"
#include "response_records.h"
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

EplcAck readEplcAck(const uint8_t *record)
{
    EplcAck a;
    const int32_t received = getI32le(record, TransferReplyLayout::kValue);
    const std::size_t n = std::min(received < 0 ? 0 : std::size_t(received), TransferReplyLayout::kCapacity);
    if (n <= EplcReplyLayout::kStatus)
        return a;
    // the reply's data starts with the status byte itself
    const uint8_t *d = record + TransferReplyLayout::kData;
    a.status = d[EplcReplyLayout::kStatus];
    a.success = a.status == EplcReplyLayout::kStatusOk;
    if (!a.success)
        a.logLine = formatText(plc_texts::kLogRefused, unsigned(a.status));
    a.complete = n >= EplcReplyLayout::kLength + 2;
    if (a.complete) {
        a.echo.mode = d[EplcReplyLayout::kMode];
        a.echo.block = d[EplcReplyLayout::kBlock];
        a.echo.offset = getU16be(d, EplcReplyLayout::kOffset);
        a.echo.length = getU16be(d, EplcReplyLayout::kLength);
    }
    return a;
}

EplcHeader eplcHeaderOf(const TransferStep &step)
{
    EplcHeader h;
    if (step.packet.size() < L::kData)
        return h;
    h.mode = step.packet[L::kMode];
    h.block = step.packet[L::kBlock];
    h.offset = getU16be(step.packet.data(), L::kOffset);
    h.length = getU16be(step.packet.data(), L::kLength);
    return h;
}

bool PlcDownload::sendsBlock(int block) const
{
    return block == 0 || m_image[std::size_t(block) * kPlcBlockSize + PlcBlock::kState] == kBlockRuns;
}

bool PlcDownload::acknowledgedBy(int32_t code) const
{
    return code == kEventPlcPacket;
}

TransferStep PlcDownload::start(const ProgramImage &image, uint8_t finalCommand, uint16_t blockSize)
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

TransferStep PlcDownload::acknowledge(int32_t code, const uint8_t *record)
{
    if (!acknowledgedBy(code))
        return {};
    const EplcAck ack = readEplcAck(record);
    // a reply too short to say which packet it answers is no answer: the
    // timer sends the packet again
    TransferStep step = ack.complete ? acknowledge(ack) : TransferStep();
    step.log = ack.logLine + step.log;
    return step;
}

TransferStep PlcDownload::acknowledge(const EplcAck &ack)
{
    const EplcHeader &e = ack.echo;
    if (!running() || e.mode != m_last.mode || e.block != m_last.block || e.offset != m_last.offset)
        return {};
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
    m_finalResends = 0;
    return send({m_final, 0, 0, 0});
}

TransferStep PlcDownload::timeout()
{
    if (!running())
        return {};
    TransferStep step;
    if (!isFinalMode(m_last.mode)) {
        step = send({m_last.mode, m_last.block, m_last.offset, m_blockSize});
    } else if (m_finalResends < kEplcFinalResends) {
        ++m_finalResends;
        step = send(m_last);
    } else {
        step = finish(false);
    }
    step.afterTimeout = step.kind == TransferStep::Kind::Send;
    step.log = plc_texts::kLogAckTimeout + step.log;
    return step;
}

TransferStep PlcDownload::cancel(TransferStop why)
{
    if (!running())
        return {};
    m_final = 0;
    TransferStep step;
    step.kind = TransferStep::Kind::Finished;
    step.log = plc_texts::kLogCancelled;
    if (why == TransferStop::Operator)
        step.message = plc_texts::kTransferCancelled;
    return step;
}

TransferStep PlcDownload::send(const EplcHeader &header)
{
    TransferStep step;
    step.kind = TransferStep::Kind::Send;
    step.slot = kSlotPlcPacket;
    step.packet = buildEplcPacket(header, m_image);
    step.log = formatText(plc_texts::kLogSending, unsigned(header.block), unsigned(header.length));
    m_last = header;
    return step;
}

TransferStep PlcDownload::finish(bool success)
{
    m_final = 0;
    if (success)
        m_acknowledged = m_planned;
    TransferStep step;
    step.kind = TransferStep::Kind::Finished;
    step.success = success;
    step.message = success ? plc_texts::kTransferOk : plc_texts::kTransferFailed;
    return step;
}

} // namespace qx
