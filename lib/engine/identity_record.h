// The IdentityRecord delivered with event 0: NUL-terminated GBK texts at fixed
// offsets, decoded from the module's 0x11 answer.
#pragma once

#include <cstddef>

namespace qx {

namespace IdentityLayout {
constexpr std::size_t kDriverVersion = 13; // 32 bytes, "Ver%d.%d"
constexpr std::size_t kFirmwareVersion = 45; // 32 bytes
constexpr std::size_t kSeries = 77; // 1 byte
constexpr std::size_t kModelName = 111; // 32 bytes
constexpr std::size_t kDescription = 143; // 256 bytes
constexpr std::size_t kSerialNumber = 399; // 32 bytes
constexpr std::size_t kFactoryDate = 431; // 33 bytes
constexpr std::size_t kSize = 464;

constexpr std::size_t kVersionSize = 32;
constexpr std::size_t kModelNameSize = 32;
constexpr std::size_t kDescriptionSize = 256;
constexpr std::size_t kSerialNumberSize = 32;
constexpr std::size_t kFactoryDateSize = 33;
} // namespace IdentityLayout

// The identity block inside a 0x11 answer, as offsets in RTU framing (add 6 in
// TCP framing). The simulated module writes the same layout.
namespace IdentityBlock {
constexpr std::size_t kDriverMajor = 4;
constexpr std::size_t kDriverMinor = 5;
constexpr std::size_t kFirmwareMajor = 6;
constexpr std::size_t kFirmwareMinor = 7;
constexpr std::size_t kSeries = 8;
constexpr std::size_t kModelCode = 9; // u32 little-endian
constexpr std::size_t kSerialWords = 13; // ten u16 little-endian
constexpr std::size_t kSerialWordCount = 10;
constexpr std::size_t kRtuMinLength = 64; // shorter answers are not decoded
constexpr std::size_t kTcpMinLength = 70;
constexpr std::size_t kRtuFrameLength = 66; // as a module sends it, CRC included
} // namespace IdentityBlock

} // namespace qx
