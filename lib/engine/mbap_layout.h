// The MBAP header in front of every Modbus TCP frame: transaction identifier,
// protocol identifier (always 0), the length of what follows it (unit
// identifier and PDU) and the unit identifier, all big-endian. The library,
// the simulated module and the tests frame and cut by these numbers.
#pragma once

#include <cstddef>

namespace qx {

namespace MbapLayout {
constexpr std::size_t kTransaction = 0; // u16 big-endian
constexpr std::size_t kProtocol = 2; // u16 big-endian, 0
constexpr std::size_t kLength = 4; // u16 big-endian
constexpr std::size_t kUnit = 6;
constexpr std::size_t kSize = 7; // the PDU's function code follows
// The length counts from the unit identifier on: a frame is kLengthEnd plus
// the length long.
constexpr std::size_t kLengthEnd = 6;
// Longest length accepted. The maker's payloads exceed the standard 253-byte
// PDU; a frame this long still fits a 4096-byte receive buffer.
constexpr std::size_t kMaxLength = 4090;
static_assert(kLengthEnd + kMaxLength == 4096);
} // namespace MbapLayout

} // namespace qx
