// Output helpers of qxcli: the system's texts use CR LF for the report box;
// on a terminal they are printed with plain line feeds.
#pragma once

#include <string>
#include <string_view>

namespace qx::cli {

// Exit codes of every subcommand.
inline constexpr int kExitOk = 0;
inline constexpr int kExitCheckFailed = 1;
inline constexpr int kExitError = 2;

void printOut(std::string_view text);
void printErr(std::string_view text);

// "\r\n" -> "\n"
std::string terminalText(std::string_view text);

} // namespace qx::cli
