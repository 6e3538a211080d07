// The device commands' command line: the connection (one of --tcp, --udp,
// --listen, --serial with its line settings), the common options (--address,
// --json, --timeout, --library), the command words and the command's own
// options. Options may stand before or after the command words.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "port_settings_builder.h"

namespace qx::cli {

inline constexpr int kDefaultTimeoutMs = 3000;

struct Invocation {
    enum class Transport {
        None,
        TcpClient, // --tcp HOST:PORT
        Udp, // --udp HOST:PORT[:LOCALPORT]
        TcpServer, // --listen [ADDR:]PORT
        Serial, // --serial PATH
    };
    Transport transport = Transport::None;
    std::string host; // TCP client and UDP: the module; TCP server: the local address
    uint16_t port = 0;
    uint16_t localPort = 0; // UDP
    SerialChoice serial;

    uint8_t address = 1;
    bool json = false;
    int timeoutMs = kDefaultTimeoutMs;
    bool timeoutGiven = false;
    std::string library; // --library PATH
    bool help = false;

    std::vector<std::string> words; // the command and its positional arguments
    std::map<std::string, std::string> options; // the command's own; flags map to ""
};

struct ParseResult {
    bool ok = false;
    std::string message; // what is wrong
    Invocation invocation;
};

// True when the first argument opens a device command (a connection or a
// common option) rather than naming a subcommand such as `plc`.
bool isDeviceCommandLine(const std::vector<std::string> &args);

ParseResult parseInvocation(const std::vector<std::string> &args);

// The PortSettings of the connection; a host name is looked up (IPv4).
SettingsResult connectionSettings(const Invocation &invocation);

// Numbers of the command options: decimal, within [min, max].
std::optional<long> parseDecimal(const std::string &text, long min, long max);

} // namespace qx::cli
