// ProtocolEngine: the 72 command slots and their round-robin scheduling, the
// request builders, the receive buffer and the response decoder. One engine
// belongs to each port object; the worker thread calls nextRequest, append
// and decode, the host's thread calls put, clear and clearReceive.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "identity_record.h"
#include "model_catalogue.h"
#include "request_record.h"
#include "response_records.h"

namespace qx {

class ProtocolEngine
{
public:
    static constexpr std::size_t kSlotSize = RequestLayout::kSize;
    static constexpr std::size_t kTxCapacity = 2048;
    static constexpr std::size_t kRxCapacity = 4096;
    // A frame may announce up to 4096 bytes; the frame buffer is sized so that
    // every frame the receive buffer can hold fits.
    static constexpr std::size_t kFrameCapacity = 4096;

    explicit ProtocolEngine(int32_t framingMode);
    ~ProtocolEngine();
    ProtocolEngine(const ProtocolEngine &) = delete;
    ProtocolEngine &operator=(const ProtocolEngine &) = delete;

    int32_t framingMode() const { return m_framingMode; }

    // Host side. put copies `length` leading bytes of a RequestRecord into
    // slot `slot`; it ignores slots outside 0..71, negative lengths, lengths
    // above one slot and null records.
    void put(int slot, const void *record, int32_t length);
    // Zeroes slots, transmit and receive buffers, receive count and cursor.
    void clear();
    // Drops bytes received but not yet decoded.
    void clearReceive();

    // Worker side. The frame stays valid until the next call; length 0 means
    // nothing to send now.
    struct Frame
    {
        const uint8_t *data = nullptr;
        std::size_t length = 0;
    };
    Frame nextRequest();

    // Appends received bytes when they all fit in the receive buffer; returns
    // false (and appends nothing) otherwise.
    bool append(const uint8_t *data, std::size_t length);
    std::size_t receivedCount() const;

    // Cuts one frame out of the receive buffer and decodes it; bytes after a
    // TCP frame stay for the next call. data is null when there is nothing
    // to deliver.
    struct Event
    {
        int32_t code = 0;
        const void *data = nullptr;
    };
    Event decode();
    // True when the next decode has something to cut or to drop without
    // waiting for more bytes, so that the worker need not wait for the line.
    bool frameWaiting() const;

    // The last frame cut out by decode (length 0 when the last decode found none).
    const uint8_t *frame() const { return m_frame.data(); }
    std::size_t frameLength() const { return m_frameLength; }

    uint32_t cursor() const
    {
        std::lock_guard<std::mutex> lock(m_slotLock);
        return m_cursor;
    }
    const ModelCatalogue &catalogue() const { return m_catalogue; }
    // A copy of a slot's bytes, taken under the lock (for tests and diagnostics).
    std::array<uint8_t, kSlotSize> slotSnapshot(int slot) const;

private:
    enum class Cut {
        Wait, // no complete frame yet
        Drop, // the bytes cannot be a frame
        Frame, // `length` bytes at the front are one
    };
    // Under m_rxLock.
    Cut findFrame(std::size_t &length) const;
    bool evaluateSlot(int slot, std::size_t &length);
    Event decodeFrame();
    // Copies up to n bytes of the frame's data from offset `from` into dst,
    // never past the capacity and never past the frame's data (the rest of
    // the n bytes is zeroed); returns the n it stored.
    std::size_t copyData(uint8_t *dst, std::size_t capacity, std::size_t from, std::size_t n) const;
    uint8_t dataByte(std::size_t offset) const;
    std::size_t dataEnd() const;
    void decodeIdentity(std::size_t blockOffset);

    const int32_t m_framingMode;
    uint32_t m_cursor = 0;
    mutable std::mutex m_slotLock; // slot table and cursor: put, clear, next request
    mutable std::mutex m_rxLock; // receive buffer and count
    std::unique_ptr<std::array<uint8_t, kCommandSlotCount * kSlotSize>> m_slots;
    std::array<uint8_t, kTxCapacity> m_tx {};
    std::array<uint8_t, kRxCapacity> m_rx {};
    std::size_t m_rxCount = 0;
    std::array<uint8_t, kFrameCapacity> m_frame {};
    std::size_t m_frameLength = 0;

    std::array<uint8_t, BitRecordLayout::kSize> m_inputBits {};
    std::array<uint8_t, BitRecordLayout::kSize> m_coilBits {};
    std::array<uint8_t, RegisterRecordLayout::kSize> m_inputRegisters {};
    std::array<uint8_t, RegisterRecordLayout::kSize> m_holdingRegisters {};
    std::array<uint8_t, RegisterRecordLayout::kParamSize> m_params {};
    std::array<uint8_t, RegisterRecordLayout::kSize> m_statusReport {};
    std::array<uint8_t, TransferReplyLayout::kSize> m_paramsWritten {};
    std::array<uint8_t, TransferReplyLayout::kSize> m_biosReply {};
    std::array<uint8_t, TransferReplyLayout::kSize> m_firmwareReply {};
    std::array<uint8_t, TransferReplyLayout::kSize> m_plcReply {};
    std::array<uint8_t, EmptyRecordLayout::kSize> m_empty {};
    std::array<uint8_t, IdentityLayout::kSize> m_identity {};

    ModelCatalogue m_catalogue;
};

} // namespace qx
