// qxsim: a simulated module of the QX family for demos, tests and benchmarks.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "plc_scan_loop.h"
#include "sim_module.h"
#include "sim_transports.h"

namespace {

const char kHelp[] = R"(Usage: qxsim [OPTIONS]

A simulated QX module that answers Modbus RTU and Modbus TCP requests the way
QXTools expects them: the standard functions on the module's address map, the
identity (0x11), the parameter block (0x41/0x42), firmware parts (0x43/0x44),
PLC program packets (0x46), and, when asked, the unsolicited status report
(0x45).

Transports (several may run at once; with none, --tcp 127.0.0.1:10001):
  --tcp [ADDR:]PORT     Modbus TCP server (ADDR defaults to 127.0.0.1)
  --udp [ADDR:]PORT     Modbus TCP framing over UDP; answers go to the sender
  --connect HOST:PORT   TCP client towards a QXTools TCP server; reconnects
                        every second while the link is down
  --pty                 create a pseudo-terminal speaking Modbus RTU
  --serial PATH         Modbus RTU on an existing serial device (8N1)
  --baud N              baud rate for --serial (default 115200)
Each transport prints one line on standard output when it is ready:
  listening tcp 127.0.0.1:1502
  listening udp 127.0.0.1:1503
  pty /dev/pts/7
  serial /dev/ttyUSB0
  connect 127.0.0.1:502      (each time the connection is established)
PORT 0 picks a free port; the line shows the real one.

Module:
  --unit N              Modbus address, 1..247 (default 1); requests for other
                        addresses get no answer, address 0 on RTU is a
                        broadcast (executed, never answered). A parameter
                        block kept with --state brings its own address
                        (QXAddr1), which wins over --unit.
  --model CODE          model code 0..255 (default 155, with series
                        5 shown as QXP_4488_ETH); codes 210..254 exchange the
                        106-byte compact parameter block, all others the full
                        1090-byte block
  --series N            series byte of the identity (default 5, programmable)
  --state DIR           keep the parameter block (params.bin), the firmware
                        images (bios.bin, firmware.bin) and the PLC program
                        stored in FLASH (plc_flash.bin) in DIR; files are
                        written atomically. Without it all state is in memory.
                        After each final PLC packet the program in RAM is
                        also written there (plc_ram.bin; never read back).
  --report-ms N         send the status report (0x45) every N ms to every
                        connected host (on RTU only while a host has spoken
                        in the last 5 s); the sections are those selected by
                        byRepCont of the parameter block, all when it is 0

PLC (sim/PLC.md says what each row of a program does):
  --scan-ms N           scan period of the PLC program, 1..10000 ms (default
                        10). A program runs from the final packet of its
                        download (RAM or FLASH), the FLASH one again after a
                        restart; "清空FLASH并重启" stops it. A program that
                        cannot run is refused (final packet status 4) and
                        the running one goes on.
  --trace-plc           print "plc scan N block B" on standard output for
                        each block whose conditions held in scan N

Fault injection (counted over the requests addressed to the module):
  --delay-ms N          answer N ms late
  --drop-every N        leave every N-th request unanswered (not executed)
  --corrupt-every N     send every N-th answer with a broken CRC (RTU) or a
                        protocol identifier of 1 in its header (TCP)
  --refuse-part N       answer transfer packet N once with a failure status:
                        firmware part index N (0x43 and 0x44, once each), or
                        the N-th PLC packet after the start packet (0x46;
                        the start packet is 0)

After each final PLC packet the log shows where the program went, the
packets since the start packet, a digest of the program in RAM and the blocks
received whole or in part; a data packet without a start packet is logged too.

Other:
  --quiet               no traffic log on standard error
  --help                this text

The address map (sub-station s = 1..10 of a gateway where noted):
  coils 0..23           outputs Y1..Y24; X1..X8 follow Y1..Y8
  coils 32,34,36,38     PWM run of Y1, Y3, Y5, Y7
  coils 64..87          clear the counters of X1..X24 (read back 0)
  coils 32*(s-1)+k      sub-station outputs (wired back to its inputs)
  coils 512+32*(s-1)+k  clear sub-station counters
  inputs 0..23          X1..X24 (X9..X24 toggle by themselves, X9 every
                        0.5 s, each further input 0.25 s slower)
  inputs 512..521       sub-station online flags (1..8 online)
  input regs 0..15      AI1..AI8, 32-bit high register first, raw counts
  input regs 24..71     pulse counters X1..X24, 32-bit
  input regs 16*(s-1)   sub-station analog inputs; 256+24*(s-1) counters
  holding regs 0..7     AO1..AO8 (8*(s-1) for sub-stations)
  holding regs 16..18, 22..24, 28..30, 34..36
                        PWM unit (0 us, 1 ms, 2 s), high time, low time
The test area, for driving a PLC program's inputs:
  coil 400              test mode: while 1, X1..X24 and AI1..AI8 follow the
                        two areas below instead of their own behaviour
  coils 416..439        X1..X24 in test mode; their counters count the
                        rising edges written here
  holding regs 400..415 AI1..AI8 in test mode, 32-bit raw counts
The PLC program's areas:
  holding regs 512..1023  variables V1..V256, 32-bit; the program reads them
  input regs 512..587   data groups stored by the program: X1..X32 bits,
                        Y1..Y32 bits (32-bit each), AI1..AI8 (32-bit),
                        AO1..AO8, counters X1..X24 (32-bit)
  input regs 600..603   1 while a program runs; scans since it started
                        (32-bit); its running blocks
Where areas meet, the module's own points win. Every table has 1024 entries;
beyond them requests get exception 02, bad quantities 03, unknown functions 01.

SIGINT and SIGTERM end qxsim cleanly.
)";

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int)
{
    g_stop = 1;
}

