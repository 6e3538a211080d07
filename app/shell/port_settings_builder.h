// Turns the connection page's choices into the PortSettings block that
// DLL_API_OBJ_CREATE takes, refusing what the block cannot carry instead of
// cutting or wrapping it silently.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "port_settings.h"
#include "qxlib.h"

namespace qx {

// A port edit: at most 31 characters are read; digits only, 0 to 65535.
struct PortResult
{
    bool ok = false;
    uint16_t port = 0;
    std::string message;
};
PortResult parsePort(std::string_view text);

// Dotted-decimal IPv4 text with four parts of 0 to 255.
bool isIpv4Text(std::string_view text);
bool isLoopbackIpv4(std::string_view text);

// Serial line tables (combo index -> value in the block).
inline constexpr std::array<uint32_t, 11> kBaudRates {
    1200, 2400, 4800, 9600, 14400, 19200, 38400, 57600, 115200, 128000, 256000,
};
inline constexpr int kDefaultBaudIndex = 8;
inline constexpr std::array<uint8_t, 2> kDataBits {7, 8};
inline constexpr std::array<uint8_t, 2> kStopBitCodes {0, 2};

struct SerialChoice
{
    std::string path;
    uint32_t baudRate = 115200;
    uint8_t dataBits = 8;
    uint8_t parity = 0; // 0 none, 1 odd, 2 even, 3 mark
    uint8_t stopBits = 0; // 0 one, 2 two
};

struct SettingsResult
{
    bool ok = false;
    std::string message;
    PortSettings settings {};
};

SettingsResult buildTcpServerSettings(std::string_view localAddress, uint16_t listenPort);
SettingsResult buildTcpClientSettings(std::string_view localAddress, std::string_view moduleAddress,
                                      uint16_t modulePort);
SettingsResult buildUdpSettings(std::string_view localAddress, std::string_view moduleAddress,
                                uint16_t modulePort, uint16_t localPort);
SettingsResult buildSerialSettings(const SerialChoice &choice);

} // namespace qx
