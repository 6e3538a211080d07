// bench_port_poll: how close the library comes to its pacing ceiling. The
// rig (port_poll_rig.h) polls holding registers against a loopback libmodbus
// module, over TCP and over a pseudo-terminal in RTU framing. With --windows
// it also polls qxsim over loopback TCP, first with libqxlib.so, then with
// qxlib.dll in the Windows build's bench under Wine, against the same qxsim.
//
//   bench_port_poll [seconds per phase, default 10] [soak seconds, default 0]
//                   [--windows WINDOWS-BUILD-DIR]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "modbus_peer.h"
#include "port_poll_rig.h"
#include "program_run.h"
#include "pseudo_terminal.h"
#include "qxlib_harness.h"
#include "qxsim_process.h"

namespace {

// The Windows bench's share of the ceiling from its first figure line.
double shareIn(const std::string &out)
{
    const std::size_t at = out.find("share ");
    return at == std::string::npos ? -1 : std::atof(out.c_str() + at + 6) / 100.0;
}

bool compareWithWindows(const std::string &windowsBuild, int seconds)
{
    qxtest::QxsimProcess sim({"--tcp", "0"});
    const int port = sim.port("listening tcp");
    if (port < 0) {
        std::printf("qxsim did not start\n");
        return false;
    }
    const double soShare = bench::measurePolling("qxsim TCP, libqxlib.so", qxtest::tcpClientSettings(
                                                   static_cast<uint16_t>(port)), seconds, 0);
    const qxtest::ProgramResult windows = qxtest::runProgram(
        QX_WINE_RUN_PATH, {"--prefix", windowsBuild + "/wineprefix",
                           windowsBuild + "/bin/bench_port_poll.exe", std::to_string(seconds),
                           std::to_string(port)});
    std::fputs(windows.out.c_str(), stdout);
    const double dll = shareIn(windows.out);
    if (windows.exit != 0 || dll < 0) {
        std::printf("qxlib.dll under Wine did not run (exit %d): %s\n", windows.exit,
                    windows.err.c_str());
        return false;
    }
    std::printf("share of the pacing ceiling against qxsim over loopback TCP: libqxlib.so "
                "%.1f %%, qxlib.dll under Wine %.1f %%\n",
                100.0 * soShare, 100.0 * dll);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    int numbers[2] = {10, 0};
    int given = 0;
    std::string windowsBuild;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--windows") == 0 && i + 1 < argc)
            windowsBuild = argv[++i];
        else if (given < 2)
            numbers[given++] = std::atoi(argv[i]);
    }
    const int seconds = numbers[0];
    const int soak = numbers[1];
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    {
        qxtest::ModbusPeer module;
        bench::measurePolling("TCP", qxtest::tcpClientSettings(module.port()), seconds, soak);
    }
    {
        qxtest::PtyPair line;
        if (line.master < 0)
            return 1;
        qxtest::ModbusPeer module(line.master, 1);
        bench::measurePolling("RTU", qxtest::serialSettings(line.slavePath, 115200), seconds, soak);
    }
    if (!windowsBuild.empty() && !compareWithWindows(windowsBuild, seconds))
        return 1;
    return 0;
}
