// The port object's lifecycle and the callback's events for qxcli.
#include "device_link.h"

#include <chrono>

#include "byte_io.h"
#include "connection_event.h"
#include "connection_rules.h"
#include "event_codes.h"
#include "event_records.h"
#include "mbap_layout.h"
#include "port_settings.h"
#include "statistics_record.h"

namespace qx::cli {

namespace {

using Clock = std::chrono::steady_clock;

// How often a wait looks at Ctrl-C.
constexpr int kCancelPollMs = 50;
// The library delivers an answer's log line 8 ms after the answer; an answer
// that came in time is waited for that long past the deadline.
constexpr int kLogLineGraceMs = 100;
// The library sends a request once the previous one was answered or it gave
// up on it after this long.
constexpr int kLibraryResponseWaitMs = 1000;

std::atomic<DeviceLink *> g_current {nullptr};

int hexDigit(uint8_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool contains(std::initializer_list<int32_t> codes, int32_t code)
{
    for (int32_t c : codes)
        if (c == code)
            return true;
    return false;
}

// The module closed the TCP client's connection or left the TCP server.
bool closesLink(int32_t state)
{
    return state == kStateClosedByPeer || state == kStatePeerDisconnected;
}

int msLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

std::atomic<bool> &cancelRequested()
{
    static std::atomic<bool> flag {false};
    return flag;
}

std::vector<uint8_t> frameOfLogLine(const uint8_t *text, std::size_t length)
{
    // the header ends at the first blank; each byte is a blank and two digits
    std::vector<uint8_t> frame;
    std::size_t i = 0;
    while (i < length && text[i] != ' ')
        ++i;
    while (i + 2 < length && text[i] == ' ') {
        const int hi = hexDigit(text[i + 1]);
        const int lo = hexDigit(text[i + 2]);
        if (hi < 0 || lo < 0)
            break;
        frame.push_back(static_cast<uint8_t>(hi * 16 + lo));
        i += 3;
    }
    return frame;
}

uint8_t exceptionCodeOf(const std::vector<uint8_t> &frame, bool tcpFraming)
{
    const std::size_t fn = tcpFraming ? MbapLayout::kSize : 1;
    if (frame.size() <= fn + 1 || (frame[fn] & 0x80) == 0)
        return 0;
    return frame[fn + 1];
}

DeviceLink::~DeviceLink()
{
    close();
}

void DeviceLink::callback(void *, int32_t code, const void *data)
{
    DeviceLink *link = g_current.load();
    if (link != nullptr && data != nullptr)
        link->onEvent(code, static_cast<const uint8_t *>(data));
}

int DeviceLink::addressOf(const std::vector<uint8_t> &frame) const
{
    const std::size_t at = m_tcpFraming ? MbapLayout::kUnit : 0;
    return frame.size() > at ? frame[at] : -1;
}

void DeviceLink::onEvent(int32_t code, const uint8_t *data)
{
    std::lock_guard lock(m_lock);
    if (code == kEventLog) {
        const uint32_t tx = getU32le(data, StatisticsLayout::kTxCmd);
        const uint32_t rx = getU32le(data, StatisticsLayout::kRxCmd);
        const uint32_t logLength = getU32le(data, StatisticsLayout::kLogLength);
        std::vector<uint8_t> frame;
        if (logLength > 0 && logLength < StatisticsLayout::kLogTextSize)
            frame = frameOfLogLine(data + StatisticsLayout::kLogText, logLength);
        if (tx != m_txCmd) {
            LinkEvent sent;
            sent.kind = LinkEvent::Kind::Sent;
            sent.address = addressOf(frame);
            sent.frame = std::move(frame);
            m_events.push_back(std::move(sent));
        } else if (rx != m_rxCmd && m_unlogged) {
            m_unlogged->address = addressOf(frame);
            m_unlogged->frame = std::move(frame);
            m_events.push_back(std::move(*m_unlogged));
            m_unlogged.reset();
        }
        m_txCmd = tx;
        m_rxCmd = rx;
    } else if (code == kEventConnection) {
        LinkEvent e;
        e.kind = LinkEvent::Kind::Connection;
        e.at = Clock::now();
        e.state = getI32le(data, ConnectionLayout::kState);
        m_events.push_back(std::move(e));
    } else if (const std::size_t size = eventRecordSize(code); size > 0) {
        // every decoded answer is followed by its log line; one that was not
        // (none known) still counts, without an address
        if (m_unlogged)
            m_events.push_back(std::move(*m_unlogged));
        m_unlogged = LinkEvent {};
        m_unlogged->at = Clock::now();
        m_unlogged->code = code;
        m_unlogged->record.assign(data, data + size);
    }
    m_changed.notify_all();
}

WaitResult DeviceLink::next(int timeoutMs, LinkEvent &event)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock lock(m_lock);
    while (m_events.empty()) {
        if (cancelRequested().load())
            return WaitResult::Cancelled;
        const int left = msLeft(deadline);
        if (left <= 0)
            return WaitResult::NoAnswer;
        m_changed.wait_for(lock, std::chrono::milliseconds(std::min(left, kCancelPollMs)));
    }
    if (cancelRequested().load())
        return WaitResult::Cancelled;
    event = std::move(m_events.front());
    m_events.pop_front();
    return WaitResult::Done;
}

bool DeviceLink::answerPendingSince(Clock::time_point deadline)
{
    std::lock_guard lock(m_lock);
    return m_unlogged && m_unlogged->at <= deadline;
}

DeviceLink::OpenResult DeviceLink::open(const LibraryFunctions &library, const PortSettings &settings,
                                        int timeoutMs)
{
    close();
    m_library = library;
    m_settings = settings;
    const std::array<uint8_t, SettingsLayout::kSize> bytes = settingsBytes(settings);
    const uint32_t type = getU32le(bytes.data(), SettingsLayout::kTransportType);
    m_tcpFraming = getI32le(bytes.data(), SettingsLayout::kFramingMode) == kFramingTcp;
    {
        std::lock_guard lock(m_lock);
        m_events.clear();
        m_unlogged.reset();
        m_txCmd = m_rxCmd = 0;
    }
    g_current.store(this);
    OpenResult r;
    intptr_t handle = 0;
    if (m_library.create(settings, &DeviceLink::callback, &handle) != 0 || handle == 0) {
        r.message = "QXLIB refused the port settings";
        return r;
    }
    m_handle = handle;
    const ConnectionKind kind = kindOfTransport(type);
    const int32_t run = m_library.run(m_handle);
    if (run != 0) {
        const OpenOutcome outcome = openOutcome(kind, run);
        if (outcome.message)
            r.message = outcome.message;
        if (outcome.status)
            r.message += std::string(r.message.empty() ? "" : "\n") + outcome.status;
        close();
        return r;
    }
    const int32_t ready = kind == ConnectionKind::TcpServer ? kStatePeerConnected : kStateRunning;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        LinkEvent e;
        r.wait = next(msLeft(deadline), e);
        if (r.wait != WaitResult::Done)
            return r;
        if (e.kind != LinkEvent::Kind::Connection)
            continue;
        if (e.state == ready) {
            r.ok = true;
            return r;
        }
        const ConnectionEffect effect = connectionEffect(type, e.state);
        if (e.state == kStateConnectTimeout || effect.linkClosed) {
            r.wait = WaitResult::LinkLost;
            r.message = effect.status ? effect.status : "";
            return r;
        }
    }
}

DeviceLink::OpenResult DeviceLink::reopen(int timeoutMs)
{
    const LibraryFunctions library = m_library;
    const PortSettings settings = m_settings;
    return open(library, settings, timeoutMs);
}

void DeviceLink::close()
{
    if (m_handle != 0) {
        m_library.destroy(m_handle);
        m_handle = 0;
    }
    DeviceLink *self = this;
    g_current.compare_exchange_strong(self, nullptr);
}

void DeviceLink::place(const SlotRequest &request, bool clearReceive)
{
    if (m_handle == 0)
        return;
    if (clearReceive)
        m_library.rxbuffClr(m_handle);
    m_library.cmd(m_handle, request.slot, request.record.data(), request.length);
}

WaitResult DeviceLink::waitSent(uint8_t address, int timeoutMs)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        LinkEvent e;
        const WaitResult w = next(msLeft(deadline), e);
        if (w != WaitResult::Done)
            return w;
        if (e.kind == LinkEvent::Kind::Sent && e.address == address)
            return WaitResult::Done;
        if (e.kind == LinkEvent::Kind::Connection && closesLink(e.state))
            return WaitResult::LinkLost;
    }
}

