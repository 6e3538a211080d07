// One builder per request kind, in Modbus RTU or Modbus TCP framing. Each
// checks the room first and writes nothing (returns 0) when the frame would
// not fit; otherwise it returns the frame length.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qx {

// The write-registers request carries its byte count and MBAP length in 8-bit
// fields, which hold at most 124 registers.
constexpr uint16_t kMaxWriteRegisters = 124;

std::size_t buildNoFieldRequest(int32_t framing, uint8_t address, uint8_t function,
                                uint8_t *out, std::size_t room);
std::size_t buildReadRequest(int32_t framing, uint8_t address, uint8_t function,
                             uint16_t start, uint16_t quantity, uint8_t *out, std::size_t room);
std::size_t buildWriteCoilsRequest(int32_t framing, uint8_t address, uint16_t start,
                                   uint16_t quantity, const uint8_t *bits, uint8_t *out,
                                   std::size_t room);
std::size_t buildWriteRegistersRequest(int32_t framing, uint8_t address, uint16_t start,
                                       uint16_t quantity, const uint8_t *values, uint8_t *out,
                                       std::size_t room);
std::size_t buildPayloadRequest(int32_t framing, uint8_t address, uint8_t function,
                                const uint8_t *payload, std::size_t length, uint8_t *out,
                                std::size_t room);

// True for the command slots that build a request; every other slot number
// never sends, whatever its mode.
bool slotHasRequest(int slot);

// Builds the request of command slot `slot` from a RequestRecord's bytes;
// 0 for slots without a request kind, framing modes other than 0 and 1, and
// frames that do not fit.
std::size_t buildSlotRequest(int32_t framing, int slot, const uint8_t *record, uint8_t *out,
                             std::size_t room);

} // namespace qx
