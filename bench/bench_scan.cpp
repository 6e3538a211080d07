// bench_scan: `qxcli scan` of addresses 1..240 against qxsim with three
// answering modules (--units 3,7,200), over loopback Modbus TCP and over a
// pseudo-terminal in RTU framing. For each --timeout it prints the total
// time, the ideal of one timeout per silent address, their ratio and the
// modules found. Then the trade-off against slow modules: qxsim answering
// --delay-ms late, scanned with timeouts below and above that delay.
//
//   bench_scan [TIMEOUT_MS ...]   (default 200 100 50; 1000 takes 4 minutes
//                                  per transport)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "program_run.h"
#include "qxsim_process.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFrom = 1;
constexpr int kTo = 240;
const char *const kUnits = "3,7,200";
constexpr int kAnswering = 3;

struct ScanRun {
    double seconds = 0;
    int found = 0;
    int late = 0;
    int exit = -1;
};

int countLines(const std::string &text, const std::string &part)
{
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

ScanRun scan(const std::vector<std::string> &link, int from, int to, int timeoutMs)
{
    std::vector<std::string> args = link;
    args.insert(args.end(), {"scan", "--from", std::to_string(from), "--to", std::to_string(to), "--timeout",
                             std::to_string(timeoutMs)});
    const Clock::time_point start = Clock::now();
    const qxtest::ProgramResult r = qxtest::runProgram(QXCLI_PATH, args);
    ScanRun s;
    s.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    s.found = countLines(r.out, "QXP_");
    s.late = countLines(r.err, "answered after the timeout");
    s.exit = r.exit;
    return s;
}

std::vector<std::string> linkTo(const qxtest::QxsimProcess &sim, bool pty)
{
    if (pty)
        return {"--serial", sim.ptyPath()};
    return {"--tcp", "127.0.0.1:" + std::to_string(sim.port("listening tcp"))};
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<int> timeouts;
    for (int i = 1; i < argc; ++i)
        timeouts.push_back(std::atoi(argv[i]));
    if (timeouts.empty())
        timeouts = {200, 100, 50};

    std::printf("scan %d..%d, %d modules answer (qxsim --units %s)\n", kFrom, kTo, kAnswering, kUnits);
    std::printf("%-5s %8s %9s %9s %7s %6s\n", "link", "timeout", "total s", "ideal s", "ratio", "found");
    for (bool pty : {false, true}) {
        qxtest::QxsimProcess sim(pty ? std::vector<std::string> {"--pty", "--units", kUnits}
                                     : std::vector<std::string> {"--tcp", "0", "--units", kUnits});
        for (int t : timeouts) {
            const ScanRun r = scan(linkTo(sim, pty), kFrom, kTo, t);
            const double ideal = (kTo - kFrom + 1 - kAnswering) * t / 1000.0;
            std::printf("%-5s %6d ms %9.2f %9.2f %7.2f %4d/%d\n", pty ? "pty" : "tcp", t, r.seconds, ideal,
                        r.seconds / ideal, r.found, kAnswering);
            std::fflush(stdout);
        }
    }

    // slow modules: an answer later than the timeout is missed
    constexpr int kDelayMs = 150;
    std::printf("\nslow modules (qxsim --delay-ms %d), scan 1..10\n", kDelayMs);
    std::printf("%-5s %8s %9s %6s %5s\n", "link", "timeout", "total s", "found", "late");
    for (bool pty : {false, true}) {
        qxtest::QxsimProcess sim(pty ? std::vector<std::string> {"--pty", "--units", "3,7", "--delay-ms", "150"}
                                     : std::vector<std::string> {"--tcp", "0", "--units", "3,7", "--delay-ms", "150"});
        for (int t : {100, 140, 160, 200, 400}) {
            const ScanRun r = scan(linkTo(sim, pty), 1, 10, t);
            std::printf("%-5s %6d ms %9.2f %4d/2 %5d\n", pty ? "pty" : "tcp", t, r.seconds, r.found, r.late);
            std::fflush(stdout);
        }
    }
    return 0;
}
