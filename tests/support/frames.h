// Frames as a module or a host puts them on the wire, for every test that
// checks bytes: RTU frames with their CRC, Modbus TCP frames behind an MBAP
// header.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace qxtest {

using Bytes = std::vector<uint8_t>;

// Address, function and data, followed by their CRC, low byte first.
Bytes rtu(Bytes frame);
// A unit's PDU behind an MBAP header (protocol 0).
Bytes mbap(uint16_t transaction, uint8_t unit, const Bytes &pdu);
inline Bytes mbap(uint8_t unit, const Bytes &pdu)
{
    return mbap(0, unit, pdu);
}
// The PDU of an MBAP frame (empty when there is none).
Bytes pduOf(const Bytes &mbapFrame);

Bytes concat(std::initializer_list<Bytes> parts);

// `n` bytes of an image or a payload that differ from a fill of 0x00 or
// 0xFF and from their neighbours a kilobyte away; `salt` makes another.
Bytes pattern(std::size_t n, uint8_t salt = 0);

} // namespace qxtest
