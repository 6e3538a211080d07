// The countdown of a parameter read or write: five seconds of "等待N秒" on
// the running button, then the button's own caption back, the buttons
// enabled, and a failure message when no answer marked the operation done.
// While no answer came at all, the request goes again every
// kParamResendMs.
#pragma once

#include <optional>
#include <string>

namespace qx {

class ConfigCountdown
{
public:
    enum Operation {
        Read,
        Write,
    };

    // A new operation: the countdown restarts and its done flag clears.
    void start(Operation op);
    // The module's answer came (a block shown, a write confirmed).
    void markDone() { m_done = m_answered = true; }
    // An answer of `op`'s kind came; `accepted` when it completes the
    // operation. Any answer, a broken block or a refused write too, ends
    // the resends. False for an answer to a request sent again once the
    // operation was done already: the operator has seen its outcome.
    bool answered(Operation op, bool accepted);
    bool done() const { return m_done; }
    bool running() const { return m_running; }
    Operation operation() const { return m_op; }

    struct Tick
    {
        bool finished = false; // restore the caption, enable the buttons, stop the timer
        std::string caption; // the running button's caption
        std::optional<std::string> message; // the failure, when finished without an answer
        bool resend = false; // no answer yet: place the operation's request again
    };
    // One tick of the 1-second timer.
    Tick tick();

private:
    Operation m_op = Read;
    int m_count = 0;
    bool m_done = false;
    bool m_answered = false;
    bool m_running = false;
};

} // namespace qx
