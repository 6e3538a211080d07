// The samples behind the AI trend: the last ten minutes of AI1..AI8 in a
// ring of fixed size, allocated once. Samples closer together than one
// slot's width share a slot (the latest wins), so however fast the module
// answers, memory stays the same and a redraw touches at most `capacity`
// points per channel.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "io_requests.h"

namespace qx {

struct TrendSample {
    int64_t timeMs = 0;
    std::array<float, kAnalogChannels> values {};
};

class TrendRing
{
public:
    static constexpr int64_t kWindowMs = 10 * 60 * 1000;
    static constexpr std::size_t kCapacity = 1200; // one slot per 0.5 s

    explicit TrendRing(int64_t windowMs = kWindowMs, std::size_t capacity = kCapacity);

    // `timeMs` from a steady clock; a time before the newest sample's is
    // taken as the newest sample's.
    void add(int64_t timeMs, const std::array<float, kAnalogChannels> &values);
    void clear();

    std::size_t size() const { return m_count; }
    std::size_t capacity() const { return m_slots.size(); }
    // Oldest first.
    const TrendSample &at(std::size_t i) const;
    // How many of the newest samples lie within the window ending at `nowMs`.
    std::size_t countSince(int64_t nowMs) const;

    int64_t windowMs() const { return m_windowMs; }

private:
    int64_t slotOf(int64_t timeMs) const { return timeMs / m_slotMs; }

    std::vector<TrendSample> m_slots;
    int64_t m_windowMs;
    int64_t m_slotMs;
    std::size_t m_first = 0; // index of the oldest sample
    std::size_t m_count = 0;
};

} // namespace qx
