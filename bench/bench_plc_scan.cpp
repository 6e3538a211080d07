// bench_plc_scan: the cost of the simulated module's PLC. First the time of
// one scan (I/O brought up to date, then the scan) of a program of 100
// running blocks, each with ten conditions that all hold and eight actions
// that all run, over many scans: median, 99th percentile and worst. Then
// qxsim itself running that program from its FLASH at 10 ms scans, and
// without a program, for comparison: CPU time per wall time and scans per
// second.
//
//   bench_plc_scan [scans, default 20000] [qxsim seconds, default 5]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "byte_io.h"
#include "descriptors.h"
#include "io_map.h"
#include "mbap_layout.h"
#include "plc_project.h"
#include "plc_runtime.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace C = qx::plc_code;

qx::PlcRow row(int code, uint8_t unit, uint8_t op, uint32_t a = 0, uint32_t b = 0)
{
    return {static_cast<uint8_t>(code), unit, op, a, b};
}

// From the second scan on every row holds and every action runs: the worst
// case.
qx::PlcProject heavyProgram()
{
    using qx::PlcRowKind;
    qx::PlcProject p;
    for (int b = 0; b < 100; ++b) {
        const int k = b % 24; // point
        const int ch = b % 8; // analog channel
        p.setState(b, qx::kBlockRuns);
        const qx::PlcRow conditions[10] = {
            row(C::kSourceInputFirst + k, C::kUnitDio, C::kCondEqual, 0),
            row(C::kCounterFirst + k, C::kUnitCnt, C::kCondGreaterEqual, 0),
            row(C::kAnalogFirst + ch, C::kUnitRaw, C::kCondClosed, 0, 0xFFFFFFFF),
            row(C::kSourceOutputFirst + 31, C::kUnitDio, C::kCondEqual, 0),
            row(C::kCounterFirst + k, C::kUnitCnt, C::kCondNotEqual, 123456789),
            row(C::kCounterFirst + k, C::kUnitVar, C::kCondGreaterEqual, 1 + b),
            row(C::kAnalogFirst + ch, C::kUnitRaw, C::kCondLess, 0xFFFFFFFF),
            // a self-triggered timer that elapses in every scan, or y32
            // staying off from one scan to the next
            b < 32 ? row(C::kSelfTimerFirst + b, C::kUnitMs, C::kCondEqual, 1)
                   : row(C::kSourceOutputFirst + 31, C::kUnitDio, C::kCondFromTo, 0, 0),
            row(C::kSourceInputFirst + k, C::kUnitDio, C::kCondLeftClosed, 0, 1),
            row(C::kAnalogFirst + ch, C::kUnitRaw, C::kCondGreaterEqual, 0),
        };
        const qx::PlcRow actions[8] = {
            row(C::kObjectOutputFirst + 24 + b % 7, C::kUnitDio, C::kActAssign, 1),
            row(C::kCounterFirst + k, C::kUnitCnt, C::kActAdd, 1),
            row(C::kAnalogFirst + ch, C::kUnitRaw, C::kActAdd, 3),
            row(C::kExtTimerFirst + b % 96, C::kUnitMs, C::kActAssign, 100),
            row(C::kAnalogFirst + ch, C::kUnitRaw, C::kActSubtract, 3),
            row(C::kCounterFirst + k, C::kUnitCnt, C::kActSubtract, 1),
            row(C::kObjectGroupFirst + 2, 0, b % 10 == 0 ? C::kActStore : C::kActReport),
            row(C::kObjectGroupFirst + 6, 0, C::kActReport),
        };
        for (int r = 0; r < 10; ++r)
            p.setRow(b, PlcRowKind::Condition, r, conditions[r]);
        for (int r = 0; r < 8; ++r)
            p.setRow(b, PlcRowKind::Action, r, actions[r]);
    }
    return p;
}

double percentile(std::vector<double> sorted, double q)
{
    std::sort(sorted.begin(), sorted.end());
    return sorted[std::min(sorted.size() - 1, static_cast<std::size_t>(q * double(sorted.size())))];
}

void benchScans(const qx::PlcProject &program, int scans)
{
    using namespace qx::sim;
    const PlcDecodeResult decoded = decodePlcImage(program.bytes().data(), program.bytes().size());
    if (!decoded.ok) {
        std::printf("program does not decode: %s\n", decoded.message.c_str());
        std::exit(1);
    }
    IoState io;
    io.advance(0);
    io.writeCoil(IoMap::kTestModeCoil, true);
    PlcRuntime runtime;
    runtime.start(decoded.program);
    std::vector<double> us;
    us.reserve(static_cast<std::size_t>(scans));
    std::size_t held = 0;
    uint64_t now = 0;
    for (int i = 0; i < scans; ++i) {
        const auto t0 = Clock::now();
        io.advance(now);
        runtime.scan(now, io);
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
        held += runtime.heldBlocks().size();
        runtime.takeReportFlags();
        now += 10'000;
    }
    std::printf("scan of 100 blocks (10 conditions, 8 actions each), %d scans:\n", scans);
    std::printf("  p50 %.1f us   p99 %.1f us   max %.1f us   (blocks run per scan: %.1f; goal: < 1000 us)\n",
                percentile(us, 0.50), percentile(us, 0.99), *std::max_element(us.begin(), us.end()),
                double(held) / scans);
}

struct QxsimRun
{
    double cpuPercent = 0;
    // Scans per second by the module's own counter; nullopt when it could
    // not be read.
    std::optional<double> scansPerSecond;
};

