// The module's unsolicited status report (function 0x45): after the function
// code a byte count, then a flag byte and the sections it announces, in this
// order. Offsets of the sections depend on the flags, so only sizes and flag
// bits are fixed here; sectionOffset() walks them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qx {

namespace StatusReportLayout {
constexpr uint8_t kFlagInputs = 0x01; // 4 bytes of input bits X1..X32
constexpr uint8_t kFlagCoils = 0x02; // 4 bytes of coil bits Y1..Y32
constexpr uint8_t kFlagAnalog32 = 0x04; // 8 big-endian u32: AI1..AI8
constexpr uint8_t kFlagAnalog16 = 0x08; // 8 big-endian u16: AO1..AO8
constexpr uint8_t kFlagPulseMask = 0x70; // any of these: 32 big-endian u32 counters
constexpr uint8_t kFlagPulseX1to4 = 0x10;
constexpr uint8_t kFlagPulseX5to12 = 0x20;
constexpr uint8_t kFlagPulseX13to24 = 0x40;
constexpr uint8_t kAllSections = 0x7F;

constexpr std::size_t kInputsSize = 4;
constexpr std::size_t kCoilsSize = 4;
constexpr std::size_t kAnalog32Size = 32;
constexpr std::size_t kAnalog16Size = 16;
constexpr std::size_t kPulseSize = 128;
// Flag byte and every section: what one byte count can announce.
constexpr std::size_t kMaxDataSize = 1 + kInputsSize + kCoilsSize + kAnalog32Size + kAnalog16Size
    + kPulseSize;

// Offset of the section of `flag` from the flag byte (which is at 0), or 0
// when the flags do not announce it.
constexpr std::size_t sectionOffset(uint8_t flags, uint8_t flag)
{
    std::size_t off = 1;
    const uint8_t order[] = {kFlagInputs, kFlagCoils, kFlagAnalog32, kFlagAnalog16, kFlagPulseMask};
    const std::size_t sizes[] = {kInputsSize, kCoilsSize, kAnalog32Size, kAnalog16Size, kPulseSize};
    for (std::size_t i = 0; i < 5; ++i) {
        const bool present = (flags & order[i]) != 0;
        if ((order[i] & flag) != 0)
            return present ? off : 0;
        if (present)
            off += sizes[i];
    }
    return 0;
}

// Flag byte plus the announced sections.
constexpr std::size_t dataSize(uint8_t flags)
{
    std::size_t n = 1;
    if (flags & kFlagInputs)
        n += kInputsSize;
    if (flags & kFlagCoils)
        n += kCoilsSize;
    if (flags & kFlagAnalog32)
        n += kAnalog32Size;
    if (flags & kFlagAnalog16)
        n += kAnalog16Size;
    if (flags & kFlagPulseMask)
        n += kPulseSize;
    return n;
}

static_assert(kMaxDataSize == 185);
static_assert(sectionOffset(kAllSections, kFlagPulseX5to12) == 57);
static_assert(sectionOffset(kFlagAnalog16, kFlagAnalog16) == 1);
} // namespace StatusReportLayout

} // namespace qx
