// qxsim: a simulated module of the QX family for demos, tests and benchmarks.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "plc_scan_loop.h"
#include "qx_version.h"
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
  --units A,B,...       one module per address on the same links (a bus with
                        several modules), each with its own state; with
                        --state each keeps it in DIR/unitA, DIR/unitB, ...
                        Periodic status reports (--report-ms) come from the
                        first of them.
  --model CODE          model code 0..255 (default 155, with series
                        5 shown as QXP_4488_ETH); codes 210..254 exchange the
                        106-byte compact parameter block, all others the full
                        1090-byte block
  --series N            series byte of the identity (default 5, programmable)
  --state DIR           keep the parameter block (params.bin), the firmware
                        images (bios.bin, firmware.bin) and the PLC program
                        stored in FLASH (plc_flash.bin) in DIR; files are
                        written atomically, an image only once its parts
                        came in order up to its last, so a transfer that
                        breaks off leaves the earlier image. Without it all
                        state is in memory.
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
                        the running one goes on; so is a program whose
                        start packet did not come (status 3: the module
                        restarted during the download).
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
  --bad-block KIND      answer the next parameter read (0x41) once with a
                        broken payload: 'checksum' (its checksum wrong) or
                        'short' (500 bytes of the record, checksum right)
  --drop-part N         store firmware part index N but lose its answer once
                        (0x43 and 0x44, once each), so the host sends it again
  --late-packet N       answer PLC packet N (counted as for --refuse-part)
                        once 3500 ms late, after the host has sent it again

The traffic log states each firmware part stored (repeated and out-of-order
parts are accepted and marked), each part refused, and when an image is
complete: its parts arrived in order up to one that is not full (the host
fills the rest of its last part with 0xFF).

After each final PLC packet the log shows where the program went, the
packets since the start packet, a digest of the program in RAM and the blocks
received whole or in part; a data packet without a start packet is logged too.
A final command repeated right after it was carried out (its answer was lost)
is answered as before; nothing is stored or restarted again.

Other:
  --quiet               no traffic log on standard error
  --help                this text
  --version             the version

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

SIGINT and SIGTERM end qxsim cleanly. SIGUSR1 closes the --connect links
as a module does whose network drops; they connect again a second later.
)";

volatile std::sig_atomic_t g_stop = 0;
volatile std::sig_atomic_t g_dropLinks = 0;

void onSignal(int)
{
    g_stop = 1;
}

