#include "event_gate.h"

#include <cstring>

namespace qx {

EventGate::EventGate(std::function<void(QueuedEvent)> post)
    : m_post(std::move(post))
    , m_owner(std::this_thread::get_id())
{
}

void EventGate::deliver(void *port, int32_t code, const void *data, std::size_t size)
{
    QueuedEvent e;
    e.port = port;
    e.code = code;
    if (data && size > 0) {
        e.data.resize(size);
        std::memcpy(e.data.data(), data, size);
    }
    std::unique_lock lock(m_lock);
    if (m_destroying) {
        ++m_dropped;
        return;
    }
    e.sequence = ++m_posted;
    e.generation = m_generation;
    const bool wait = std::this_thread::get_id() != m_owner && m_released == 0;
    const uint64_t sequence = e.sequence;
    const uint64_t generation = e.generation;
    // Posting under the lock keeps the queue in sequence order when two
    // threads deliver at once (the worker and the owner during a release).
    m_post(std::move(e));
    if (!wait)
        return;
    m_handled.wait(lock, [&] {
        return m_done >= sequence || m_generation != generation || m_released > 0 || m_destroying;
    });
}

void EventGate::markHandled(const QueuedEvent &event)
{
    std::lock_guard lock(m_lock);
    if (event.sequence > m_done)
        m_done = event.sequence;
    m_handled.notify_all();
}

bool EventGate::isCurrent(const QueuedEvent &event) const
{
    std::lock_guard lock(m_lock);
    return event.generation == m_generation && !m_destroying;
}

void EventGate::release()
{
    std::lock_guard lock(m_lock);
    ++m_released;
    m_handled.notify_all();
}

void EventGate::unrelease()
{
    std::lock_guard lock(m_lock);
    --m_released;
}

void EventGate::beginDestroy()
{
    std::lock_guard lock(m_lock);
    m_destroying = true;
    ++m_generation;
    m_handled.notify_all();
}

void EventGate::endDestroy()
{
    std::lock_guard lock(m_lock);
    m_destroying = false;
}

uint64_t EventGate::droppedCount() const
{
    std::lock_guard lock(m_lock);
    return m_dropped;
}

} // namespace qx
