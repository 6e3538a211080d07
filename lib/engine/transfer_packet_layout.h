// Payloads of the maker's transfer functions and the module's replies to
// them: firmware parts (0x43 BIOS, 0x44 firmware) and EPLC program packets
// (0x46). Multi-byte fields are big-endian; each payload ends with the CRC of
// the bytes before it, most significant byte first.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qx {

// 0x43 / 0x44 request payload.
namespace FirmwarePartLayout {
constexpr std::size_t kPartIndex = 0; // u16 big-endian
constexpr std::size_t kImage = 2;
constexpr std::size_t kPartSize = 1024;
constexpr std::size_t kChecksum = kImage + kPartSize; // 1026
constexpr std::size_t kPayloadSize = kChecksum + 2; // 1028
constexpr std::size_t kMaxParts = 128;
constexpr std::size_t kMaxImageSize = kMaxParts * kPartSize; // 131072
} // namespace FirmwarePartLayout

// 0x43 / 0x44 reply, after the function code: status (1 stored, 0 refused),
// then the part index big-endian.
namespace FirmwareReplyLayout {
constexpr std::size_t kStatus = 0;
constexpr std::size_t kPartIndex = 1;
constexpr std::size_t kSize = 3;
constexpr uint8_t kStatusRefused = 0;
constexpr uint8_t kStatusStored = 1;
} // namespace FirmwareReplyLayout

// 0x46 request payload, the EplcPacket.
namespace EplcPacketLayout {
constexpr std::size_t kMode = 0;
constexpr std::size_t kBlock = 1;
constexpr std::size_t kOffset = 2; // u16 big-endian
constexpr std::size_t kLength = 4; // u16 big-endian
constexpr std::size_t kData = 6;
constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kOverhead = kHeaderSize + 2; // payload length = n + 8

constexpr uint8_t kModeStart = 1;
constexpr uint8_t kModeData = 2;
constexpr uint8_t kModeRamRun = 3;
constexpr uint8_t kModeFlashRun = 4;
constexpr uint8_t kModeFlashRestart = 5;

constexpr std::size_t kBlockCount = 100;
constexpr std::size_t kBlockSize = 256;
constexpr std::size_t kProgramSize = kBlockCount * kBlockSize; // 25,600
} // namespace EplcPacketLayout

// 0x46 reply, after the function code: status (0 success, otherwise an error
// code) and the echoed mode, block, offset and length. In RTU framing the
// reply carries exactly kSize bytes after the function code, the rest zero.
namespace EplcReplyLayout {
constexpr std::size_t kStatus = 0;
constexpr std::size_t kMode = 1;
constexpr std::size_t kBlock = 2;
constexpr std::size_t kOffset = 3; // u16 big-endian
constexpr std::size_t kLength = 5; // u16 big-endian
constexpr std::size_t kSize = 32;

constexpr uint8_t kStatusOk = 0;
constexpr uint8_t kStatusBadChecksum = 1;
constexpr uint8_t kStatusBadField = 2; // mode, block, offset or length out of range
constexpr uint8_t kStatusRefused = 3; // the module could not take the packet now
constexpr uint8_t kStatusBadProgram = 4; // final packet: the program cannot run, nothing stored
} // namespace EplcReplyLayout

} // namespace qx
