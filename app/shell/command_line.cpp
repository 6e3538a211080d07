#include "command_line.h"

#include "modbus_address.h"
#include "port_settings_builder.h"

namespace qx {

namespace {

bool parseNumber(const std::string &text, uint32_t max, uint32_t &out)
{
    if (text.empty() || text.size() > 10)
        return false;
    uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + static_cast<uint64_t>(c - '0');
    }
    if (v > max)
        return false;
    out = static_cast<uint32_t>(v);
    return true;
}

std::vector<std::string> split(const std::string &text, char sep)
{
    std::vector<std::string> parts;
    std::size_t begin = 0;
    for (;;) {
        std::size_t at = text.find(sep, begin);
        parts.push_back(text.substr(begin, at - begin));
        if (at == std::string::npos)
            return parts;
        begin = at + 1;
    }
}

} // namespace

std::optional<ConnectTarget> parseConnectTarget(const std::string &text, std::string &error)
{
    std::size_t colon = text.find(':');
    std::string scheme = text.substr(0, colon);
    std::string rest = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    ConnectTarget t;
    uint32_t n = 0;
    if (scheme == "tcp-client" || scheme == "udp") {
        t.kind = scheme == "udp" ? ConnectionKind::Udp : ConnectionKind::TcpClient;
        auto parts = split(rest, ':');
        std::size_t maxParts = t.kind == ConnectionKind::Udp ? 3 : 2;
        if (parts.size() < 2 || parts.size() > maxParts) {
            error = "expected " + scheme + (t.kind == ConnectionKind::Udp ? ":HOST:PORT[:LOCALPORT]" : ":HOST:PORT");
            return std::nullopt;
        }
        if (!isIpv4Text(parts[0])) {
            error = "not a dotted IPv4 address: " + parts[0];
            return std::nullopt;
        }
        t.host = parts[0];
        if (!parseNumber(parts[1], 65535, n) || n == 0) {
            error = "not a port: " + parts[1];
            return std::nullopt;
        }
        t.port = static_cast<uint16_t>(n);
        if (parts.size() == 3) {
            if (!parseNumber(parts[2], 65535, n)) {
                error = "not a port: " + parts[2];
                return std::nullopt;
            }
            t.localPort = static_cast<uint16_t>(n);
        }
        return t;
    }
    if (scheme == "tcp-server") {
        t.kind = ConnectionKind::TcpServer;
        auto parts = split(rest, ':');
        if (parts.empty() || parts.size() > 2) {
            error = "expected tcp-server:[ADDR:]PORT";
            return std::nullopt;
        }
        if (parts.size() == 2) {
            if (!isIpv4Text(parts[0])) {
                error = "not a dotted IPv4 address: " + parts[0];
                return std::nullopt;
            }
            t.host = parts[0];
        }
        if (!parseNumber(parts.back(), 65535, n)) {
            error = "not a port: " + parts.back();
            return std::nullopt;
        }
        t.port = static_cast<uint16_t>(n);
        return t;
    }
    if (scheme == "serial") {
        t.kind = ConnectionKind::Serial;
        t.path = rest;
        std::size_t last = rest.rfind(':');
        if (last != std::string::npos && parseNumber(rest.substr(last + 1), 0xFFFFFFFFu, n)) {
            t.path = rest.substr(0, last);
            t.baudRate = n;
        }
        if (t.path.empty()) {
            error = "expected serial:PATH[:BAUD]";
            return std::nullopt;
        }
        return t;
    }
    error = "unknown transport '" + scheme + "' (tcp-client, udp, tcp-server, serial)";
    return std::nullopt;
}

CommandLine parseCommandLine(const std::vector<std::string> &args)
{
    CommandLine c;
    auto fail = [&c](std::string why) {
        c.ok = false;
        c.error = std::move(why);
        return c;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        auto value = [&](std::string &out) {
            if (i + 1 >= args.size())
                return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            c.help = true;
        } else if (a == "--version") {
            c.version = true;
        } else if (a == "--connect") {
            if (!value(v))
                return fail("--connect needs a value");
            std::string why;
            c.connect = parseConnectTarget(v, why);
            if (!c.connect)
                return fail("--connect " + v + ": " + why);
        } else if (a == "--address") {
            if (!value(v))
                return fail("--address needs a value");
            if (!readModbusAddress(v).ok)
                return fail("--address " + v + ": not a Modbus address (1 to 247)");
            c.address = v;
        } else if (a == "--library") {
            if (!value(c.library))
                return fail("--library needs a path");
        } else if (a == "--lang") {
            if (!value(v))
                return fail("--lang needs zh or en");
            if (v != "zh" && v != "en")
                return fail("--lang " + v + ": the languages are zh and en");
            c.language = v;
        } else if (a == "--screenshot") {
            if (!value(c.screenshot))
                return fail("--screenshot needs a file name");
        } else if (a == "--quit-after") {
            uint32_t ms = 0;
            if (!value(v) || !parseNumber(v, 3600000, ms))
                return fail("--quit-after needs milliseconds");
            c.quitAfterMs = static_cast<int>(ms);
        } else {
            return fail("unknown option: " + a);
        }
    }
    return c;
}

std::string commandLineHelp()
{
    return "Usage: qxtools [options]\n"
           "\n"
           "  --connect tcp-client:HOST:PORT        connect to a module as TCP client\n"
           "  --connect udp:HOST:PORT[:LOCALPORT]   talk to a module over UDP\n"
           "  --connect tcp-server:[ADDR:]PORT      listen for a module (TCP server)\n"
           "  --connect serial:PATH[:BAUD]          open a serial line (Modbus RTU)\n"
           "  --address N                           the module's Modbus address (default 1)\n"
           "  --library PATH                        use this libqxlib.so\n"
           "  --lang zh|en                          the window's language (default: English\n"
           "                                        when the system's language is English,\n"
           "                                        Chinese otherwise)\n"
           "  --screenshot FILE                     save a picture of the window once the\n"
           "                                        module's identity is shown, then quit\n"
           "  --quit-after MS                       quit after MS milliseconds (with\n"
           "                                        --screenshot: take the picture then)\n"
           "  --help                                show this text\n"
           "  --version                             show the version\n"
           "\n"
           "HOST and ADDR are dotted IPv4 addresses; a loopback module address\n"
           "selects the loopback adapter as the local address.\n";
}

std::string chosenLanguage(const std::string &option, const std::string &systemLanguage)
{
    if (!option.empty())
        return option;
    return systemLanguage.rfind("en", 0) == 0 ? "en" : "zh";
}

} // namespace qx