// The module's scan counter (input registers 601-602). The program's status
// reports (0x45) arrive unasked between the answers: frames are taken whole
// by their MBAP length and everything but the answer is passed over. qxsim
// holds an answer back while a report is due on its link, and with a report
// due every scan the answer on the host's own link may wait for ever, so
// each question goes over a link of its own, opened just for it, and is
// asked again on a new one when no answer came.
std::optional<uint32_t> readScanCount(uint16_t port, uint16_t transaction)
{
    constexpr auto register0 = static_cast<uint16_t>(qx::sim::IoMap::kPlcScanCountRegister);
    const qxtest::Bytes request =
        qxtest::mbap(transaction, 1, {0x04, uint8_t(register0 >> 8), uint8_t(register0), 0, 2});
    for (int tries = 0; tries < 20; ++tries) {
        const int fd = qxtest::connectTcp(port);
        if (fd < 0)
            return std::nullopt;
        qxtest::writeAll(fd, request);
        std::optional<uint32_t> count;
        const auto deadline = Clock::now() + std::chrono::milliseconds(300);
        while (!count && Clock::now() < deadline) {
            const qxtest::Bytes frame = qxtest::readMbap(fd, std::chrono::milliseconds(300));
            const qxtest::Bytes pdu = qxtest::pduOf(frame);
            if (pdu.empty())
                break;
            if (qx::getU16be(frame.data(), qx::MbapLayout::kTransaction) == transaction && pdu.size() == 6
                && pdu[0] == 0x04 && pdu[1] == 4)
                count = qx::getU32be(pdu.data(), 2);
        }
        ::close(fd);
        if (count)
            return count;
    }
    return std::nullopt;
}

// Reads and drops whatever the module sends for `seconds`, as a host that
// takes its reports does.
void takeReportsFor(int fd, int seconds)
{
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    for (auto now = Clock::now(); now < end; now = Clock::now()) {
        pollfd p {fd, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count();
        if (::poll(&p, 1, static_cast<int>(std::max<long long>(1, left))) > 0
            && qxtest::readMbap(fd, std::chrono::seconds(1)).empty())
            ::usleep(static_cast<useconds_t>(left * 1000)); // closed: wait out the time
    }
}

// qxsim on `stateDir` for `seconds`; its CPU share and scan rate.
QxsimRun runQxsim(const std::string &stateDir, int seconds)
{
    int out[2];
    if (::pipe(out) != 0)
        std::exit(1);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::execl(QXSIM_PATH, QXSIM_PATH, "--tcp", "0", "--state", stateDir.c_str(), "--scan-ms", "10",
                "--quiet", static_cast<char *>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    char line[128] = {};
    const ssize_t n = ::read(out[0], line, sizeof line - 1); // "listening tcp 127.0.0.1:PORT"
    const char *colon = n > 0 ? std::strrchr(line, ':') : nullptr;
    const auto port = static_cast<uint16_t>(colon ? std::atoi(colon + 1) : 0);
    // the host that takes the reports for the whole run
    const int fd = port != 0 ? qxtest::connectTcp(port) : -1;
    QxsimRun r;
    const auto start = Clock::now();
    const std::optional<uint32_t> scans0 = fd >= 0 ? readScanCount(port, 1) : std::nullopt;
    const auto counted0 = Clock::now();
    takeReportsFor(fd, seconds);
    const std::optional<uint32_t> scans1 = fd >= 0 ? readScanCount(port, 2) : std::nullopt;
    const auto counted1 = Clock::now();
    if (fd >= 0)
        ::close(fd);
    ::kill(pid, SIGTERM);
    int status = 0;
    rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    ::close(out[0]);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    r.cpuPercent = 100.0 * cpu / wall;
    // the counter's difference over the time between the two answers; a
    // counter that could not be read gives no figure rather than a wrapped one
    if (scans0 && scans1)
        r.scansPerSecond = double(uint32_t(*scans1 - *scans0)) / std::chrono::duration<double>(counted1 - counted0).count();
    return r;
}

std::string rateText(const std::optional<double> &scansPerSecond)
{
    if (!scansPerSecond)
        return "scans/s not known (the scan counter could not be read)";
    char text[64];
    std::snprintf(text, sizeof text, "%.1f scans/s", *scansPerSecond);
    return text;
}

} // namespace

int main(int argc, char **argv)
{
    const int scans = argc > 1 ? std::max(100, std::atoi(argv[1])) : 20000;
    const int seconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const qx::PlcProject program = heavyProgram();
    benchScans(program, scans);

    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("bench_plc_scan_" + std::to_string(::getpid()));
    fs::create_directories(dir / "empty");
    fs::create_directories(dir / "program");
    std::ofstream(dir / "program" / "plc_flash.bin", std::ios::binary)
        .write(reinterpret_cast<const char *>(program.bytes().data()), std::streamsize(program.bytes().size()));
    const QxsimRun idle = runQxsim((dir / "empty").string(), seconds);
    const QxsimRun busy = runQxsim((dir / "program").string(), seconds);
    fs::remove_all(dir);
    std::printf("qxsim at --scan-ms 10 over %d s (CPU time / wall time of one core):\n", seconds);
    std::printf("  no program:            CPU %.2f %%\n", idle.cpuPercent);
    std::printf("  the 100-block program: CPU %.2f %%, %s (status reports to one host included)\n",
                busy.cpuPercent, rateText(busy.scansPerSecond).c_str());
    return 0;
}