void onDropSignal(int)
{
    g_dropLinks = 1;
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

struct Options
{
    qx::sim::ModuleSettings settings;
    qx::sim::ServerOptions server;
    std::vector<std::string> tcp;
    std::vector<std::string> udp;
    std::vector<std::string> connect;
    bool pty = false;
    std::string serial;
    unsigned long baud = 115200;
    unsigned long scanMs = 10;
    bool tracePlc = false;
    bool badBlockKnown = true;
    std::vector<uint8_t> units; // --units; empty: the one module of --unit
    bool unitsBad = false;
};

// "1,2,5": addresses 1..247, each once.
bool parseUnits(const char *text, std::vector<uint8_t> &out)
{
    out.clear();
    std::string list = text;
    std::size_t at = 0;
    while (at <= list.size()) {
        const std::size_t comma = std::min(list.find(',', at), list.size());
        unsigned long n = 0;
        if (!parseNumber(list.substr(at, comma - at).c_str(), 247, n) || n < 1)
            return false;
        for (uint8_t u : out)
            if (u == n)
                return false;
        out.push_back(static_cast<uint8_t>(n));
        at = comma + 1;
    }
    return !out.empty();
}

// One command-line option: a flag, or one value that is a text or a
// decimal number in [min, max].
struct OptionSpec
{
    enum Kind { Flag, Text, Number };
    const char *name;
    Kind kind;
    unsigned long min;
    unsigned long max;
    void (*apply)(Options &options, const char *text, unsigned long number);
};

constexpr OptionSpec kOptions[] = {
    {"--tcp", OptionSpec::Text, 0, 0,
     [](Options &o, const char *text, unsigned long) { o.tcp.push_back(text); }},
    {"--udp", OptionSpec::Text, 0, 0,
     [](Options &o, const char *text, unsigned long) { o.udp.push_back(text); }},
    {"--connect", OptionSpec::Text, 0, 0,
     [](Options &o, const char *text, unsigned long) { o.connect.push_back(text); }},
    {"--pty", OptionSpec::Flag, 0, 0,
     [](Options &o, const char *, unsigned long) { o.pty = true; }},
    {"--serial", OptionSpec::Text, 0, 0,
     [](Options &o, const char *text, unsigned long) { o.serial = text; }},
    {"--baud", OptionSpec::Number, 0, 4'000'000,
     [](Options &o, const char *, unsigned long n) { o.baud = n; }},
    {"--unit", OptionSpec::Number, 1, 247,
     [](Options &o, const char *, unsigned long n) { o.settings.unit = static_cast<uint8_t>(n); }},
    {"--units", OptionSpec::Text, 0, 0,
     [](Options &o, const char *text, unsigned long) { o.unitsBad = !parseUnits(text, o.units); }},
    {"--model", OptionSpec::Number, 0, 255,
     [](Options &o, const char *, unsigned long n) { o.settings.modelCode = static_cast<uint8_t>(n); }},
    {"--series", OptionSpec::Number, 0, 255,
     [](Options &o, const char *, unsigned long n) { o.settings.series = static_cast<uint8_t>(n); }},
    {"--state", OptionSpec::Text, 0, 0,
     [](Options &o, const char *text, unsigned long) { o.settings.stateDir = text; }},
    {"--report-ms", OptionSpec::Number, 0, 86'400'000,
     [](Options &o, const char *, unsigned long n) { o.server.reportMs = static_cast<unsigned>(n); }},
    {"--delay-ms", OptionSpec::Number, 0, 600'000,
     [](Options &o, const char *, unsigned long n) { o.server.delayMs = static_cast<unsigned>(n); }},
    {"--drop-every", OptionSpec::Number, 0, 1'000'000'000,
     [](Options &o, const char *, unsigned long n) { o.server.dropEvery = static_cast<unsigned>(n); }},
    {"--corrupt-every", OptionSpec::Number, 0, 1'000'000'000,
     [](Options &o, const char *, unsigned long n) { o.server.corruptEvery = static_cast<unsigned>(n); }},
    {"--refuse-part", OptionSpec::Number, 0, 1'000'000,
     [](Options &o, const char *, unsigned long n) { o.settings.refusePart = static_cast<int>(n); }},
    {"--bad-block", OptionSpec::Text, 0, 0,
     [](Options &o, const char *text, unsigned long) {
         using Bad = qx::sim::ModuleSettings::BadBlock;
         const std::string kind = text;
         o.settings.badBlock = kind == "checksum" ? Bad::Checksum : kind == "short" ? Bad::Short : Bad::None;
         o.badBlockKnown = kind == "checksum" || kind == "short";
     }},
    {"--drop-part", OptionSpec::Number, 0, 1'000'000,
     [](Options &o, const char *, unsigned long n) { o.settings.dropPart = static_cast<int>(n); }},
    {"--late-packet", OptionSpec::Number, 0, 1'000'000,
     [](Options &o, const char *, unsigned long n) { o.settings.latePacket = static_cast<int>(n); }},
    {"--scan-ms", OptionSpec::Number, 1, 10'000,
     [](Options &o, const char *, unsigned long n) { o.scanMs = n; }},
    {"--trace-plc", OptionSpec::Flag, 0, 0,
     [](Options &o, const char *, unsigned long) { o.tracePlc = true; }},
    {"--quiet", OptionSpec::Flag, 0, 0,
     [](Options &o, const char *, unsigned long) { o.server.quiet = true; }},
};

// Fills `options` from the command line; -1 to go on, otherwise the exit
// status (0 after --help and --version).
int parseOptions(int argc, char **argv, Options &options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::fputs(qx::versionText("qxsim").c_str(), stdout);
            return 0;
        }
        const OptionSpec *spec = nullptr;
        for (const OptionSpec &o : kOptions)
            if (arg == o.name)
                spec = &o;
        if (spec == nullptr)
            return usageError("bad or incomplete option '" + arg + "'");
        const char *value = nullptr;
        unsigned long number = 0;
        if (spec->kind != OptionSpec::Flag) {
            value = i + 1 < argc ? argv[i + 1] : nullptr;
            const bool valid = spec->kind == OptionSpec::Text
                ? value != nullptr
                : parseNumber(value, spec->max, number) && number >= spec->min;
            if (!valid)
                return usageError("bad or incomplete option '" + arg + "'");
            ++i;
        }
        spec->apply(options, value, number);
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    using namespace qx::sim;
    Options options;
    if (const int status = parseOptions(argc, argv, options); status >= 0)
        return status;
    if (options.unitsBad)
        return usageError("--units takes addresses 1..247, each once, separated by commas");
    if (options.pty && !options.serial.empty())
        return usageError("--pty and --serial exclude each other");
    if (!options.badBlockKnown)
        return usageError("--bad-block takes 'checksum' or 'short'");
    if (options.tcp.empty() && options.udp.empty() && options.connect.empty() && !options.pty
        && options.serial.empty())
        options.tcp.push_back("127.0.0.1:10001");
    const std::filesystem::path &stateDir = options.settings.stateDir;
    if (!stateDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(stateDir, ec);
        if (ec)
            return usageError("cannot create " + stateDir.string() + ": " + ec.message());
    }

    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    sa.sa_handler = onDropSignal;
    ::sigaction(SIGUSR1, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    if (options.units.empty())
        options.units.push_back(options.settings.unit);
    std::vector<std::unique_ptr<SimModule>> modules;
    std::vector<SimModule *> moduleList;
    for (uint8_t unit : options.units) {
        ModuleSettings settings = options.settings;
        settings.unit = unit;
        if (options.units.size() > 1 && !stateDir.empty()) {
            settings.stateDir = stateDir / ("unit" + std::to_string(unit));
            std::error_code ec;
            std::filesystem::create_directories(settings.stateDir, ec);
            if (ec)
                return usageError("cannot create " + settings.stateDir.string() + ": " + ec.message());
        }
        modules.push_back(std::make_unique<SimModule>(settings));
        moduleList.push_back(modules.back().get());
        for (const std::string &e : modules.back()->stateErrors())
            std::fprintf(stderr, "qxsim: state: %s\n", e.c_str());
    }
    SimServer server(moduleList, options.server);
    std::string error;
    bool ok = true;
    for (const auto &spec : options.tcp)
        ok = ok && server.addTcpServer(spec, error);
    for (const auto &spec : options.udp)
        ok = ok && server.addUdp(spec, error);
    for (const auto &spec : options.connect)
        ok = ok && server.addTcpClient(spec, error);
    if (ok && options.pty)
        ok = server.addPty(error);
    if (ok && !options.serial.empty())
        ok = server.addSerial(options.serial, static_cast<unsigned>(options.baud), error);
    if (!ok) {
        std::fprintf(stderr, "qxsim: %s\n", error.c_str());
        return 1;
    }
    std::vector<std::unique_ptr<PlcScanLoop>> plcs;
    for (SimModule *m : moduleList)
        plcs.push_back(std::make_unique<PlcScanLoop>(*m, server, static_cast<unsigned>(options.scanMs),
                                                     options.tracePlc));
    server.setTick([&plcs](uint64_t nowUs) {
        uint64_t next = UINT64_MAX;
        for (auto &plc : plcs)
            next = std::min(next, plc->tick(nowUs));
        return next;
    });
    server.run(g_stop, &g_dropLinks);
    return 0;
}
