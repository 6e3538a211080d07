// The engine behind one port object: slot table and scheduling, receive
// buffer, frame cutting and decoding into the response records.
#include "protocol_engine.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "byte_io.h"
#include "crc16.h"
#include "event_codes.h"
#include "frame_builder.h"
#include "mbap_layout.h"
#include "port_settings.h"

namespace qx {

namespace {

// RTU bytes that fail the CRC are kept while a frame may still be completing.
constexpr std::size_t kMaxRtuPending = 7;
constexpr std::size_t kMaxParamFrame = 1280;

} // namespace

ProtocolEngine::ProtocolEngine(int32_t framingMode)
    : m_framingMode(framingMode)
    , m_slots(std::make_unique<std::array<uint8_t, kCommandSlotCount * kSlotSize>>())
{
    // converts the catalogue's texts now, on the host's thread, rather than
    // on the worker's when the first identity arrives
    ModelCatalogue::lookupGbk(0, 0);
}

ProtocolEngine::~ProtocolEngine() = default;

void ProtocolEngine::put(int slot, const void *record, int32_t length)
{
    if (slot < 0 || slot >= kCommandSlotCount || record == nullptr || length < 0
        || static_cast<std::size_t>(length) > kSlotSize)
        return;
    // Under the lock the worker never builds a frame from a half-copied record.
    std::lock_guard<std::mutex> lock(m_slotLock);
    std::memcpy(m_slots->data() + static_cast<std::size_t>(slot) * kSlotSize, record,
                static_cast<std::size_t>(length));
}

void ProtocolEngine::clear()
{
    {
        std::lock_guard<std::mutex> lock(m_slotLock);
        m_slots->fill(0);
        m_cursor = 0;
        // The transmit buffer is left alone: the worker may be writing the
        // last frame from it right now, and nothing reads it before the next
        // frame is built over it.
    }
    std::lock_guard<std::mutex> lock(m_rxLock);
    m_rx.fill(0);
    m_rxCount = 0;
}

void ProtocolEngine::clearReceive()
{
    std::lock_guard<std::mutex> lock(m_rxLock);
    m_rxCount = 0;
}

std::array<uint8_t, ProtocolEngine::kSlotSize> ProtocolEngine::slotSnapshot(int slot) const
{
    std::array<uint8_t, kSlotSize> copy {};
    if (slot < 0 || slot >= kCommandSlotCount)
        return copy;
    std::lock_guard<std::mutex> lock(m_slotLock);
    std::memcpy(copy.data(), m_slots->data() + static_cast<std::size_t>(slot) * kSlotSize,
                kSlotSize);
    return copy;
}

bool ProtocolEngine::evaluateSlot(int slot, std::size_t &length)
{
    length = 0;
    if (!slotHasRequest(slot))
        return false;
    uint8_t *record = m_slots->data() + static_cast<std::size_t>(slot) * kSlotSize;
    const uint8_t mode = record[RequestLayout::kMode];
    if (mode == kModeIdle)
        return false;
    if (mode == kModeCounted) {
        const int32_t counter = getI32le(record, RequestLayout::kCounter);
        // A negative counter means nothing left to send, not "forever".
        if (counter <= 0)
            return false;
        putI32le(record, RequestLayout::kCounter, counter - 1);
    }
    length = buildSlotRequest(m_framingMode, slot, record, m_tx.data(), m_tx.size());
    return length > 0;
}

ProtocolEngine::Frame ProtocolEngine::nextRequest()
{
    std::lock_guard<std::mutex> lock(m_slotLock);
    for (int examined = 0; examined < kCommandSlotCount; ++examined) {
        if (m_cursor >= static_cast<uint32_t>(kCommandSlotCount))
            m_cursor = 0;
        const int slot = static_cast<int>(m_cursor);
        std::size_t length = 0;
        const bool built = evaluateSlot(slot, length);
        ++m_cursor;
        if (built)
            return {m_tx.data(), length};
    }
    return {};
}

bool ProtocolEngine::append(const uint8_t *data, std::size_t length)
{
    std::lock_guard<std::mutex> lock(m_rxLock);
    if (length > kRxCapacity - m_rxCount)
        return false;
    if (length > 0)
        std::memcpy(m_rx.data() + m_rxCount, data, length);
    m_rxCount += length;
    return true;
}

std::size_t ProtocolEngine::receivedCount() const
{
    std::lock_guard<std::mutex> lock(m_rxLock);
    return m_rxCount;
}

ProtocolEngine::Cut ProtocolEngine::findFrame(std::size_t &length) const
{
    length = 0;
    if (m_rxCount == 0)
        return Cut::Wait;
    if (m_framingMode == kFramingTcp) {
        if (m_rxCount < MbapLayout::kSize)
            return Cut::Wait;
        const std::size_t mbapLength = getU16be(m_rx.data(), MbapLayout::kLength);
        if (mbapLength == 0 || mbapLength > MbapLayout::kMaxLength)
            return Cut::Drop;
        if (m_rxCount < MbapLayout::kLengthEnd + mbapLength)
            return Cut::Wait;
        if (getU16be(m_rx.data(), MbapLayout::kProtocol) != 0)
            return Cut::Drop;
        length = MbapLayout::kLengthEnd + mbapLength;
        return Cut::Frame;
    }
    if (m_framingMode == kFramingRtu) {
        if (m_rxCount <= 3)
            return Cut::Wait;
        if (!crcMatchesLowFirst(m_rx.data(), m_rxCount))
            return m_rxCount > kMaxRtuPending ? Cut::Drop : Cut::Wait;
        // RTU carries no length: the whole buffer is the frame
        length = m_rxCount;
        return Cut::Frame;
    }
    // no framing to cut by: nothing received can ever be a frame
    return Cut::Drop;
}

bool ProtocolEngine::frameWaiting() const
{
    std::lock_guard<std::mutex> lock(m_rxLock);
    std::size_t length = 0;
    return findFrame(length) != Cut::Wait;
}

ProtocolEngine::Event ProtocolEngine::decode()
{
    m_frameLength = 0;
    {
        std::lock_guard<std::mutex> lock(m_rxLock);
        std::size_t length = 0;
        switch (findFrame(length)) {
        case Cut::Wait:
            return {};
        case Cut::Drop:
            m_rxCount = 0;
            return {};
        case Cut::Frame:
            break;
        }
        // The cut stays within the receive buffer, which the frame buffer
        // matches in size.
        static_assert(kFrameCapacity >= kRxCapacity);
        std::memcpy(m_frame.data(), m_rx.data(), length);
        m_frameLength = length;
        // Bytes after a TCP frame are the start of the next one (a status
        // report and an answer may share one read): they stay for the next
        // decode.
        m_rxCount -= length;
        if (m_rxCount > 0)
            std::memmove(m_rx.data(), m_rx.data() + length, m_rxCount);
    }
    return decodeFrame();
}

std::size_t ProtocolEngine::dataEnd() const
{
    if (m_framingMode == kFramingRtu)
        return m_frameLength >= 2 ? m_frameLength - 2 : 0;
    return m_frameLength;
}

uint8_t ProtocolEngine::dataByte(std::size_t offset) const
{
    return offset < dataEnd() ? m_frame[offset] : 0;
}

std::size_t ProtocolEngine::copyData(uint8_t *dst, std::size_t capacity, std::size_t from,
                                     std::size_t n) const
{
    n = std::min(n, capacity);
    const std::size_t end = dataEnd();
    const std::size_t available = from < end ? end - from : 0;
    const std::size_t copied = std::min(n, available);
    if (copied > 0)
        std::memcpy(dst, m_frame.data() + from, copied);
    if (n > copied)
        std::memset(dst + copied, 0, n - copied);
    return n;
}

ProtocolEngine::Event ProtocolEngine::decodeFrame()
{
    const bool tcp = m_framingMode == kFramingTcp;
    const std::size_t frameLength = m_frameLength;
    // the function code, and the first byte after it
    const std::size_t dataStart = tcp ? MbapLayout::kSize + 1 : 2;
    const uint8_t function = dataByte(dataStart - 1);

    const auto bits = [&](std::array<uint8_t, BitRecordLayout::kSize> &record,
                          int32_t code) -> Event {
        record[BitRecordLayout::kCount] = static_cast<uint8_t>(
            copyData(record.data() + BitRecordLayout::kData, BitRecordLayout::kCapacity, dataStart + 1,
                     dataByte(dataStart)));
        return {code, record.data()};
    };
    const auto registers = [&](uint8_t *record, int32_t code) -> Event {
        const std::size_t count = copyData(record + RegisterRecordLayout::kData,
                                           RegisterRecordLayout::kCapacity, dataStart + 1,
                                           dataByte(dataStart));
        putI32le(record, RegisterRecordLayout::kLength, static_cast<int32_t>(count));
        return {code, record};
    };
    const auto transfer = [&](std::array<uint8_t, TransferReplyLayout::kSize> &record,
                              int32_t code) -> Event {
        record[TransferReplyLayout::kStatus] = dataByte(dataStart);
        putI32le(record.data(), TransferReplyLayout::kValue,
                 (dataByte(dataStart + 1) << 8) | dataByte(dataStart + 2));
        return {code, record.data()};
    };

    switch (function) {
    case 0x01:
        return bits(m_coilBits, kEventCoils);
    case 0x02:
        return bits(m_inputBits, kEventInputs);
    case 0x03:
        return registers(m_holdingRegisters.data(), kEventHoldingRegisters);
    case 0x04:
        return registers(m_inputRegisters.data(), kEventInputRegisters);
    case 0x45:
        return registers(m_statusReport.data(), kEventStatusReport);
    case 0x05:
    case 0x0F:
        return {kEventCoilsWritten, m_empty.data()};
    case 0x06:
        // Consumed silently: no event, so no count and no log line either.
        m_frameLength = 0;
        return {};
    case 0x10:
        return {kEventRegistersWritten, m_empty.data()};
    case 0x11:
        if (frameLength >= (tcp ? IdentityBlock::kTcpMinLength : IdentityBlock::kRtuMinLength))
            // the block's offsets count from the unit (RTU: address) byte
            decodeIdentity(tcp ? MbapLayout::kUnit : 0);
        return {kEventIdentity, m_identity.data()};
    case 0x41: {
        const std::size_t overhead = tcp ? MbapLayout::kSize + 1 : 4;
        const std::size_t minimum = tcp ? 10 : 6;
        if (frameLength >= minimum && frameLength <= kMaxParamFrame) {
            const std::size_t count = copyData(m_params.data() + RegisterRecordLayout::kData,
                                               RegisterRecordLayout::kParamCapacity, dataStart,
                                               frameLength - overhead);
            putI32le(m_params.data(), RegisterRecordLayout::kLength, static_cast<int32_t>(count));
        }
        return {kEventParamsRead, m_params.data()};
    }
    case 0x42:
        m_paramsWritten[TransferReplyLayout::kStatus] = dataByte(dataStart);
        return {kEventParamsWritten, m_paramsWritten.data()};
    case 0x43:
        return transfer(m_biosReply, kEventBiosPacket);
    case 0x44:
        return transfer(m_firmwareReply, kEventFirmwarePacket);
    case 0x46: {
        m_plcReply[TransferReplyLayout::kStatus] = dataByte(dataStart);
        std::size_t count = 32;
        if (tcp) {
            // the module's length field, low byte only
            const std::size_t length = m_frame[MbapLayout::kLength + 1];
            count = length > 2 ? length - 2 : length;
        }
        count = copyData(m_plcReply.data() + TransferReplyLayout::kData,
                         TransferReplyLayout::kCapacity, dataStart, count);
        putI32le(m_plcReply.data(), TransferReplyLayout::kValue, static_cast<int32_t>(count));
        return {kEventPlcPacket, m_plcReply.data()};
    }
    default:
        // exception responses (bit 7 set) and anything unknown
        return {kEventOther, m_empty.data()};
    }
}

void ProtocolEngine::decodeIdentity(std::size_t blockOffset)
{
    namespace B = IdentityBlock;
    namespace L = IdentityLayout;
    const uint8_t *block = m_frame.data() + blockOffset;
    uint8_t *id = m_identity.data();
    char text[64];

    std::snprintf(text, sizeof text, "Ver%d.%d", block[B::kDriverMajor], block[B::kDriverMinor]);
    putText(id, L::kDriverVersion, L::kVersionSize, text);
    std::snprintf(text, sizeof text, "Ver%d.%d", block[B::kFirmwareMajor],
                  block[B::kFirmwareMinor]);
    putText(id, L::kFirmwareVersion, L::kVersionSize, text);

    const uint8_t series = block[B::kSeries];
    const GbkModelTexts texts = ModelCatalogue::lookupGbk(getU32le(block, B::kModelCode), series);
    putText(id, L::kModelName, L::kModelNameSize, texts.name.c_str());
    putText(id, L::kDescription, L::kDescriptionSize, texts.description.c_str());
    id[L::kSeries] = series;

    // Ten numbers of up to five digits may exceed the field; the leading
    // ones (the factory date) are the ones kept.
    int used = 0;
    for (std::size_t i = 0; i < B::kSerialWordCount; ++i)
        used += std::snprintf(text + used, sizeof text - static_cast<std::size_t>(used), "%u",
                              static_cast<unsigned>(getU16le(block, B::kSerialWords + 2 * i)));
    putText(id, L::kSerialNumber, L::kSerialNumberSize, text);

    std::snprintf(text, sizeof text, "%u-%u-%u",
                  static_cast<unsigned>(getU16le(block, B::kSerialWords)),
                  static_cast<unsigned>(getU16le(block, B::kSerialWords + 2)),
                  static_cast<unsigned>(getU16le(block, B::kSerialWords + 4)));
    putText(id, L::kFactoryDate, L::kFactoryDateSize, text);
}

} // namespace qx
