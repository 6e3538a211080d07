// The device commands: arguments checked before anything is opened, then one
// port object through the bound exports and the command that the families
// (commands_io.cpp, commands_config.cpp, commands_transfer.cpp,
// commands_scan.cpp) list.
#include "device_commands.h"

#include <algorithm>

#include "cli_platform.h"
#include "commands.h"
#include "library_binder.h"
#include "text_format.h"

namespace qx::cli {

namespace {

constexpr const char *kUsage =
    "usage: qxcli CONNECTION [--address N] [--json] [--timeout MS] COMMAND ...\n"
    "CONNECTION: --tcp HOST:PORT | --udp HOST:PORT[:LOCALPORT] | --listen [ADDR:]PORT\n"
    "          | --serial PATH [--baud N --data 7|8 --parity none|odd|even|mark --stop 1|2]\n";

constexpr const char *kHelp =
    "Drives a QX module through QXLIB, as QXTools does.\n"
    "\n"
    "Connection (one of them):\n"
    "  --tcp HOST:PORT          the module is a TCP server (QXTools' \"TCP客户端\")\n"
    "  --udp HOST:PORT[:LOCALPORT]  Modbus TCP framing over UDP; LOCALPORT is this\n"
    "                           side's port (any free one when left out)\n"
    "  --listen [ADDR:]PORT     wait for the module to connect (\"TCP服务器\");\n"
    "                           ADDR defaults to every local address\n"
    "  --serial PATH            Modbus RTU on a serial device (at most 15 characters;\n"
    "                           on Windows COM3 or \\\\.\\COM12),\n"
    "                           --baud N (115200), --data 7|8 (8),\n"
    "                           --parity none|odd|even|mark (none), --stop 1|2 (1)\n"
    "Common options:\n"
    "  --address N              the module's Modbus address, 1..247 (1)\n"
    "  --timeout MS             how long to wait for the link and for each answer\n"
    "                           (3000; config: 5000; scan: per address, 1000)\n"
    "  --json                   one JSON object per result on standard output\n"
    "  --library PATH           the QXLIB file (next to qxcli, then the build tree,\n"
    "                           then the system's search)\n"
    "\n"
    "Commands (qxcli COMMAND --help for one of them):\n"
    "  identity                 the connection page's information fields\n"
    "  read di|do|ai|ao|counters [--sub S] [--every MS --count N]\n"
    "  write do N on|off | write do all on|off | write ao N VALUE [--sub S]\n"
    "  pwm N --unit us|ms|s --high H --low L [--run on|off] [--sub S]\n"
    "  clear counters [--sub S]\n"
    "  plc download FILE --ram|--flash|--flash-restart [--scaling FILE.txt]\n"
    "      [--password PW] [--block-size N]\n"
    "  plc clear-flash [--block-size N]\n"
    "  config read [-o FILE.ini] | config write FILE.ini [--yes]\n"
    "  firmware upgrade IMAGE.bin [--yes]\n"
    "  scan [--from 1 --to 240] [--timeout MS]\n"
    "Without a connection: qxcli plc check|preview|build|image (qxcli plc --help).\n"
    "\n"
    "Exit status: 0 done, 1 the module refused or did not answer (or Ctrl-C),\n"
    "2 bad arguments or files. Long work shows its progress on standard error.\n";

constexpr const char *kNoLinkFormat = "qxcli: no link to the module within %d ms\n";

const Command *findCommand(const std::string &name)
{
    const std::span<const Command> families[] = {ioCommands(), configCommands(), transferCommands(),
                                                 scanCommands()};
    for (const std::span<const Command> family : families)
        for (const Command &c : family)
            if (name == c.name)
                return &c;
    return nullptr;
}

int usageError(const std::string &why)
{
    printErr("qxcli: " + why + "\n" + kUsage + "Try 'qxcli --help'.\n");
    return kExitError;
}

} // namespace

const char *deviceUsage()
{
    return kUsage;
}

int runDeviceCommand(const std::vector<std::string> &args)
{
    const ParseResult parsed = parseInvocation(args);
    if (!parsed.ok)
        return usageError(parsed.message);
    const Invocation &inv = parsed.invocation;
    const Command *command = inv.words.empty() ? nullptr : findCommand(inv.words[0]);
    if (inv.help) {
        printOut(command ? std::string(command->help) : std::string(kUsage) + "\n" + kHelp);
        return kExitOk;
    }
    if (inv.words.empty())
        return usageError("missing COMMAND");
    if (!command)
        return usageError("unknown command '" + inv.words[0] + "'");
    for (const auto &[name, value] : inv.options) {
        bool allowed = false;
        for (const char *o : command->options)
            allowed = allowed || name == o;
        if (!allowed)
            return usageError(std::string(command->name) + " does not take " + name);
    }
    Run run;
    if (const std::string why = command->prepare(inv, run); !why.empty())
        return why == "-" ? kExitError : usageError(why);
    const SettingsResult settings = connectionSettings(inv);
    if (!settings.ok)
        return usageError(settings.message);
    const BindResult bound = bindFirstLibrary(libraryCandidates(inv.library, platform::executableDir()));
    if (!bound.ok) {
        printErr(bound.message + "\n");
        return kExitError;
    }

    keepStdoutForResults();
    platform::catchInterrupt(cancelRequested());

    DeviceLink link;
    // scan's --timeout is its wait per address, not the link's
    const bool scan = std::string(command->name) == "scan";
    const int linkTimeout = scan ? std::max(inv.timeoutMs, kDefaultTimeoutMs) : inv.timeoutMs;
    const DeviceLink::OpenResult opened = link.open(bound.functions, settings.settings, linkTimeout);
    if (!opened.ok) {
        if (!opened.message.empty())
            return failure(inv, opened.message + "\n");
        if (opened.wait == WaitResult::NoAnswer)
            return failure(inv, formatText(kNoLinkFormat, linkTimeout));
        return waitFailure(inv, opened.wait, inv.address, linkTimeout);
    }
    Context context {inv, link};
    const int rc = run(context);
    link.close();
    return rc;
}

} // namespace qx::cli
