// qxcli's command line: arguments cut from raw bytes at zero bytes, or
// picked from its options and typical values. Whatever parses must carry a
// connection that builds its port settings or says why not (host names are
// left out: they would be looked up on the network).
#include <string>
#include <vector>

#include "cli_arguments.h"
#include "fuzz_target.h"
#include "port_settings_builder.h"

namespace {

const char *const kWords[] = {
    "--tcp", "--udp", "--listen", "--serial", "--baud", "--data", "--parity", "--stop", "--address",
    "--json", "--timeout", "--library", "--help", "-h", "--sub", "--every", "--count", "--unit", "--high",
    "--low", "--run", "-o", "--yes", "--ram", "--flash", "--flash-restart", "--scaling", "--password",
    "--block-size", "--from", "--to", "--bogus", "-", "-5", "--", "",
    "127.0.0.1:502", "127.0.0.1:0", "127.0.0.1:502:503", ":502", "502", "0.0.0.0:70000", "localhost:502",
    "1.2.3.4.5:1", "/dev/ttyS0", "/dev/a-very-long-device-name", "115200", "0", "4000001", "7", "8", "9",
    "none", "odd", "even", "mark", "1", "2", "240", "247", "255", "600000", "99999999999", "x",
    "identity", "read", "write", "di", "do", "ai", "ao", "on", "off", "all", "config", "firmware", "plc",
};

using Transport = qx::cli::Invocation::Transport;

} // namespace

QX_FUZZ_TARGET(input)
{
    const std::vector<std::string> args = input.words(kWords);
    (void)qx::cli::isDeviceCommandLine(args);
    const qx::cli::ParseResult r = qx::cli::parseInvocation(args);
    QX_FUZZ_CHECK(r.ok == r.message.empty());
    if (!r.ok)
        return;
    const qx::cli::Invocation &inv = r.invocation;
    // the serial line options are taken into the settings, not left over
    for (const char *line : {"--baud", "--data", "--parity", "--stop"})
        QX_FUZZ_CHECK(inv.options.count(line) == 0);
    QX_FUZZ_CHECK(inv.timeoutMs >= 1 && inv.timeoutMs <= 600'000);
    const bool looksUp = (inv.transport == Transport::TcpClient || inv.transport == Transport::Udp)
        && !qx::isIpv4Text(inv.host);
    if (looksUp)
        return;
    const qx::SettingsResult s = qx::cli::connectionSettings(inv);
    QX_FUZZ_CHECK(s.ok == s.message.empty());
    for (const std::string &a : args)
        if (const auto n = qx::cli::parseDecimal(a, 1, 4'000'000))
            QX_FUZZ_CHECK(*n >= 1 && *n <= 4'000'000);
}
