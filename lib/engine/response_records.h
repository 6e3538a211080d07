// Layouts of the response records handed to the host with events 1 to 19
// (the identity record has its own header). Offsets are from the event's
// data pointer; hosts read them with the byte_io helpers.
#pragma once

#include <cstddef>

namespace qx {

// Events 2 and 4: the response's data bytes (coil or input bits) and their
// count, the response's byte count field (a short answer carries fewer bits
// than were asked for).
namespace BitRecordLayout {
constexpr std::size_t kCount = 12; // 8-bit
constexpr std::size_t kData = 13;
constexpr std::size_t kCapacity = 255;
constexpr std::size_t kSize = 272;
} // namespace BitRecordLayout

// Events 6, 8, 14 and 19: signed 32-bit length, then the bytes as received
// (register values stay big-endian).
namespace RegisterRecordLayout {
constexpr std::size_t kLength = 16;
constexpr std::size_t kData = 20;
constexpr std::size_t kCapacity = 255; // events 6, 8, 19
constexpr std::size_t kParamCapacity = 1276; // event 14
constexpr std::size_t kSize = kData + kCapacity + 1; // 276
constexpr std::size_t kParamSize = kData + kParamCapacity; // 1296
} // namespace RegisterRecordLayout

// Events 15 to 18: status byte, a signed 32-bit value, and for event 18 the
// data that starts with the status byte itself.
namespace TransferReplyLayout {
constexpr std::size_t kStatus = 12;
constexpr std::size_t kValue = 16;
constexpr std::size_t kData = 20;
constexpr std::size_t kCapacity = 1024; // event 18
constexpr std::size_t kSize = kData + kCapacity; // 1044
} // namespace TransferReplyLayout

// Events 1, 5 and 9 carry a record with nothing decoded in it.
namespace EmptyRecordLayout {
constexpr std::size_t kSize = 16;
}

} // namespace qx
