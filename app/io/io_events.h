// Reading the I/O pages' events: register values as they arrived
// (kEventInputRegisters and 8) and the module's status report split into its
// sections (kEventStatusReport).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace qx {

// Register values as they arrived: `count` of them came in the answer, the
// rest of the array is zero.
template<typename T, std::size_t N>
struct ArrivedValues
{
    std::array<T, N> values {};
    std::size_t count = 0;

    // The first `n` values, or fewer when fewer arrived.
    std::span<const T> first(std::size_t n) const { return {values.data(), n < count ? n : count}; }
    std::span<const T> all() const { return first(N); }
};

// kEventInputRegisters: up to 48 big-endian 32-bit values;
// kEventHoldingRegisters: up to 16 big-endian 16-bit values. Only whole
// values count.
ArrivedValues<uint32_t, 48> readInputRegisterValues(const uint8_t *record);
ArrivedValues<uint16_t, 16> readHoldingRegisterValues(const uint8_t *record);

// kEventStatusReport, split by the flag byte; a section that the record is
// too short to hold is left out rather than read past the data.
struct StatusReport
{
    uint8_t flags = 0;
    std::optional<std::array<uint8_t, 4>> inputBits;
    std::optional<std::array<uint8_t, 4>> coilBits;
    std::optional<std::array<uint32_t, 8>> analog32;
    std::optional<std::array<uint16_t, 8>> analog16;
    std::optional<std::array<uint32_t, 32>> pulse;
};
StatusReport readStatusReport(const uint8_t *record);

} // namespace qx
