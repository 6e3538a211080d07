// The hand-over of library events from a worker thread to the window thread:
// order, copies, the worker waiting for each event, and the releases that
// keep the window thread from ever waiting on a worker that waits on it.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "event_gate.h"

namespace {

using qx::EventGate;
using qx::QueuedEvent;

// The window thread's queue, as the Qt event loop would hold it.
class Queue
{
public:
    void push(QueuedEvent e)
    {
        std::lock_guard lock(m_lock);
        m_events.push_back(std::move(e));
        m_ready.notify_all();
    }
    QueuedEvent pop()
    {
        std::unique_lock lock(m_lock);
        m_ready.wait(lock, [&] { return !m_events.empty(); });
        QueuedEvent e = std::move(m_events.front());
        m_events.pop_front();
        return e;
    }
    std::size_t size()
    {
        std::lock_guard lock(m_lock);
        return m_events.size();
    }

private:
    std::mutex m_lock;
    std::condition_variable m_ready;
    std::deque<QueuedEvent> m_events;
};

TEST(EventGate, WorkerWaitsUntilTheEventIsHandled)
{
    Queue queue;
    EventGate gate([&](QueuedEvent e) { queue.push(std::move(e)); });
    std::atomic<bool> returned {false};
    uint8_t record[4] = {1, 2, 3, 4};
    std::thread worker([&] {
        gate.deliver(nullptr, 6, record, sizeof record);
        returned = true;
    });
    QueuedEvent e = queue.pop();
    // The worker has posted and is now parked; give it a chance to be wrong.
    for (int i = 0; i < 50 && !returned; ++i)
        std::this_thread::yield();
    EXPECT_FALSE(returned);
    EXPECT_EQ(e.code, 6);
    ASSERT_EQ(e.data.size(), 4u);
    EXPECT_EQ(e.data[3], 4);
    EXPECT_TRUE(gate.isCurrent(e));
    gate.markHandled(e);
    worker.join();
    EXPECT_TRUE(returned);
}

TEST(EventGate, EventsArriveInOrderAsCopies)
{
    Queue queue;
    EventGate gate([&](QueuedEvent e) { queue.push(std::move(e)); });
    std::thread worker([&] {
        uint8_t record[1];
        for (int i = 0; i < 200; ++i) {
            record[0] = static_cast<uint8_t>(i);
            gate.deliver(nullptr, -2, record, 1);
            record[0] = 0xEE; // the library reuses its buffer at once
        }
    });
    for (int i = 0; i < 200; ++i) {
        QueuedEvent e = queue.pop();
        EXPECT_EQ(e.data[0], static_cast<uint8_t>(i));
        gate.markHandled(e);
    }
    worker.join();
}

TEST(EventGate, OwnerThreadDeliveryQueuesWithoutWaiting)
{
    Queue queue;
    EventGate gate([&](QueuedEvent e) { queue.push(std::move(e)); });
    uint8_t zeros[8] = {};
    gate.deliver(nullptr, -2, zeros, sizeof zeros); // would hang if it waited
    EXPECT_EQ(queue.size(), 1u);
}

TEST(EventGate, DestroyReleasesAWaitingWorkerAndDropsLaterEvents)
{
    Queue queue;
    EventGate gate([&](QueuedEvent e) { queue.push(std::move(e)); });
    std::atomic<int> delivered {0};
    std::atomic<bool> stop {false};
    std::thread worker([&] {
        uint8_t b = 0;
        while (!stop) {
            gate.deliver(nullptr, -2, &b, 1);
            ++delivered;
        }
    });
    QueuedEvent first = queue.pop(); // the worker is parked on it
    {
        EventGate::DestroyScope destroying(gate);
        EXPECT_FALSE(gate.isCurrent(first));
        // The library's stop joins its worker here; it must get through.
        while (delivered.load() < 1000)
            std::this_thread::yield();
        stop = true;
        worker.join();
    }
    EXPECT_GE(gate.droppedCount(), 999u);
    EXPECT_EQ(queue.size(), 0u);
}

TEST(EventGate, ReleaseLetsTheWorkerPostWithoutWaiting)
{
    Queue queue;
    EventGate gate([&](QueuedEvent e) { queue.push(std::move(e)); });
    std::atomic<bool> done {false};
    std::thread worker([&] {
        uint8_t b = 0;
        gate.deliver(nullptr, -1, &b, 1);
        gate.deliver(nullptr, -2, &b, 1);
        gate.deliver(nullptr, 0, &b, 1);
        done = true;
    });
    QueuedEvent first = queue.pop();
    {
        // e.g. clearing statistics, whose library call may wait for the worker
        EventGate::ReleaseScope released(gate);
        while (!done)
            std::this_thread::yield();
    }
    worker.join();
    // Nothing lost and the order kept: the later two are queued behind.
    EXPECT_EQ(first.code, -1);
    EXPECT_EQ(queue.pop().code, -2);
    EXPECT_EQ(queue.pop().code, 0);
    EXPECT_TRUE(gate.isCurrent(first));
}

TEST(EventGate, EventsAfterDestroyBelongToTheNextPort)
{
    Queue queue;
    EventGate gate([&](QueuedEvent e) { queue.push(std::move(e)); });
    uint8_t b = 0;
    gate.deliver(nullptr, -2, &b, 1);
    QueuedEvent old = queue.pop();
    gate.beginDestroy();
    gate.endDestroy();
    gate.deliver(nullptr, -2, &b, 1);
    QueuedEvent fresh = queue.pop();
    EXPECT_FALSE(gate.isCurrent(old));
    EXPECT_TRUE(gate.isCurrent(fresh));
}

} // namespace
