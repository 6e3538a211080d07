// The I/O pages' writes, one outstanding per command slot.
#include "write_queue.h"

namespace qx {

namespace {

// Two writes that set the very same points of the same module.
bool samePoints(const SlotRequest &a, const SlotRequest &b)
{
    return a.slot == b.slot && a.record.address() == b.record.address()
        && a.record.start() == b.record.start() && a.record.quantity() == b.record.quantity();
}

} // namespace

std::optional<SlotRequest> WriteQueue::submit(const SlotRequest &write, int64_t now)
{
    Line &line = m_lines[write.slot];
    if (!line.deadline) {
        line.deadline = now + answerWaitMs();
        return write;
    }
    // A waiting write to the very same points is superseded: only the newest
    // state the operator chose needs to reach the module, and this bounds
    // the queue by the points the pages can address however fast a button
    // is pressed. The new write goes to the end, after any write to
    // overlapping points (Y1 after "全开") queued since, so the module ends
    // in the state of the operator's last press.
    std::erase_if(line.waiting, [&](const SlotRequest &w) { return samePoints(w, write); });
    line.waiting.push_back(write);
    return std::nullopt;
}

std::optional<SlotRequest> WriteQueue::acknowledged(int slot, int64_t now)
{
    auto it = m_lines.find(slot);
    if (it == m_lines.end() || !it->second.deadline)
        return std::nullopt;
    return placeNext(it->second, now);
}

std::vector<SlotRequest> WriteQueue::expire(int64_t now)
{
    std::vector<SlotRequest> due;
    for (auto &entry : m_lines) {
        Line &line = entry.second;
        if (line.deadline && *line.deadline <= now) {
            if (auto next = placeNext(line, now))
                due.push_back(std::move(*next));
        }
    }
    return due;
}

std::optional<int64_t> WriteQueue::nextDeadline() const
{
    std::optional<int64_t> first;
    for (const auto &entry : m_lines) {
        const Line &line = entry.second;
        if (line.deadline && (!first || *line.deadline < *first))
            first = line.deadline;
    }
    return first;
}

void WriteQueue::clear()
{
    m_lines.clear();
}

bool WriteQueue::outstanding(int slot) const
{
    auto it = m_lines.find(slot);
    return it != m_lines.end() && it->second.deadline.has_value();
}

std::size_t WriteQueue::waiting(int slot) const
{
    auto it = m_lines.find(slot);
    return it == m_lines.end() ? 0 : it->second.waiting.size();
}

std::optional<SlotRequest> WriteQueue::placeNext(Line &line, int64_t now)
{
    if (line.waiting.empty()) {
        line.deadline.reset();
        return std::nullopt;
    }
    SlotRequest next = std::move(line.waiting.front());
    line.waiting.pop_front();
    line.deadline = now + answerWaitMs();
    return next;
}

} // namespace qx