bool parseNumber(const char *text, unsigned long max, unsigned long &out)
{
    if (text == nullptr || *text == '\0')
        return false;
    char *end = nullptr;
    errno = 0;
    const unsigned long v = std::strtoul(text, &end, 10);
    if (errno != 0 || *end != '\0' || v > max || text[0] == '-')
        return false;
    out = v;
    return true;
}

int usageError(const std::string &message)
{
    std::fprintf(stderr, "qxsim: %s\nTry 'qxsim --help'.\n", message.c_str());
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    using namespace qx::sim;
    ModuleSettings settings;
    ServerOptions options;
    std::vector<std::string> tcp;
    std::vector<std::string> udp;
    std::vector<std::string> connect;
    bool pty = false;
    std::string serial;
    unsigned long baud = 115200;
    unsigned long scanMs = 10;
    bool tracePlc = false;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char *value = i + 1 < argc ? argv[i + 1] : nullptr;
        auto number = [&](unsigned long max, unsigned long &out) {
            if (!parseNumber(value, max, out))
                return false;
            ++i;
            return true;
        };
        auto text = [&](std::string &out) {
            if (value == nullptr)
                return false;
            out = value;
            ++i;
            return true;
        };
        unsigned long n = 0;
        std::string s;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        } else if (arg == "--tcp" && text(s)) {
            tcp.push_back(s);
        } else if (arg == "--udp" && text(s)) {
            udp.push_back(s);
        } else if (arg == "--connect" && text(s)) {
            connect.push_back(s);
        } else if (arg == "--pty") {
            pty = true;
        } else if (arg == "--serial" && text(serial)) {
        } else if (arg == "--baud" && number(4'000'000, baud)) {
        } else if (arg == "--unit" && number(247, n) && n >= 1) {
            settings.unit = static_cast<uint8_t>(n);
        } else if (arg == "--model" && number(255, n)) {
            settings.modelCode = static_cast<uint8_t>(n);
        } else if (arg == "--series" && number(255, n)) {
            settings.series = static_cast<uint8_t>(n);
        } else if (arg == "--state" && text(s)) {
            settings.stateDir = s;
        } else if (arg == "--report-ms" && number(86'400'000, n)) {
            options.reportMs = static_cast<unsigned>(n);
        } else if (arg == "--delay-ms" && number(600'000, n)) {
            options.delayMs = static_cast<unsigned>(n);
        } else if (arg == "--drop-every" && number(1'000'000'000, n)) {
            options.dropEvery = static_cast<unsigned>(n);
        } else if (arg == "--corrupt-every" && number(1'000'000'000, n)) {
            options.corruptEvery = static_cast<unsigned>(n);
        } else if (arg == "--refuse-part" && number(1'000'000, n)) {
            settings.refusePart = static_cast<int>(n);
        } else if (arg == "--scan-ms" && number(10'000, scanMs) && scanMs >= 1) {
        } else if (arg == "--trace-plc") {
            tracePlc = true;
        } else if (arg == "--quiet") {
            options.quiet = true;
        } else {
            return usageError("bad or incomplete option '" + arg + "'");
        }
    }
    if (pty && !serial.empty())
        return usageError("--pty and --serial exclude each other");
    if (tcp.empty() && udp.empty() && connect.empty() && !pty && serial.empty())
        tcp.push_back("127.0.0.1:10001");
    if (!settings.stateDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(settings.stateDir, ec);
        if (ec)
            return usageError("cannot create " + settings.stateDir.string() + ": " + ec.message());
    }

    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    SimModule module(settings);
    for (const std::string &e : module.stateErrors())
        std::fprintf(stderr, "qxsim: state: %s\n", e.c_str());
    SimServer server(module, options);
    std::string error;
    bool ok = true;
    for (const auto &spec : tcp)
        ok = ok && server.addTcpServer(spec, error);
    for (const auto &spec : udp)
        ok = ok && server.addUdp(spec, error);
    for (const auto &spec : connect)
        ok = ok && server.addTcpClient(spec, error);
    if (ok && pty)
        ok = server.addPty(error);
    if (ok && !serial.empty())
        ok = server.addSerial(serial, static_cast<unsigned>(baud), error);
    if (!ok) {
        std::fprintf(stderr, "qxsim: %s\n", error.c_str());
        return 1;
    }
    PlcScanLoop plc(module, server, static_cast<unsigned>(scanMs), tracePlc);
    server.setTick([&plc](uint64_t nowUs) { return plc.tick(nowUs); });
    server.run(g_stop);
    return 0;
}
