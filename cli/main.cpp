// qxcli: subcommands by name; each takes the arguments after its name and
// returns the process exit code.
#include <cstring>
#include <string>
#include <vector>

#include "cli_output.h"
#include "plc_command.h"

namespace {

struct Subcommand {
    const char *name;
    const char *summary;
    int (*run)(const std::vector<std::string> &args);
};

const Subcommand kSubcommands[] = {
    {"plc", "check, preview and build PLC programs (qxcli plc --help)", qx::cli::runPlcCommand},
};

void printUsage()
{
    std::string text = "usage: qxcli COMMAND [ARGS...]\n\ncommands:\n";
    for (const Subcommand &s : kSubcommands)
        text += std::string("  ") + s.name + "    " + s.summary + "\n";
    qx::cli::printErr(text);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        printUsage();
        return argc < 2 ? qx::cli::kExitError : qx::cli::kExitOk;
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    for (const Subcommand &s : kSubcommands) {
        if (std::strcmp(argv[1], s.name) == 0)
            return s.run(args);
    }
    qx::cli::printErr(std::string("qxcli: unknown command '") + argv[1] + "'\n");
    printUsage();
    return qx::cli::kExitError;
}
