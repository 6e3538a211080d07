// qxcli: the device commands (a connection first) and the subcommands that
// need no module, by name; each returns the process exit code.
#include <cstring>
#include <string>
#include <vector>

#include "cli_arguments.h"
#include "cli_output.h"
#include "cli_platform.h"
#include "device_commands.h"
#include "plc_command.h"
#include "qx_version.h"

namespace {

struct Subcommand {
    const char *name;
    const char *summary;
    int (*run)(const std::vector<std::string> &args);
};

const Subcommand kSubcommands[] = {
    {"plc", "check, preview and build PLC programs (qxcli plc --help)", qx::cli::runPlcCommand},
};

// Device commands named without a connection still go to the device
// commands, which say that one is needed.
const char *const kDeviceCommands[] = {"identity", "read", "write", "pwm", "clear", "scan", "config", "firmware"};

bool isDeviceCommand(const std::vector<std::string> &args)
{
    if (qx::cli::isDeviceCommandLine(args))
        return true;
    for (const char *name : kDeviceCommands)
        if (args[0] == name)
            return true;
    return args[0] == "plc" && args.size() > 1 && (args[1] == "download" || args[1] == "clear-flash");
}

void printUsage()
{
    std::string text = qx::cli::deviceUsage();
    text += "   or: qxcli COMMAND [ARGS...]\n\ncommands without a module:\n";
    for (const Subcommand &s : kSubcommands)
        text += std::string("  ") + s.name + "    " + s.summary + "\n";
    text += "qxcli --help for the device commands, qxcli --version for the version\n";
    qx::cli::printErr(text);
}

} // namespace

int main(int argc, char **argv)
{
    const std::vector<std::string> args = qx::cli::platform::startProgram(argc, argv);
    if (args.empty()) {
        printUsage();
        return qx::cli::kExitError;
    }
    if (args[0] == "--help" || args[0] == "-h")
        return qx::cli::runDeviceCommand(args);
    if (args[0] == "--version") {
        qx::cli::printOut(qx::versionText("qxcli"));
        return qx::cli::kExitOk;
    }
    // `plc` is both: the device's download and the offline checks
    if (args[0] == "plc" && args.size() == 2 && (args[1] == "--help" || args[1] == "-h")) {
        qx::cli::runDeviceCommand(args);
        return qx::cli::runPlcCommand({args[1]});
    }
    if (isDeviceCommand(args))
        return qx::cli::runDeviceCommand(args);
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    for (const Subcommand &s : kSubcommands) {
        if (args[0] == s.name)
            return s.run(rest);
    }
    qx::cli::printErr("qxcli: unknown command '" + args[0] + "'\n");
    printUsage();
    return qx::cli::kExitError;
}
