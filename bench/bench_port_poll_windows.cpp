// bench_port_poll.exe: the polling rig (port_poll_rig.h) with qxlib.dll,
// under Wine against qxsim over loopback TCP; bench_port_poll --windows runs
// it beside the Linux library's figures.
//
//   bench_port_poll.exe SECONDS QXSIM-TCP-PORT
#include <cstdio>
#include <cstdlib>

#include "port_poll_rig.h"
#include "qxlib_harness.h"

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_port_poll.exe SECONDS QXSIM-TCP-PORT\n");
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const PortSettings settings =
        qxtest::tcpClientSettings(static_cast<uint16_t>(std::atoi(argv[2])));
    return bench::measurePolling("qxsim TCP, qxlib.dll under Wine", settings, std::atoi(argv[1]),
                                 0) < 0;
}