WaitResult DeviceLink::waitAnswer(uint8_t address, std::initializer_list<int32_t> codes, int timeoutMs,
                                  LinkEvent &answer, std::vector<LinkEvent> *late)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    Clock::time_point waitUntil = deadline;
    for (;;) {
        LinkEvent e;
        const WaitResult w = next(msLeft(waitUntil), e);
        if (w == WaitResult::NoAnswer && waitUntil == deadline && answerPendingSince(deadline)) {
            waitUntil = Clock::now() + std::chrono::milliseconds(kLogLineGraceMs);
            continue;
        }
        if (w != WaitResult::Done)
            return w;
        if (e.kind == LinkEvent::Kind::Answer && e.at > deadline) {
            // too late for this wait, whoever sent it
            if (late)
                late->push_back(std::move(e));
            return WaitResult::NoAnswer;
        }
        if (e.kind == LinkEvent::Kind::Connection) {
            if (closesLink(e.state))
                return WaitResult::LinkLost;
            continue;
        }
        if (e.kind != LinkEvent::Kind::Answer)
            continue;
        if (e.address != address) {
            if (late)
                late->push_back(std::move(e));
            continue;
        }
        if (contains(codes, e.code) || e.code == kEventOther) {
            answer = std::move(e);
            return WaitResult::Done;
        }
    }
}

WaitResult DeviceLink::exchange(const SlotRequest &request, std::initializer_list<int32_t> codes,
                                int timeoutMs, LinkEvent &answer, bool clearReceive)
{
    const uint8_t address = request.record.address();
    place(request, clearReceive);
    const WaitResult sent = waitSent(address, timeoutMs + kLibraryResponseWaitMs);
    if (sent != WaitResult::Done)
        return sent;
    return waitAnswer(address, codes, timeoutMs, answer);
}

} // namespace qx::cli
