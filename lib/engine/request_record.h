// The RequestRecord: what the host copies into a command slot. The layout is
// fixed by the library's interface; every reader and writer (library, pages,
// command line, tests) uses these offsets and helpers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "byte_io.h"

namespace qx {

namespace RequestLayout {
constexpr std::size_t kMode = 8;
constexpr std::size_t kCounter = 12;
constexpr std::size_t kAddress = 16;
constexpr std::size_t kSubStation = 17;
constexpr std::size_t kStart = 20;
constexpr std::size_t kQuantity = 24;
constexpr std::size_t kPayload = 28;
constexpr std::size_t kPayloadCapacity = 1280;
constexpr std::size_t kPayloadLength = 1308;
constexpr std::size_t kSize = 2048; // one command slot
} // namespace RequestLayout

// Command slot numbers: the slot decides which request is built.
enum CommandSlotNumber : int {
    kSlotIdentity = 0, // 0x11
    kSlotReadInputs = 2, // 0x02
    kSlotReadCoils = 4, // 0x01
    kSlotWriteCoils = 5, // 0x0F
    kSlotReadInputRegisters = 6, // 0x04
    kSlotReadHoldingRegisters = 8, // 0x03
    kSlotWriteRegisters = 9, // 0x10
    kSlotReadParams = 14, // 0x41
    kSlotWriteParams = 15, // 0x42
    kSlotBiosPacket = 16, // 0x43
    kSlotFirmwarePacket = 17, // 0x44
    kSlotPlcPacket = 18, // 0x46
};

constexpr int kCommandSlotCount = 72;

// Record lengths the host passes with each slot (leading bytes that matter).
namespace RequestLength {
constexpr int kIdentity = 20;
constexpr int kRead = 28;
constexpr int kReadInputRegisters = 32;
constexpr int kWriteCoils = 1052;
constexpr int kWriteRegisters = 1056;
constexpr int kWriteParams = 1312;
constexpr int kTransferPacket = 1316;
} // namespace RequestLength

enum RequestMode : uint8_t {
    kModeIdle = 0,
    kModeCounted = 1,
    kModeRepeat = 2,
};

// A whole slot's worth of bytes with named accessors; hosts fill one and pass
// its leading bytes to DLL_API_OBJ_CMD.
class RequestRecord
{
public:
    RequestRecord() { m_bytes.fill(0); }

    uint8_t *data() { return m_bytes.data(); }
    const uint8_t *data() const { return m_bytes.data(); }

    uint8_t mode() const { return m_bytes[RequestLayout::kMode]; }
    void setMode(uint8_t mode) { m_bytes[RequestLayout::kMode] = mode; }
    int32_t counter() const { return getI32le(m_bytes.data(), RequestLayout::kCounter); }
    void setCounter(int32_t n) { putI32le(m_bytes.data(), RequestLayout::kCounter, n); }
    uint8_t address() const { return m_bytes[RequestLayout::kAddress]; }
    void setAddress(uint8_t a) { m_bytes[RequestLayout::kAddress] = a; }
    uint8_t subStation() const { return m_bytes[RequestLayout::kSubStation]; }
    void setSubStation(uint8_t s) { m_bytes[RequestLayout::kSubStation] = s; }
    uint32_t start() const { return getU32le(m_bytes.data(), RequestLayout::kStart); }
    void setStart(uint32_t s) { putU32le(m_bytes.data(), RequestLayout::kStart, s); }
    uint32_t quantity() const { return getU32le(m_bytes.data(), RequestLayout::kQuantity); }
    void setQuantity(uint32_t q) { putU32le(m_bytes.data(), RequestLayout::kQuantity, q); }
    uint8_t *payload() { return m_bytes.data() + RequestLayout::kPayload; }
    const uint8_t *payload() const { return m_bytes.data() + RequestLayout::kPayload; }
    int32_t payloadLength() const { return getI32le(m_bytes.data(), RequestLayout::kPayloadLength); }
    void setPayloadLength(int32_t n) { putI32le(m_bytes.data(), RequestLayout::kPayloadLength, n); }

    // Copies at most the payload capacity and sets the payload length.
    void setPayload(const uint8_t *bytes, std::size_t n)
    {
        if (n > RequestLayout::kPayloadCapacity)
            n = RequestLayout::kPayloadCapacity;
        if (n > 0) // an empty packet may come without storage
            std::memcpy(payload(), bytes, n);
        setPayloadLength(static_cast<int32_t>(n));
    }

private:
    std::array<uint8_t, RequestLayout::kSize> m_bytes;
};

// A transfer packet (parameter block, BIOS or firmware part, PLC packet) as
// its slot expects it: counted once, sub-station 0, start and quantity
// 0xFFFF, the packet as payload. Pass RequestLength::kTransferPacket bytes.
inline RequestRecord transferRequest(const std::vector<uint8_t> &packet, uint8_t modbusAddress)
{
    RequestRecord r;
    r.setMode(kModeCounted);
    r.setCounter(1);
    r.setAddress(modbusAddress);
    r.setSubStation(0);
    r.setStart(0xFFFF);
    r.setQuantity(0xFFFF);
    r.setPayload(packet.data(), packet.size());
    return r;
}

// One record for DLL_API_OBJ_CMD: its slot, the length to pass, the record.
struct SlotRequest {
    int slot = 0;
    int32_t length = 0;
    RequestRecord record;
};

// A transfer packet in its slot (14 to 18).
inline SlotRequest transferSlotRequest(int slot, const std::vector<uint8_t> &packet, uint8_t modbusAddress)
{
    return {slot, RequestLength::kTransferPacket, transferRequest(packet, modbusAddress)};
}

// The identity request (slot 0): kModeRepeat asks until the module answers,
// kModeCounted once, kModeIdle stops asking.
inline SlotRequest identityRequest(uint8_t mode, uint8_t modbusAddress)
{
    SlotRequest r {kSlotIdentity, RequestLength::kIdentity, {}};
    r.record.setMode(mode);
    if (mode == kModeCounted)
        r.record.setCounter(1);
    r.record.setAddress(modbusAddress);
    return r;
}

} // namespace qx
