// EventGate hands events from QXLIB's worker thread to the window thread.
// The worker copies each event (its data is borrowed), posts it and waits
// until the window thread has handled it, so events are handled in order and
// the library sends nothing new meanwhile. The window thread never waits for
// the worker: before any library call that may itself wait for the worker
// (create, run, clear statistics, destroy) it releases the gate, and while a
// port object is being destroyed events are dropped, so closing, "断开" or
// reconnecting at full event rate can neither deadlock nor run into the
// library's 2000 ms abandon.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace qx {

struct QueuedEvent
{
    void *port = nullptr;
    int32_t code = 0;
    std::vector<uint8_t> data;
    uint64_t sequence = 0;
    uint64_t generation = 0;
};

class EventGate
{
public:
    // `post` queues an event for the owner thread (in order, without blocking).
    explicit EventGate(std::function<void(QueuedEvent)> post);
    EventGate(const EventGate &) = delete;
    EventGate &operator=(const EventGate &) = delete;

    // From the library's callback, on any thread. On the owner thread the
    // event is queued and the call returns at once (it cannot wait on itself).
    void deliver(void *port, int32_t code, const void *data, std::size_t size);

    // Owner thread, after handling (or dropping) an event.
    void markHandled(const QueuedEvent &event);
    // True when the event belongs to the current port object.
    bool isCurrent(const QueuedEvent &event) const;

    // Owner thread: while released, workers post without waiting.
    void release();
    void unrelease();
    // Owner thread: from here until endDestroy, events are dropped, and
    // events already queued become stale.
    void beginDestroy();
    void endDestroy();

    // Counters for tests and diagnostics.
    uint64_t droppedCount() const;

    class ReleaseScope
    {
    public:
        explicit ReleaseScope(EventGate &gate) : m_gate(gate) { m_gate.release(); }
        ~ReleaseScope() { m_gate.unrelease(); }
        ReleaseScope(const ReleaseScope &) = delete;
        ReleaseScope &operator=(const ReleaseScope &) = delete;

    private:
        EventGate &m_gate;
    };

    class DestroyScope
    {
    public:
        explicit DestroyScope(EventGate &gate) : m_gate(gate) { m_gate.beginDestroy(); }
        ~DestroyScope() { m_gate.endDestroy(); }
        DestroyScope(const DestroyScope &) = delete;
        DestroyScope &operator=(const DestroyScope &) = delete;

    private:
        EventGate &m_gate;
    };

private:
    std::function<void(QueuedEvent)> m_post;
    mutable std::mutex m_lock;
    std::condition_variable m_handled;
    std::thread::id m_owner;
    uint64_t m_posted = 0;
    uint64_t m_done = 0;
    uint64_t m_generation = 0;
    uint64_t m_dropped = 0;
    int m_released = 0;
    bool m_destroying = false;
};

} // namespace qx
