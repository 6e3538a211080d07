// The 140-byte PortSettings block passed to DLL_API_OBJ_CREATE: offsets of its
// fields per transport.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "byte_io.h"
#include "qxlib.h"

namespace qx {

enum TransportType : uint32_t {
    kTransportTcpServer = 0,
    kTransportTcpClient = 1,
    kTransportUdp = 2,
    kTransportSerial = 3,
    kTransportNone = 4,
};

enum FramingMode : int32_t {
    kFramingTcp = 0,
    kFramingRtu = 1,
};

namespace SettingsLayout {
constexpr std::size_t kTransportType = 0;
constexpr std::size_t kFramingMode = 4;
// serial
constexpr std::size_t kPortName = 8; // 16 bytes, NUL-terminated
constexpr std::size_t kPortNameSize = 16;
constexpr std::size_t kBaudRate = 24;
constexpr std::size_t kDataBits = 28;
constexpr std::size_t kParity = 29; // 0 none, 1 odd, 2 even, 3 mark
constexpr std::size_t kStopBits = 30; // 0 one, 2 two
// network
constexpr std::size_t kLocalAddress = 8; // 64 bytes
constexpr std::size_t kAddressSize = 64;
constexpr std::size_t kListenPort = 72; // u16, TCP server
constexpr std::size_t kModuleAddress = 72; // 64 bytes, TCP client and UDP
constexpr std::size_t kModulePort = 136; // u16
constexpr std::size_t kLocalPort = 138; // u16, UDP
constexpr std::size_t kSize = 140;
constexpr std::size_t kWordCount = 35;
static_assert(kWordCount * 4 == kSize && sizeof(PortSettings) == kSize);
} // namespace SettingsLayout

// The block's bytes, its words little-endian as the library reads them, and
// back: the one conversion between the two forms.
inline std::array<uint8_t, SettingsLayout::kSize> settingsBytes(const PortSettings &settings)
{
    std::array<uint8_t, SettingsLayout::kSize> bytes {};
    for (std::size_t i = 0; i < SettingsLayout::kWordCount; ++i)
        putU32le(bytes.data(), 4 * i, settings.word[i]);
    return bytes;
}

inline PortSettings settingsFromBytes(const uint8_t *bytes)
{
    PortSettings settings {};
    for (std::size_t i = 0; i < SettingsLayout::kWordCount; ++i)
        settings.word[i] = getU32le(bytes, 4 * i);
    return settings;
}

} // namespace qx
