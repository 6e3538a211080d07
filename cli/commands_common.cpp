// The helpers every family of device commands uses: results, failures, one
// exchange with the module, and the page's question before a write.
#include "commands.h"

#include <cstdio>

#include "cli_platform.h"
#include "event_codes.h"
#include "shell_texts.h"
#include "text_format.h"

namespace qx::cli {

void result(const Invocation &inv, const std::string &text, const JsonObject &json)
{
    printOut(inv.json ? json.text() + "\n" : text + "\n");
}

int failure(const Invocation &inv, const std::string &message)
{
    printErr(message);
    if (inv.json) {
        std::string m = terminalText(message);
        while (!m.empty() && m.back() == '\n')
            m.pop_back();
        printOut(JsonObject().add("address", unsigned(inv.address)).addBool("ok", false).add("error", m).text()
                 + "\n");
    }
    return kExitNoAnswer;
}

int waitFailure(const Invocation &inv, WaitResult w, uint8_t address, int timeoutMs)
{
    switch (w) {
    case WaitResult::Cancelled:
        return failure(inv, kCancelled);
    case WaitResult::LinkLost:
        return failure(inv, kLinkLost);
    case WaitResult::NoAnswer:
    case WaitResult::Done:
        break;
    }
    return failure(inv, formatText(kNoAnswerFormat, unsigned(address), timeoutMs));
}

int refusal(const Invocation &inv, uint8_t address, const LinkEvent &answer)
{
    const bool tcpFraming = inv.transport != Invocation::Transport::Serial;
    const unsigned code = exceptionCodeOf(answer.frame, tcpFraming);
    return failure(inv, formatText(kRefusedFormat, unsigned(address), code));
}

int ask(Context &c, const SlotRequest &request, std::initializer_list<int32_t> codes, LinkEvent &answer)
{
    const WaitResult w = c.link.exchange(request, codes, c.inv.timeoutMs, answer);
    if (w != WaitResult::Done)
        return waitFailure(c.inv, w, request.record.address(), c.inv.timeoutMs);
    if (answer.code == kEventOther)
        return refusal(c.inv, request.record.address(), answer);
    return kExitOk;
}

std::optional<std::string> option(const Invocation &inv, const char *name)
{
    const auto it = inv.options.find(name);
    if (it == inv.options.end())
        return std::nullopt;
    return it->second;
}

namespace {

// Asks on the terminal as the page's "注意:" box does; true for yes.
bool confirmOnTerminal(const char *question)
{
    printErr(std::string(shell_texts::kCaptionConfirm) + " " + question + "\n[y/N] ");
    std::string answer;
    int ch;
    while ((ch = std::getchar()) != EOF && ch != '\n')
        answer += static_cast<char>(ch);
    return answer == "y" || answer == "Y" || answer == "yes";
}

} // namespace

std::string confirmOrRefuse(const Invocation &inv, const char *question, const char *what)
{
    if (option(inv, "--yes"))
        return {};
    if (!platform::isTerminal(stdin)) {
        printErr(std::string("qxcli: ") + what + " asks before writing; without a terminal give --yes\n");
        return "-";
    }
    if (!confirmOnTerminal(question)) {
        printErr(kCancelled);
        return "-";
    }
    return {};
}

} // namespace qx::cli
