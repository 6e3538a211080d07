// VDThread: the worker-thread base of every port object. Besides starting the
// thread it owns the stop handshake: a stopper waits a bounded time and then
// abandons the worker, and an abandoned worker releases its own resources when
// it finally ends, so nothing it still uses is freed under it.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

namespace qx {

class VDThread
{
public:
    VDThread() = default;
    virtual ~VDThread();
    VDThread(const VDThread &) = delete;
    VDThread &operator=(const VDThread &) = delete;

    bool stopRequested() const { return StopRequested.load(std::memory_order_acquire); }
    // True while a worker body runs (also an abandoned one).
    bool workerRunning() const;
    // Sleeps `duration` unless a stop is asked for first; false in that case.
    bool pauseFor(std::chrono::milliseconds duration);
    // Raises StopRequested without waiting (stopThread waits).
    void requestStop();

protected:
    virtual void threadBody() = 0;
    // Runs on the worker after its body returned, only when the stopper gave
    // up waiting for it; the worker then closes what the stopper left open.
    virtual void releaseAfterAbandon() {}

    enum class StartResult {
        Started,
        AlreadyRunning,
        Failed,
    };
    // keepAlive is held by the worker until it ends, so the object outlives
    // an abandoned worker.
    StartResult startThread(std::shared_ptr<void> keepAlive);
    // Asks the worker to stop and waits at most `limit`. True when the worker
    // has ended (or none existed), false when it was abandoned.
    bool stopThread(std::chrono::milliseconds limit);
    // Waits at most `limit` for a worker that ends on its own; false when it
    // did not end in time or the caller is that worker.
    bool waitForEnd(std::chrono::milliseconds limit);

private:
    static void run(VDThread *self, std::shared_ptr<void> keepAlive);

    std::thread m_thread;
    std::atomic<bool> StopRequested {false};
    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_running = false;
    bool m_abandoned = false;
};

} // namespace qx
