// qx_wine_run: runs one Windows program of the build under Wine, in the
// build's own Wine prefix, without a display, and with --qxsim beside the
// Linux qxsim it talks to.
//
//   qx_wine_run --prefix DIR [--qxsim] PROGRAM.exe [ARGS...]
//
// With --qxsim one qxsim serves Modbus TCP and UDP on free loopback ports and
// RTU on a new pseudo-terminal, which becomes a COM port of the prefix
// (dosdevices/comN, N from 40), and calls a free loopback port as a module
// calls a TCP server. The program finds them in its environment
// (QXSIM_TCP_PORT, QXSIM_UDP_PORT, QXSIM_COM, QXSIM_SERVER_PORT); @NAME@ in
// an argument is replaced by the value of NAME. The exit status is the
// program's.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "descriptors.h"
#include "qxsim_process.h"
#include "wine_session.h"

namespace {

int usage()
{
    std::fprintf(stderr, "usage: qx_wine_run --prefix DIR [--qxsim] PROGRAM.exe [ARGS...]\n");
    return 2;
}

std::string substitute(std::string arg, const std::map<std::string, std::string> &values)
{
    for (const auto &[name, value] : values) {
        const std::string mark = "@" + name + "@";
        for (std::size_t at = arg.find(mark); at != std::string::npos; at = arg.find(mark))
            arg.replace(at, mark.size(), value);
    }
    return arg;
}

int runUnderWine(const std::vector<std::string> &args)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char *> argv;
        std::string wine = "wine";
        argv.push_back(wine.data());
        std::vector<std::string> copy = args;
        for (std::string &a : copy)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execvp("wine", argv.data());
        std::perror("wine");
        ::_exit(127);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
        return 1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

} // namespace

int main(int argc, char **argv)
{
    std::string prefix;
    bool withQxsim = false;
    int at = 1;
    for (; at < argc && argv[at][0] == '-'; ++at) {
        if (std::strcmp(argv[at], "--prefix") == 0 && at + 1 < argc)
            prefix = argv[++at];
        else if (std::strcmp(argv[at], "--qxsim") == 0)
            withQxsim = true;
        else
            return usage();
    }
    if (prefix.empty() || at >= argc)
        return usage();
    prefix = qxtest::useWinePrefix(prefix);

    std::unique_ptr<qxtest::QxsimProcess> sim;
    std::unique_ptr<qxtest::ComMapping> com;
    std::map<std::string, std::string> values;
    if (withQxsim) {
        const uint16_t serverPort = qxtest::freePort(SOCK_STREAM);
        sim = std::make_unique<qxtest::QxsimProcess>(
            std::vector<std::string> {"--tcp", "0", "--udp", "0", "--pty", "--connect",
                                      "127.0.0.1:" + std::to_string(serverPort)},
            3);
        const int tcp = sim->port("listening tcp");
        const int udp = sim->port("listening udp");
        com = std::make_unique<qxtest::ComMapping>(prefix, sim->ptyPath());
        if (tcp < 0 || udp < 0 || com->name().empty()) {
            std::fprintf(stderr, "qx_wine_run: qxsim or its COM port did not come up\n");
            return 1;
        }
        values = {{"QXSIM_TCP_PORT", std::to_string(tcp)},
                  {"QXSIM_UDP_PORT", std::to_string(udp)},
                  {"QXSIM_COM", com->name()},
                  {"QXSIM_SERVER_PORT", std::to_string(serverPort)}};
        for (const auto &[name, value] : values)
            ::setenv(name.c_str(), value.c_str(), 1);
    }
    std::vector<std::string> args;
    for (int i = at; i < argc; ++i)
        args.push_back(substitute(argv[i], values));
    return runUnderWine(args);
}
