// Parsing the device commands' command line.
#include "cli_arguments.h"

#include <cstring>

#include "cli_platform.h"
#include "modbus_address.h"

namespace qx::cli {

namespace {

// Every option and whether it takes a value. The command decides which of
// its own it accepts.
struct OptionName {
    const char *name;
    bool value;
};
constexpr OptionName kOptionNames[] = {
    // connection and common
    {"--tcp", true}, {"--udp", true}, {"--listen", true}, {"--serial", true},
    {"--baud", true}, {"--data", true}, {"--parity", true}, {"--stop", true},
    {"--address", true}, {"--json", false}, {"--timeout", true}, {"--library", true},
    {"--help", false}, {"-h", false},
    // commands
    {"--sub", true}, {"--every", true}, {"--count", true},
    {"--unit", true}, {"--high", true}, {"--low", true}, {"--run", true},
    {"-o", true}, {"--yes", false},
    {"--ram", false}, {"--flash", false}, {"--flash-restart", false},
    {"--scaling", true}, {"--password", true}, {"--block-size", true},
    {"--from", true}, {"--to", true},
};

const OptionName *findOption(const std::string &name)
{
    for (const OptionName &o : kOptionNames)
        if (name == o.name)
            return &o;
    return nullptr;
}

// "HOST:PORT" (or "PORT" when the host may be left out).
bool splitHostPort(const std::string &text, bool hostOptional, std::string &host, uint16_t &port)
{
    const std::size_t colon = text.rfind(':');
    std::string portText = text;
    host.clear();
    if (colon != std::string::npos) {
        host = text.substr(0, colon);
        portText = text.substr(colon + 1);
        if (host.empty())
            return false;
    } else if (!hostOptional) {
        return false;
    }
    const PortResult p = parsePort(portText);
    port = p.port;
    return p.ok;
}

std::string applyConnection(const std::string &name, const std::string &value, Invocation &inv)
{
    if (inv.transport != Invocation::Transport::None)
        return "only one of --tcp, --udp, --listen, --serial";
    if (name == "--tcp") {
        inv.transport = Invocation::Transport::TcpClient;
        if (!splitHostPort(value, false, inv.host, inv.port))
            return "--tcp takes HOST:PORT";
    } else if (name == "--udp") {
        inv.transport = Invocation::Transport::Udp;
        // HOST:PORT or HOST:PORT:LOCALPORT
        std::string first = value;
        const std::size_t a = value.find(':');
        const std::size_t b = a == std::string::npos ? a : value.find(':', a + 1);
        if (b != std::string::npos) {
            first = value.substr(0, b);
            const PortResult local = parsePort(value.substr(b + 1));
            if (!local.ok)
                return "--udp takes HOST:PORT[:LOCALPORT]";
            inv.localPort = local.port;
        }
        if (!splitHostPort(first, false, inv.host, inv.port))
            return "--udp takes HOST:PORT[:LOCALPORT]";
    } else if (name == "--listen") {
        inv.transport = Invocation::Transport::TcpServer;
        if (!splitHostPort(value, true, inv.host, inv.port))
            return "--listen takes [ADDR:]PORT";
        if (inv.host.empty())
            inv.host = "0.0.0.0";
    } else {
        inv.transport = Invocation::Transport::Serial;
        inv.serial.path = value;
    }
    return {};
}

std::string applySerialLine(const std::string &name, const std::string &value, Invocation &inv)
{
    if (name == "--baud") {
        const auto n = parseDecimal(value, 1, 4'000'000);
        if (!n)
            return "--baud takes a baud rate";
        inv.serial.baudRate = static_cast<uint32_t>(*n);
    } else if (name == "--data") {
        if (value != "7" && value != "8")
            return "--data takes 7 or 8";
        inv.serial.dataBits = static_cast<uint8_t>(value[0] - '0');
    } else if (name == "--parity") {
        // the serial table's codes: 0 none, 1 odd, 2 even, 3 mark
        const char *names[] = {"none", "odd", "even", "mark"};
        bool found = false;
        for (uint8_t i = 0; i < 4; ++i)
            if (value == names[i]) {
                inv.serial.parity = i;
                found = true;
            }
        if (!found)
            return "--parity takes none, odd, even or mark";
    } else {
        if (value != "1" && value != "2")
            return "--stop takes 1 or 2";
        inv.serial.stopBits = value == "1" ? kStopBitCodes[0] : kStopBitCodes[1];
    }
    return {};
}

std::string applyOption(const std::string &name, const std::string &value, Invocation &inv)
{
    if (name == "--tcp" || name == "--udp" || name == "--listen" || name == "--serial")
        return applyConnection(name, value, inv);
    if (name == "--baud" || name == "--data" || name == "--parity" || name == "--stop") {
        inv.options[name] = value; // kept to refuse them without --serial
        return applySerialLine(name, value, inv);
    }
    if (name == "--address") {
        const ModbusAddressResult a = readModbusAddress(value);
        if (!a.ok)
            return a.message;
        inv.address = a.address;
    } else if (name == "--json") {
        inv.json = true;
    } else if (name == "--timeout") {
        const auto n = parseDecimal(value, 1, 600'000);
        if (!n)
            return "--timeout takes milliseconds, 1..600000";
        inv.timeoutMs = static_cast<int>(*n);
        inv.timeoutGiven = true;
    } else if (name == "--library") {
        inv.library = value;
    } else if (name == "--help" || name == "-h") {
        inv.help = true;
    } else {
        if (inv.options.count(name))
            return name + " given twice";
        inv.options[name] = value;
    }
    return {};
}

} // namespace

std::optional<long> parseDecimal(const std::string &text, long min, long max)
{
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v * 10 + (c - '0');
    }
    if (v < min || v > max)
        return std::nullopt;
    return v;
}

bool isDeviceCommandLine(const std::vector<std::string> &args)
{
    if (args.empty() || args[0].size() < 2 || args[0][0] != '-')
        return false;
    const OptionName *o = findOption(args[0]);
    return o != nullptr && args[0] != "--help" && args[0] != "-h";
}

ParseResult parseInvocation(const std::vector<std::string> &args)
{
    ParseResult r;
    Invocation &inv = r.invocation;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        // a lone "-" or a negative number is a word, not an option
        const bool looksLikeOption = a.size() > 1 && a[0] == '-' && !(a[1] >= '0' && a[1] <= '9');
        if (!looksLikeOption) {
            inv.words.push_back(a);
            continue;
        }
        const OptionName *o = findOption(a);
        if (o == nullptr) {
            r.message = "unknown option " + a;
            return r;
        }
        std::string value;
        if (o->value) {
            if (i + 1 >= args.size()) {
                r.message = a + " needs a value";
                return r;
            }
            value = args[++i];
        }
        if (std::string why = applyOption(a, value, inv); !why.empty()) {
            r.message = why;
            return r;
        }
    }
    const bool lineOptions = inv.options.count("--baud") || inv.options.count("--data")
        || inv.options.count("--parity") || inv.options.count("--stop");
    if (lineOptions && inv.transport != Invocation::Transport::Serial) {
        r.message = "--baud, --data, --parity and --stop go with --serial";
        return r;
    }
    for (const char *line : {"--baud", "--data", "--parity", "--stop"})
        inv.options.erase(line);
    r.ok = true;
    return r;
}

SettingsResult connectionSettings(const Invocation &inv)
{
    // Any local address: the operating system picks the adapter, as the
    // route to the module decides.
    constexpr const char *kAnyAddress = "0.0.0.0";
    std::string host = inv.host;
    if ((inv.transport == Invocation::Transport::TcpClient || inv.transport == Invocation::Transport::Udp)
        && !isIpv4Text(host)) {
        if (std::string address = platform::resolveIpv4(host); !address.empty())
            host = address;
    }
    switch (inv.transport) {
    case Invocation::Transport::TcpClient:
        return buildTcpClientSettings(kAnyAddress, host, inv.port);
    case Invocation::Transport::Udp:
        return buildUdpSettings(kAnyAddress, host, inv.port, inv.localPort);
    case Invocation::Transport::TcpServer:
        return buildTcpServerSettings(host, inv.port);
    case Invocation::Transport::Serial:
        return buildSerialSettings(inv.serial);
    case Invocation::Transport::None:
        break;
    }
    SettingsResult none;
    none.message = "a connection is needed: --tcp, --udp, --listen or --serial";
    return none;
}

} // namespace qx::cli
