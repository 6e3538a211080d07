// QXTools' command line: a transport to open at start, the Modbus address,
// and the options that scripts use to take a picture of the window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "connection_rules.h"

namespace qx {

struct ConnectTarget
{
    ConnectionKind kind = ConnectionKind::TcpClient;
    std::string host; // module address (client, UDP) or listening address (server, may be empty)
    uint16_t port = 0; // module port, or listening port
    std::optional<uint16_t> localPort; // UDP
    std::string path; // serial
    std::optional<uint32_t> baudRate; // serial
};

struct CommandLine
{
    bool ok = true;
    std::string error;
    bool help = false;
    bool version = false;
    std::optional<ConnectTarget> connect;
    std::optional<std::string> address; // checked: 1 to 247
    std::string library;
    std::string language; // "zh", "en", or empty: as the system's language
    std::string screenshot;
    int quitAfterMs = 0;
};

// args without the program name.
CommandLine parseCommandLine(const std::vector<std::string> &args);
std::optional<ConnectTarget> parseConnectTarget(const std::string &text, std::string &error);

std::string commandLineHelp();

// The window's language, "zh" or "en": the one asked for with --lang, else
// English when the system's language (a locale name such as "en_GB") is
// English and Chinese otherwise.
std::string chosenLanguage(const std::string &option, const std::string &systemLanguage);

} // namespace qx
