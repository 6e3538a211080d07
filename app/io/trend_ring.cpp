// The AI trend's ring of samples.
#include "trend_ring.h"

#include <algorithm>

namespace qx {

TrendRing::TrendRing(int64_t windowMs, std::size_t capacity)
    : m_slots(std::max<std::size_t>(capacity, 1))
    , m_windowMs(std::max<int64_t>(windowMs, 1))
    , m_slotMs(std::max<int64_t>(m_windowMs / static_cast<int64_t>(m_slots.size()), 1))
{
}

void TrendRing::add(int64_t timeMs, const std::array<float, kAnalogChannels> &values)
{
    if (m_count > 0) {
        TrendSample &newest = m_slots[(m_first + m_count - 1) % m_slots.size()];
        timeMs = std::max(timeMs, newest.timeMs);
        if (slotOf(timeMs) == slotOf(newest.timeMs)) {
            newest = {timeMs, values};
            return;
        }
    }
    if (m_count < m_slots.size()) {
        m_slots[(m_first + m_count) % m_slots.size()] = {timeMs, values};
        ++m_count;
    } else {
        m_slots[m_first] = {timeMs, values};
        m_first = (m_first + 1) % m_slots.size();
    }
}

void TrendRing::clear()
{
    m_first = 0;
    m_count = 0;
}

const TrendSample &TrendRing::at(std::size_t i) const
{
    return m_slots[(m_first + i) % m_slots.size()];
}

std::size_t TrendRing::countSince(int64_t nowMs) const
{
    std::size_t n = 0;
    while (n < m_count && at(m_count - 1 - n).timeMs > nowMs - m_windowMs)
        ++n;
    return n;
}

} // namespace qx
