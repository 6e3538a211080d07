// Reading the bytes of the response records that more than one area receives:
// the register bytes of kEventInputRegisters, kEventHoldingRegisters,
// kEventParamsRead and kEventStatusReport and the bit bytes of kEventInputs
// and kEventCoils, each with the count that arrived.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace qx {

// The record's bytes as received, as many as its length field says, limited
// to what the record can hold (`capacity`).
std::span<const uint8_t> readRegisterBytes(const uint8_t *record, std::size_t capacity);
// kEventInputs and kEventCoils: the bit bytes the answer carried (X1/Y1 in
// bit 0 of the first).
std::span<const uint8_t> readBitBytes(const uint8_t *record);

} // namespace qx
