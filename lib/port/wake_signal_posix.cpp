// The wake-up on Linux: an eventfd counter.
#include "wake_signal.h"

#include <cstdint>

#include <sys/eventfd.h>
#include <unistd.h>

namespace qx {

WakeSignal::WakeSignal()
{
    m_pollable = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

WakeSignal::~WakeSignal()
{
    if (m_pollable >= 0)
        ::close(m_pollable);
}

void WakeSignal::raise()
{
    const uint64_t one = 1;
    if (m_pollable >= 0 && ::write(m_pollable, &one, sizeof one) < 0) {
        // the counter is saturated: the worker is woken all the same
    }
}

void WakeSignal::drain()
{
    uint64_t count = 0;
    if (m_pollable >= 0 && ::read(m_pollable, &count, sizeof count) < 0) {
        // nothing pending
    }
}

} // namespace qx
