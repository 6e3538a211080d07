#include "port_settings_builder.h"

#include <cstring>

#include "byte_io.h"
#include "port_settings.h"
#include "shell_texts.h"

namespace qx {

namespace {

using Block = std::array<uint8_t, SettingsLayout::kSize>;

void putTextField(Block &b, std::size_t off, std::string_view text)
{
    std::memset(b.data() + off, 0, SettingsLayout::kAddressSize);
    std::memcpy(b.data() + off, text.data(), text.size());
}

SettingsResult refuse(const char *message)
{
    SettingsResult r;
    r.message = message;
    return r;
}

} // namespace

PortResult parsePort(std::string_view text)
{
    PortResult r;
    if (text.size() > 31)
        text = text.substr(0, 31);
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    uint32_t value = 0;
    bool digits = !text.empty();
    for (char c : text) {
        if (c < '0' || c > '9' || value > 65535) {
            digits = false;
            break;
        }
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    if (!digits || value > 65535) {
        r.message = shell_texts::kInvalidPort;
        return r;
    }
    r.ok = true;
    r.port = static_cast<uint16_t>(value);
    return r;
}

bool isIpv4Text(std::string_view text)
{
    int parts = 0;
    std::size_t i = 0;
    while (parts < 4) {
        std::size_t begin = i;
        unsigned value = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - begin < 3) {
            value = value * 10 + static_cast<unsigned>(text[i] - '0');
            ++i;
        }
        if (i == begin || value > 255)
            return false;
        ++parts;
        if (parts < 4) {
            if (i >= text.size() || text[i] != '.')
                return false;
            ++i;
        }
    }
    return i == text.size();
}

bool isLoopbackIpv4(std::string_view text)
{
    return isIpv4Text(text) && text.substr(0, 4) == "127.";
}

SettingsResult buildTcpServerSettings(std::string_view localAddress, uint16_t listenPort)
{
    if (!isIpv4Text(localAddress))
        return refuse(shell_texts::kListenNeedsAdapter);
    Block b {};
    putU32le(b.data(), SettingsLayout::kTransportType, kTransportTcpServer);
    putI32le(b.data(), SettingsLayout::kFramingMode, kFramingTcp);
    putTextField(b, SettingsLayout::kLocalAddress, localAddress);
    putU16le(b.data(), SettingsLayout::kListenPort, listenPort);
    return {true, {}, settingsFromBytes(b.data())};
}

SettingsResult buildTcpClientSettings(std::string_view localAddress, std::string_view moduleAddress,
                                      uint16_t modulePort)
{
    if (!isIpv4Text(localAddress))
        return refuse(shell_texts::kConnectNeedsAdapter);
    if (!isIpv4Text(moduleAddress))
        return refuse(shell_texts::kInvalidModuleIp);
    Block b {};
    putU32le(b.data(), SettingsLayout::kTransportType, kTransportTcpClient);
    putI32le(b.data(), SettingsLayout::kFramingMode, kFramingTcp);
    putTextField(b, SettingsLayout::kLocalAddress, localAddress);
    putTextField(b, SettingsLayout::kModuleAddress, moduleAddress);
    putU16le(b.data(), SettingsLayout::kModulePort, modulePort);
    return {true, {}, settingsFromBytes(b.data())};
}

SettingsResult buildUdpSettings(std::string_view localAddress, std::string_view moduleAddress,
                                uint16_t modulePort, uint16_t localPort)
{
    SettingsResult r = buildTcpClientSettings(localAddress, moduleAddress, modulePort);
    if (!r.ok)
        return r;
    Block b = settingsBytes(r.settings);
    putU32le(b.data(), SettingsLayout::kTransportType, kTransportUdp);
    putU16le(b.data(), SettingsLayout::kLocalPort, localPort);
    r.settings = settingsFromBytes(b.data());
    return r;
}

SettingsResult buildSerialSettings(const SerialChoice &choice)
{
    if (choice.path.empty())
        return refuse(shell_texts::kSerialPathEmpty);
    // The name field holds 15 characters and its terminator; a longer path
    // cut short would open some other device.
    if (choice.path.size() >= SettingsLayout::kPortNameSize)
        return refuse(shell_texts::kSerialPathTooLong);
    Block b {};
    putU32le(b.data(), SettingsLayout::kTransportType, kTransportSerial);
    putI32le(b.data(), SettingsLayout::kFramingMode, kFramingRtu);
    std::memcpy(b.data() + SettingsLayout::kPortName, choice.path.data(), choice.path.size());
    putU32le(b.data(), SettingsLayout::kBaudRate, choice.baudRate);
    b[SettingsLayout::kDataBits] = choice.dataBits;
    b[SettingsLayout::kParity] = choice.parity;
    b[SettingsLayout::kStopBits] = choice.stopBits;
    return {true, {}, settingsFromBytes(b.data())};
}

} // namespace qx
