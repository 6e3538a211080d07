// The Modbus CRC-16 (reflected polynomial 0xA001, initial value 0xFFFF),
// computed with the two 256-entry tables of the Modbus serial-line
// specification. This is the only CRC in the code base: frames, the parameter
// block, firmware parts, PLC packets and the simulated module all use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qx {

// Returns the CRC as a 16-bit value. Frames carry its low-order byte first
// (appendCrcLowFirst); transfer payloads carry it high-order byte first
// (appendChecksumHighFirst).
uint16_t crc16(const uint8_t *data, std::size_t length);

// Appends the CRC of data[0, length) at data[length] (low byte) and
// data[length + 1] (high byte), as an RTU frame carries it.
void appendCrcLowFirst(uint8_t *data, std::size_t length);

// True when the last two bytes of data[0, length) are the CRC of the bytes
// before them, low-order byte first. False for fewer than three bytes.
bool crcMatchesLowFirst(const uint8_t *data, std::size_t length);

// The payloads of the parameter block, firmware parts and PLC packets end in
// the CRC of the bytes before it, high-order byte first.
void appendChecksumHighFirst(std::vector<uint8_t> &bytes);
// True when the last two bytes of data[0, length) are the CRC of the bytes
// before them, high-order byte first. False for fewer than two bytes.
bool checksumMatchesHighFirst(const uint8_t *data, std::size_t length);

} // namespace qx
