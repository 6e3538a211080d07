#include "write_sender.h"

#include "app_main.h"
#include "event_codes.h"

namespace qx {

WriteSender::WriteSender(AppMain &app, QObject *parent)
    : QObject(parent)
    , m_app(app)
{
    m_clock.start();
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &WriteSender::expire);

    PageHooks &hooks = m_app.hooks();
    m_events.push_back(hooks.add(kEventCoilsWritten, [this](const uint8_t *) { acknowledged(kSlotWriteCoils); }));
    m_events.push_back(
        hooks.add(kEventRegistersWritten, [this](const uint8_t *) { acknowledged(kSlotWriteRegisters); }));
    connect(&m_app, &AppMain::portClosed, this, [this] {
        m_queue.clear();
        m_timer.stop();
    });
}

bool WriteSender::write(SlotRequest request)
{
    // Without a port object the library takes nothing: there is no
    // acknowledgement to wait for.
    if (m_app.portHandle() == 0)
        return m_app.sendRequest(request.slot, request.record, request.length);
    const std::optional<uint8_t> address = m_app.requestAddress();
    if (!address)
        return false;
    request.record.setAddress(*address);
    m_queue.setPollingSlots(m_app.pollingSlots());
    if (auto placeNow = m_queue.submit(request, now())) {
        place(*placeNow);
        schedule();
    }
    return true;
}

void WriteSender::place(const SlotRequest &request)
{
    m_app.placeRecord(request.slot, request.record, request.length);
}

void WriteSender::acknowledged(int slot)
{
    m_queue.setPollingSlots(m_app.pollingSlots());
    if (auto next = m_queue.acknowledged(slot, now()))
        place(*next);
    schedule();
}

void WriteSender::expire()
{
    m_queue.setPollingSlots(m_app.pollingSlots());
    for (const SlotRequest &next : m_queue.expire(now()))
        place(next);
    schedule();
}

void WriteSender::schedule()
{
    const std::optional<int64_t> deadline = m_queue.nextDeadline();
    if (!deadline) {
        m_timer.stop();
        return;
    }
    const int64_t wait = *deadline - now();
    m_timer.start(static_cast<int>(wait > 0 ? wait : 0));
}

} // namespace qx
