#include "config_countdown.h"

#include "config_texts.h"
#include "param_requests.h"
#include "text_format.h"

namespace qx {

namespace {
constexpr int kCountdownStart = 5;
constexpr int kTickMs = 1000;
}

void ConfigCountdown::start(Operation op)
{
    m_op = op;
    m_count = kCountdownStart;
    m_done = false;
    m_answered = false;
    m_running = true;
}

bool ConfigCountdown::answered(Operation op, bool accepted)
{
    if (!m_running || op != m_op)
        return true;
    if (m_done)
        return false;
    m_answered = true;
    m_done = accepted;
    return true;
}

ConfigCountdown::Tick ConfigCountdown::tick()
{
    Tick t;
    if (!m_running) {
        t.finished = true;
        t.caption = m_op == Read ? config_texts::kReadButton : config_texts::kWriteButton;
        return t;
    }
    const int d = m_count--;
    if (d != 0) {
        t.caption = formatText(config_texts::kWaitFormat, unsigned(d - 1));
        const int elapsedMs = (kCountdownStart + 1 - d) * kTickMs;
        t.resend = !m_answered && elapsedMs % kParamResendMs == 0;
        return t;
    }
    m_running = false;
    t.finished = true;
    t.caption = m_op == Read ? config_texts::kReadButton : config_texts::kWriteButton;
    if (!m_done)
        t.message = m_op == Read ? config_texts::kReadFailed : config_texts::kWriteTimedOut;
    return t;
}

} // namespace qx
