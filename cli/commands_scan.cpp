// The scan: every address of a range asked for its identity.
#include "commands.h"

#include "event_codes.h"
#include "event_records.h"
#include "text_format.h"

namespace qx::cli {

namespace {

constexpr const char *kLateAnswerFormat = "qxcli: module %u answered after the timeout\n";
constexpr const char *kScanNoneFound = "qxcli: no module answered\n";

// The library's wait for an answer before it sends the next request.
constexpr int kLibraryResponseWaitMs = 1000;

// The scan waits this long per address unless --timeout says otherwise: the
// library's own wait for an answer, which a shorter one cannot undercut.
constexpr int kScanDefaultTimeoutMs = 1000;

std::string prepareScan(const Invocation &inv, Run &run)
{
    if (inv.words.size() != 1)
        return "scan takes no arguments";
    long from = 1;
    long to = 240;
    if (const auto t = option(inv, "--from")) {
        const auto n = parseDecimal(*t, 1, 247);
        if (!n)
            return "--from takes an address 1..247";
        from = *n;
    }
    if (const auto t = option(inv, "--to")) {
        const auto n = parseDecimal(*t, 1, 247);
        if (!n)
            return "--to takes an address 1..247";
        to = *n;
    }
    if (from > to)
        return "--from is above --to";
    const int timeoutMs = inv.timeoutGiven ? inv.timeoutMs : kScanDefaultTimeoutMs;
    run = [from, to, timeoutMs](Context &c) {
        const int total = int(to - from + 1);
        Progress progress("scan", total);
        int found = 0;
        for (long a = from; a <= to; ++a) {
            const auto address = static_cast<uint8_t>(a);
            c.link.place(identityRequest(kModeCounted, address));
            WaitResult w = c.link.waitSent(address, timeoutMs + 1000);
            LinkEvent answer;
            std::vector<LinkEvent> late;
            if (w == WaitResult::Done)
                w = c.link.waitAnswer(address, {kEventIdentity}, timeoutMs, answer, &late);
            for (const LinkEvent &e : late)
                if (e.address >= 0)
                    progress.note(formatText(kLateAnswerFormat, unsigned(e.address)));
            if (w == WaitResult::Cancelled || w == WaitResult::LinkLost) {
                progress.finish();
                return waitFailure(c.inv, w, address, timeoutMs);
            }
            if (w == WaitResult::Done && answer.code == kEventIdentity) {
                ++found;
                const IdentityView v = readIdentity(answer.record.data());
                progress.clear();
                result(c.inv, std::to_string(a) + " " + v.modelName,
                       JsonObject().add("address", int(a)).add("model", v.modelName).add("series", v.series));
                flushOut();
            }
            progress.update(int(a - from + 1), "scan " + std::to_string(a) + (w == WaitResult::Done ? " answered" : ""));
            // The library sends nothing new until 1000 ms after an unanswered
            // request; a new port object does not wait, so a shorter timeout
            // sets the pace. A TCP server cannot call the module back.
            if (w == WaitResult::NoAnswer && timeoutMs < kLibraryResponseWaitMs && a < to
                && c.inv.transport != Invocation::Transport::TcpServer) {
                const DeviceLink::OpenResult again = c.link.reopen(std::max(c.inv.timeoutMs, kDefaultTimeoutMs));
                if (!again.ok) {
                    progress.finish();
                    return failure(c.inv, again.message.empty() ? std::string(kLinkLost) : again.message + "\n");
                }
            }
        }
        progress.finish();
        if (found == 0)
            return failure(c.inv, kScanNoneFound);
        return kExitOk;
    };
    return {};
}

} // namespace

std::span<const Command> scanCommands()
{
    static const Command commands[] = {
        {"scan",
         "qxcli CONNECTION scan [--from A] [--to B] [--timeout MS]\n"
         "  Asks every address from A (1) to B (240) for its identity and prints those\n"
         "  that answer with their model. --timeout is the wait per address (1000 ms).\n"
         "  QXLIB sends a request only 1000 ms after an unanswered one; with a shorter\n"
         "  --timeout the port is opened anew after each silent address so that the\n"
         "  timeout sets the pace (not with --listen, where the module connects).\n"
         "  A module slower than the timeout is missed (noted as a late answer when\n"
         "  its answer still arrives). Exit 1 when none answered.\n",
         {"--from", "--to"}, prepareScan},
    };
    return commands;
}

} // namespace qx::cli
