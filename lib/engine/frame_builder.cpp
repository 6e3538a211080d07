// Request frames in Modbus RTU framing (address, function, fields, CRC low
// byte first) or Modbus TCP framing (MBAP header with transaction 0, no CRC).
#include "frame_builder.h"

#include <cstring>

#include "byte_io.h"
#include "crc16.h"
#include "mbap_layout.h"
#include "port_settings.h"
#include "request_record.h"

namespace qx {

namespace {

bool knownFraming(int32_t framing)
{
    return framing == kFramingTcp || framing == kFramingRtu;
}

// Frame length for a protocol data unit (function code and fields) of
// `pduLength` bytes.
std::size_t frameLength(int32_t framing, std::size_t pduLength)
{
    return framing == kFramingRtu ? 1 + pduLength + 2 : MbapLayout::kSize + pduLength;
}

// Writes the address byte (RTU) or the MBAP header (TCP) and returns the
// offset of the function code. `lengthField` is the MBAP length as it goes
// on the wire.
std::size_t writeHead(int32_t framing, uint8_t address, uint16_t lengthField, uint8_t *out)
{
    if (framing == kFramingRtu) {
        out[0] = address;
        return 1;
    }
    putU16be(out, MbapLayout::kTransaction, 0); // every request carries transaction 0
    putU16be(out, MbapLayout::kProtocol, 0);
    putU16be(out, MbapLayout::kLength, lengthField);
    out[MbapLayout::kUnit] = address;
    return MbapLayout::kSize;
}

std::size_t finish(int32_t framing, uint8_t *out, std::size_t written)
{
    if (framing == kFramingRtu) {
        appendCrcLowFirst(out, written);
        return written + 2;
    }
    return written;
}

} // namespace

std::size_t buildNoFieldRequest(int32_t framing, uint8_t address, uint8_t function,
                                uint8_t *out, std::size_t room)
{
    if (!knownFraming(framing) || frameLength(framing, 1) > room)
        return 0;
    std::size_t p = writeHead(framing, address, 2, out);
    out[p++] = function;
    return finish(framing, out, p);
}

std::size_t buildReadRequest(int32_t framing, uint8_t address, uint8_t function,
                             uint16_t start, uint16_t quantity, uint8_t *out, std::size_t room)
{
    if (!knownFraming(framing) || frameLength(framing, 5) > room)
        return 0;
    std::size_t p = writeHead(framing, address, 6, out);
    out[p++] = function;
    putU16be(out, p, start);
    putU16be(out, p + 2, quantity);
    return finish(framing, out, p + 4);
}

std::size_t buildWriteCoilsRequest(int32_t framing, uint8_t address, uint16_t start,
                                   uint16_t quantity, const uint8_t *bits, uint8_t *out,
                                   std::size_t room)
{
    // Quantity 0 still carries one byte. Above 2040 coils the byte count
    // would wrap in its 8-bit field and the frame would lie about its data.
    const int bytes = (static_cast<int>(quantity) - 1) / 8 + 1;
    if (bytes > 0xFF)
        return 0;
    const auto n = static_cast<uint8_t>(bytes);
    if (!knownFraming(framing) || frameLength(framing, 6u + n) > room)
        return 0;
    std::size_t p = writeHead(framing, address, static_cast<uint16_t>(n + 7), out);
    out[p++] = 0x0F;
    putU16be(out, p, start);
    putU16be(out, p + 2, quantity);
    out[p + 4] = n;
    p += 5;
    std::memcpy(out + p, bits, n);
    return finish(framing, out, p + n);
}

std::size_t buildWriteRegistersRequest(int32_t framing, uint8_t address, uint16_t start,
                                       uint16_t quantity, const uint8_t *values, uint8_t *out,
                                       std::size_t room)
{
    // The byte count and the MBAP length travel in 8-bit fields here; above
    // 124 registers they would no longer match the data, so nothing is sent.
    if (quantity > kMaxWriteRegisters)
        return 0;
    const std::size_t n = 2u * quantity;
    if (!knownFraming(framing) || frameLength(framing, 6 + n) > room)
        return 0;
    std::size_t p = writeHead(framing, address, static_cast<uint8_t>(n + 7), out);
    out[p++] = 0x10;
    putU16be(out, p, start);
    putU16be(out, p + 2, quantity);
    out[p + 4] = static_cast<uint8_t>(n);
    p += 5;
    std::memcpy(out + p, values, n);
    return finish(framing, out, p + n);
}

std::size_t buildPayloadRequest(int32_t framing, uint8_t address, uint8_t function,
                                const uint8_t *payload, std::size_t length, uint8_t *out,
                                std::size_t room)
{
    if (!knownFraming(framing) || length > 0xFFFF - 2 || frameLength(framing, 1 + length) > room)
        return 0;
    std::size_t p = writeHead(framing, address, static_cast<uint16_t>(length + 2), out);
    out[p++] = function;
    if (length > 0)
        std::memcpy(out + p, payload, length);
    return finish(framing, out, p + length);
}

bool slotHasRequest(int slot)
{
    switch (slot) {
    case kSlotIdentity:
    case kSlotReadInputs:
    case kSlotReadCoils:
    case kSlotWriteCoils:
    case kSlotReadInputRegisters:
    case kSlotReadHoldingRegisters:
    case kSlotWriteRegisters:
    case kSlotReadParams:
    case kSlotWriteParams:
    case kSlotBiosPacket:
    case kSlotFirmwarePacket:
    case kSlotPlcPacket:
        return true;
    default:
        return false;
    }
}

std::size_t buildSlotRequest(int32_t framing, int slot, const uint8_t *record, uint8_t *out,
                             std::size_t room)
{
    const uint8_t address = record[RequestLayout::kAddress];
    const auto start = static_cast<uint16_t>(getU32le(record, RequestLayout::kStart));
    const auto quantity = static_cast<uint16_t>(getU32le(record, RequestLayout::kQuantity));
    const uint8_t *payload = record + RequestLayout::kPayload;

    const auto payloadRequest = [&](uint8_t function) -> std::size_t {
        // The payload never comes from beyond the record's payload field.
        const int32_t length = getI32le(record, RequestLayout::kPayloadLength);
        if (length < 0 || static_cast<std::size_t>(length) > RequestLayout::kPayloadCapacity)
            return 0;
        return buildPayloadRequest(framing, address, function, payload,
                                   static_cast<std::size_t>(length), out, room);
    };

    switch (slot) {
    case kSlotIdentity:
        return buildNoFieldRequest(framing, address, 0x11, out, room);
    case kSlotReadParams:
        return buildNoFieldRequest(framing, address, 0x41, out, room);
    case kSlotReadInputs:
        return buildReadRequest(framing, address, 0x02, start, quantity, out, room);
    case kSlotReadCoils:
        return buildReadRequest(framing, address, 0x01, start, quantity, out, room);
    case kSlotReadInputRegisters:
        return buildReadRequest(framing, address, 0x04, start, quantity, out, room);
    case kSlotReadHoldingRegisters:
        return buildReadRequest(framing, address, 0x03, start, quantity, out, room);
    case kSlotWriteCoils:
        return buildWriteCoilsRequest(framing, address, start, quantity, payload, out, room);
    case kSlotWriteRegisters:
        return buildWriteRegistersRequest(framing, address, start, quantity, payload, out, room);
    case kSlotWriteParams:
        return payloadRequest(0x42);
    case kSlotBiosPacket:
        return payloadRequest(0x43);
    case kSlotFirmwarePacket:
        return payloadRequest(0x44);
    case kSlotPlcPacket:
        return payloadRequest(0x46);
    default:
        return 0;
    }
}

} // namespace qx
