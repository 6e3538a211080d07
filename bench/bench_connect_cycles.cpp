// bench_connect_cycles: whether opening and closing a port leaves anything
// behind. For each transport it runs the given number of cycles of
// DLL_API_OBJ_CREATE, a counted read of ten holding registers, RUN, the
// module's answer and DESTROY: TCP client and UDP against qxsim, serial
// against qxsim's pseudo-terminal, and TCP server with the benchmark as the
// module that connects and answers (the library pauses 1000 ms after
// accepting a module, so these cycles take a second each). It prints this
// process's open descriptors, threads and resident memory after a first
// cycle and after the last, and the mean time of a cycle.
//
//   bench_connect_cycles [cycles per transport, default 1000]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

#include "bench_support.h"
#include "byte_io.h"
#include "connection_event.h"
#include "event_codes.h"
#include "mbap_layout.h"
#include "process_figures.h"
#include "qxlib.h"
#include "qxlib_harness.h"
#include "qxsim_process.h"
#include "request_record.h"

namespace {

using namespace std::chrono_literals;

std::atomic<long> g_answers {0};
std::atomic<long> g_connected {0}; // the link is up: running, or a module came

void onEvent(void *, int32_t code, const void *data)
{
    if (code == qx::kEventHoldingRegisters)
        ++g_answers;
    if (code == qx::kEventConnection) {
        const int32_t state = qx::getI32le(static_cast<const uint8_t *>(data), qx::ConnectionLayout::kState);
        if (state == qx::kStateRunning || state == qx::kStatePeerConnected)
            ++g_connected;
    }
}

bool waitChange(const std::atomic<long> &counter, long before, std::chrono::milliseconds limit)
{
    const auto end = bench::Clock::now() + limit;
    while (counter.load() == before) {
        if (bench::Clock::now() > end)
            return false;
        std::this_thread::sleep_for(100us);
    }
    return true;
}

// The benchmark as the module of a TCP server port: it connects once the
// port runs and answers the read with ten zero registers.
class ConnectingModule
{
public:
    explicit ConnectingModule(uint16_t port)
        : m_port(port)
    {
    }
    ~ConnectingModule() { close(); }

    void connect()
    {
        for (int tries = 0; m_fd < 0 && tries < 100; ++tries) {
            m_fd = qxtest::connectTcp(m_port);
            if (m_fd < 0)
                std::this_thread::sleep_for(1ms);
        }
    }
    void answer()
    {
        const qxtest::Bytes request = qxtest::readMbap(m_fd);
        if (request.size() <= qx::MbapLayout::kSize)
            return;
        qxtest::Bytes pdu = {0x03, 20};
        pdu.resize(2 + 20, 0);
        qxtest::writeAll(m_fd, qxtest::mbap(qx::getU16be(request.data(), qx::MbapLayout::kTransaction),
                                            request[qx::MbapLayout::kUnit], pdu));
    }
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    uint16_t m_port;
    int m_fd = -1;
};

// One cycle; false when the answer did not come. The read is placed once
// the link is up: a TCP server has no module to send it to before.
bool cycle(const PortSettings &settings, ConnectingModule *module)
{
    const long answers = g_answers.load();
    const long connected = g_connected.load();
    intptr_t handle = 0;
    if (DLL_API_OBJ_CREATE(settings, &onEvent, &handle) != 0)
        return false;
    bool ok = DLL_API_OBJ_RUN(handle) == 0;
    if (ok && module)
        module->connect();
    ok = ok && waitChange(g_connected, connected, 5s);
    if (ok) {
        const qx::RequestRecord r = qxtest::readRequest(qx::kModeCounted, 1, 0, 10);
        DLL_API_OBJ_CMD(handle, qx::kSlotReadHoldingRegisters, r.data(), qx::RequestLength::kRead);
        if (module)
            module->answer();
        ok = waitChange(g_answers, answers, 5s);
    }
    DLL_API_OBJ_DESTROY(handle);
    if (module)
        module->close();
    return ok;
}

// The socket transports print a diagnostic line on standard output each
// time a server listens: a thousand of them would bury the figures.
class QuietStdout
{
public:
    QuietStdout()
    {
        std::fflush(stdout);
        m_saved = ::dup(STDOUT_FILENO);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        ::dup2(null, STDOUT_FILENO);
        ::close(null);
    }
    ~QuietStdout()
    {
        std::fflush(stdout);
        ::dup2(m_saved, STDOUT_FILENO);
        ::close(m_saved);
    }

private:
    int m_saved = -1;
};

void run(const char *name, const PortSettings &settings, int cycles, ConnectingModule *module = nullptr)
{
    std::printf("%s, %d cycles:\n", name, cycles);
    bool first = false;
    bench::ProcessFigures before;
    bench::ProcessFigures after;
    int failed = 0;
    double elapsed = 0;
    {
        const QuietStdout quiet;
        first = cycle(settings, module);
        before = bench::processFigures();
        const auto start = bench::Clock::now();
        for (int i = 0; first && i < cycles; ++i)
            failed += !cycle(settings, module);
        elapsed = bench::ms(bench::Clock::now() - start);
        after = bench::processFigures();
    }
    if (!first) {
        std::printf("  the first cycle got no answer\n");
        return;
    }
    bench::printFigures("after the first cycle:", before);
    bench::printFigures("after the cycles:", after);
    std::printf("  %.2f ms per cycle, %d without an answer\n", elapsed / cycles, failed);
}

} // namespace

int main(int argc, char **argv)
{
    const int cycles = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    qxtest::QxsimProcess network({"--tcp", "127.0.0.1:0", "--udp", "127.0.0.1:0", "--quiet"}, 2);
    const int tcpPort = network.port("listening tcp");
    const int udpPort = network.port("listening udp");
    if (tcpPort <= 0 || udpPort <= 0) {
        std::fprintf(stderr, "qxsim did not start\n");
        return 1;
    }
    run("TCP client to qxsim", qxtest::tcpClientSettings(static_cast<uint16_t>(tcpPort)), cycles);
    run("UDP to qxsim", qxtest::udpSettings(static_cast<uint16_t>(udpPort), qxtest::freePort(SOCK_DGRAM)), cycles);

    // the library waits 1000 ms after accepting a module before it sends
    const uint16_t listenPort = qxtest::freePort(SOCK_STREAM);
    ConnectingModule module(listenPort);
    run("TCP server, the module connecting", qxtest::tcpServerSettings(listenPort), cycles, &module);

    qxtest::QxsimProcess serial({"--pty", "--quiet"});
    if (serial.ptyPath().empty()) {
        std::fprintf(stderr, "qxsim made no pseudo-terminal\n");
        return 1;
    }
    run("serial (RTU) on qxsim's pseudo-terminal", qxtest::serialSettings(serial.ptyPath(), 115200), cycles);
    return 0;
}
