// bench_port_poll: how close the library comes to its pacing ceiling. It polls
// holding registers (slot 8, mode 2) against a loopback libmodbus module, over
// TCP and over a pseudo-terminal in RTU framing, and prints transactions per
// second, the share of the ceiling 1000 / (8 + round trip ms), the worker's
// CPU time per second while polling and while connected but idle, and the
// resident memory before and after the polling.
//
//   bench_port_poll [seconds per phase, default 10] [soak seconds, default 0]
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>
#include <thread>

#include <sys/syscall.h>
#include <unistd.h>

#include "byte_io.h"
#include "connection_event.h"
#include "event_codes.h"
#include "modbus_peer.h"
#include "process_figures.h"
#include "pseudo_terminal.h"
#include "qxlib.h"
#include "qxlib_harness.h"
#include "request_record.h"
#include "statistics_record.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

std::atomic<long> g_workerTid {0};
std::atomic<long> g_responses {0};
std::atomic<int> g_state {-100};
std::mutex g_timingLock;
Clock::time_point g_lastSend;
double g_roundTripSum = 0;
long g_roundTrips = 0;

void onEvent(void *, int32_t code, const void *data)
{
    g_workerTid.store(::syscall(SYS_gettid));
    const auto *bytes = static_cast<const uint8_t *>(data);
    if (code == qx::kEventConnection) {
        g_state = qx::getI32le(bytes, qx::ConnectionLayout::kState);
    } else if (code == qx::kEventHoldingRegisters) {
        std::lock_guard<std::mutex> lock(g_timingLock);
        g_roundTripSum += std::chrono::duration<double, std::milli>(Clock::now() - g_lastSend).count();
        ++g_roundTrips;
        ++g_responses;
    } else if (code == qx::kEventLog) {
        // a send log line: the request has just been written
        const uint32_t tx = qx::getU32le(bytes, qx::StatisticsLayout::kTxCmd);
        static uint32_t lastTx = 0;
        if (tx != lastTx) {
            lastTx = tx;
            std::lock_guard<std::mutex> lock(g_timingLock);
            g_lastSend = Clock::now();
        }
    }
}

double threadCpuSeconds(long tid)
{
    // the per-thread CPU clock of another thread of this process
    const clockid_t clock = static_cast<clockid_t>((~static_cast<unsigned long>(tid) << 3) | 6);
    timespec ts {};
    if (::clock_gettime(clock, &ts) != 0)
        return 0;
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

bool waitState(int state, std::chrono::milliseconds limit)
{
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        if (g_state.load() == state)
            return true;
        std::this_thread::sleep_for(1ms);
    }
    return false;
}

void measure(const char *name, const PortSettings &settings, int seconds, int soakSeconds)
{
    g_state = -100;
    intptr_t handle = 0;
    DLL_API_OBJ_CREATE(settings, &onEvent, &handle);
    if (DLL_API_OBJ_RUN(handle) != 0 || !waitState(qx::kStateRunning, 10s)) {
        std::printf("%s: could not connect\n", name);
        return;
    }
    std::this_thread::sleep_for(200ms);
    const long tid = g_workerTid.load();

    // connected, nothing to send
    const double idleCpu0 = threadCpuSeconds(tid);
    const auto idle0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(std::min(seconds, 5)));
    const double idleShare = (threadCpuSeconds(tid) - idleCpu0)
        / std::chrono::duration<double>(Clock::now() - idle0).count();

    qx::RequestRecord r;
    r.setMode(qx::kModeRepeat);
    r.setAddress(1);
    r.setStart(0);
    r.setQuantity(10);
    const long rss0 = bench::residentKiB();
    {
        std::lock_guard<std::mutex> lock(g_timingLock);
        g_roundTripSum = 0;
        g_roundTrips = 0;
    }
    const long responses0 = g_responses.load();
    const double pollCpu0 = threadCpuSeconds(tid);
    const auto poll0 = Clock::now();
    DLL_API_OBJ_CMD(handle, qx::kSlotReadHoldingRegisters, r.data(), qx::RequestLength::kRead);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double elapsed = std::chrono::duration<double>(Clock::now() - poll0).count();
    const long done = g_responses.load() - responses0;
    const double pollShare = (threadCpuSeconds(tid) - pollCpu0) / elapsed;
    double roundTrip = 0;
    {
        std::lock_guard<std::mutex> lock(g_timingLock);
        roundTrip = g_roundTrips > 0 ? g_roundTripSum / static_cast<double>(g_roundTrips) : 0;
    }
    const long rssPolled = bench::residentKiB();
    long soakDone = 0;
    if (soakSeconds > 0) {
        const long before = g_responses.load();
        std::this_thread::sleep_for(std::chrono::seconds(soakSeconds));
        soakDone = g_responses.load() - before;
    }
    const long rss1 = bench::residentKiB();
    const double rate = static_cast<double>(done) / elapsed;
    const double ceiling = 1000.0 / (8.0 + roundTrip);
    std::printf("%s: %ld transactions in %.1f s = %.1f /s; round trip %.3f ms; ceiling %.1f /s; "
                "share %.1f %%\n",
                name, done, elapsed, rate, roundTrip, ceiling, 100.0 * rate / ceiling);
    std::printf("%s: worker CPU %.2f %% of a core while polling, %.3f %% while idle\n", name,
                100.0 * pollShare, 100.0 * idleShare);
    std::printf("%s: resident %ld KiB before, %ld KiB after %ld transactions, %ld KiB after %ld "
                "more\n",
                name, rss0, rssPolled, done, rss1, soakDone);
    DLL_API_OBJ_DESTROY(handle);
}

} // namespace

int main(int argc, char **argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    const int soak = argc > 2 ? std::atoi(argv[2]) : 0;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    {
        qxtest::ModbusPeer module;
        measure("TCP", qxtest::tcpClientSettings(module.port()), seconds, soak);
    }
    {
        qxtest::PtyPair line;
        if (line.master < 0)
            return 1;
        qxtest::ModbusPeer module(line.master, 1);
        measure("RTU", qxtest::serialSettings(line.slavePath, 115200), seconds, soak);
    }
    return 0;
}
