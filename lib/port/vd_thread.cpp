#include "vd_thread.h"

#include <system_error>

#include "process_platform.h"

namespace qx {

VDThread::~VDThread()
{
    // Owners stop the worker before the object goes away; the last owner may
    // be the worker itself, which then must not wait for its own end.
    if (m_thread.joinable()) {
        if (m_thread.get_id() == std::this_thread::get_id())
            m_thread.detach();
        else
            m_thread.join();
    }
}

bool VDThread::workerRunning() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_running;
}

VDThread::StartResult VDThread::startThread(std::shared_ptr<void> keepAlive)
{
    std::unique_lock<std::mutex> lock(m_lock);
    if (m_running)
        return StartResult::AlreadyRunning;
    if (m_thread.joinable()) {
        // a worker that ended on its own (a closed connection) is collected here
        lock.unlock();
        m_thread.join();
        lock.lock();
    }
    StopRequested.store(false, std::memory_order_release);
    m_abandoned = false;
    m_running = true;
    try {
        keepLibraryLoaded();
        m_thread = std::thread(&VDThread::run, this, std::move(keepAlive));
    } catch (const std::system_error &) {
        m_running = false;
        return StartResult::Failed;
    }
    return StartResult::Started;
}

void VDThread::run(VDThread *self, std::shared_ptr<void> keepAlive)
{
    {
        const FineTimer timer;
        self->threadBody();
    }
    std::unique_lock<std::mutex> lock(self->m_lock);
    if (self->m_abandoned) {
        // nobody else touches the transport any more; a new start waits on
        // m_running, so it cannot open while this still closes
        lock.unlock();
        self->releaseAfterAbandon();
        lock.lock();
    }
    self->m_running = false;
    lock.unlock();
    self->m_changed.notify_all();
    // keepAlive goes last: it may be the object's final owner
    keepAlive.reset();
}

void VDThread::requestStop()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        StopRequested.store(true, std::memory_order_release);
    }
    m_changed.notify_all();
}

bool VDThread::stopThread(std::chrono::milliseconds limit)
{
    std::unique_lock<std::mutex> lock(m_lock);
    StopRequested.store(true, std::memory_order_release);
    m_changed.notify_all();
    // A worker abandoned by an earlier stop may still be running: it
    // releases the transport itself, which must not be closed under it.
    if (!m_thread.joinable())
        return !m_running;
    if (m_thread.get_id() == std::this_thread::get_id()) {
        // stopped from inside the host's callback: the worker finishes its
        // pass after the callback returns and cleans up itself
        m_abandoned = m_running;
        m_thread.detach();
        return !m_abandoned;
    }
    const bool ended = m_changed.wait_for(lock, limit, [this] { return !m_running; });
    if (ended) {
        lock.unlock();
        m_thread.join();
        return true;
    }
    m_abandoned = true;
    m_thread.detach();
    return false;
}

bool VDThread::waitForEnd(std::chrono::milliseconds limit)
{
    std::unique_lock<std::mutex> lock(m_lock);
    if (!m_thread.joinable())
        return true;
    if (m_thread.get_id() == std::this_thread::get_id())
        return false;
    if (!m_changed.wait_for(lock, limit, [this] { return !m_running; }))
        return false;
    lock.unlock();
    m_thread.join();
    return true;
}

bool VDThread::pauseFor(std::chrono::milliseconds duration)
{
    std::unique_lock<std::mutex> lock(m_lock);
    return !m_changed.wait_for(lock, duration, [this] { return stopRequested(); });
}

} // namespace qx
