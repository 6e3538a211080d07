// What the device commands share: a command's entry in the table, the
// context it runs in, and the helpers that print its result or its failure
// and ask the module once. Each family of commands (commands_io.cpp,
// commands_config.cpp, commands_transfer.cpp, commands_scan.cpp) lists its
// entries; device_commands.cpp looks a command up in all of them.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cli_arguments.h"
#include "cli_output.h"
#include "device_link.h"
#include "io_requests.h"

namespace qx::cli {

// The commands' own texts, where the system has none.
inline constexpr const char *kNoAnswerFormat = "qxcli: no answer from module %u within %d ms\n";
inline constexpr const char *kRefusedFormat =
    "qxcli: module %u refused the request (exception %u)\n";
inline constexpr const char *kLinkLost = "qxcli: the module closed the connection\n";
inline constexpr const char *kCancelled = "qxcli: cancelled\n";

struct Context {
    const Invocation &inv;
    DeviceLink &link;
};

// A command: its words, its options, its help, and a preparation that
// checks everything it can before the module is reached. The preparation
// returns an error text (exit 2), "-" when it printed its own, or fills
// `run`.
using Run = std::function<int(Context &)>;
struct Command {
    const char *name;
    const char *help;
    std::vector<const char *> options;
    std::function<std::string(const Invocation &, Run &)> prepare;
};

// The families' entries.
std::span<const Command> ioCommands();
std::span<const Command> configCommands();
std::span<const Command> transferCommands();
std::span<const Command> scanCommands();

// --- results and failures

// The result as text, or with --json as its object, on standard output.
void result(const Invocation &inv, const std::string &text, const JsonObject &json);
// The message on standard error (and with --json an object that says it);
// kExitNoAnswer.
int failure(const Invocation &inv, const std::string &message);
// The failure for a wait that did not end with an answer.
int waitFailure(const Invocation &inv, WaitResult w, uint8_t address, int timeoutMs);
// The failure for the module's exception answer (kEventOther).
int refusal(const Invocation &inv, uint8_t address, const LinkEvent &answer);

// --- asking the module

// One exchange; on success `answer` holds the module's answer.
int ask(Context &c, const SlotRequest &request, std::initializer_list<int32_t> codes,
        LinkEvent &answer);

// --- options

std::optional<std::string> option(const Invocation &inv, const char *name);

// The page's question before a write: --yes answers it, else the terminal
// does; without a terminal nothing is written. An error text, or "".
std::string confirmOrRefuse(const Invocation &inv, const char *question, const char *what);

} // namespace qx::cli
