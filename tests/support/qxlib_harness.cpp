#include "qxlib_harness.h"

#include <algorithm>
#include <array>

#include "byte_io.h"
#include "connection_event.h"
#include "event_codes.h"
#include "identity_record.h"
#include "port_settings.h"
#include "response_records.h"
#include "statistics_record.h"

namespace qxtest {

namespace {

std::size_t recordSize(int32_t code, const void *data)
{
    switch (code) {
    case qx::kEventLog:
        return qx::StatisticsLayout::kSize;
    case qx::kEventConnection:
        return qx::ConnectionLayout::kSize;
    case qx::kEventIdentity:
        return qx::IdentityLayout::kSize;
    case qx::kEventInputs:
    case qx::kEventCoils:
        return qx::BitRecordLayout::kSize;
    case qx::kEventInputRegisters:
    case qx::kEventHoldingRegisters:
    case qx::kEventStatusReport:
        return qx::RegisterRecordLayout::kSize;
    case qx::kEventParamsRead:
        return qx::RegisterRecordLayout::kParamSize;
    case qx::kEventParamsWritten:
    case qx::kEventBiosPacket:
    case qx::kEventFirmwarePacket:
    case qx::kEventPlcPacket:
        return qx::TransferReplyLayout::kSize;
    default:
        (void)data;
        return qx::EmptyRecordLayout::kSize;
    }
}

using SettingsBlock = std::array<uint8_t, qx::SettingsLayout::kSize>;

SettingsBlock blank(uint32_t type, uint32_t framing)
{
    SettingsBlock b;
    // the host does not clear the block: unused bytes carry noise
    b.fill(0xA5);
    qx::putU32le(b.data(), qx::SettingsLayout::kTransportType, type);
    qx::putU32le(b.data(), qx::SettingsLayout::kFramingMode, framing);
    return b;
}

void setText(SettingsBlock &b, std::size_t offset, std::size_t size, const std::string &text)
{
    qx::putText(b.data(), offset, size, text.c_str());
}

} // namespace

EventLog &EventLog::instance()
{
    static EventLog log;
    return log;
}

void EventLog::callback(void *port, int32_t code, const void *data)
{
    RecordedEvent event;
    event.port = port;
    event.code = code;
    event.thread = std::this_thread::get_id();
    const auto *bytes = static_cast<const uint8_t *>(data);
    event.data.assign(bytes, bytes + recordSize(code, data));
    EventLog &log = instance();
    std::function<void(const RecordedEvent &)> hook;
    {
        std::lock_guard<std::mutex> lock(log.m_lock);
        log.m_events.push_back(event);
        hook = log.m_hook;
    }
    log.m_changed.notify_all();
    if (hook)
        hook(event);
}

void EventLog::clear()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_events.clear();
}

std::vector<RecordedEvent> EventLog::events() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_events;
}

std::vector<RecordedEvent> EventLog::events(int32_t code) const
{
    std::lock_guard<std::mutex> lock(m_lock);
    std::vector<RecordedEvent> out;
    for (const RecordedEvent &e : m_events)
        if (e.code == code)
            out.push_back(e);
    return out;
}

bool EventLog::waitFor(const std::function<bool(const std::vector<RecordedEvent> &)> &pred,
                       std::chrono::milliseconds limit)
{
    std::unique_lock<std::mutex> lock(m_lock);
    return m_changed.wait_for(lock, limit, [&] { return pred(m_events); });
}

RecordedEvent EventLog::waitForEvent(int32_t code, std::size_t n, std::chrono::milliseconds limit)
{
    RecordedEvent found;
    waitFor(
        [&](const std::vector<RecordedEvent> &events) {
            std::size_t seen = 0;
            for (const RecordedEvent &e : events) {
                if (e.code == code && ++seen == n) {
                    found = e;
                    return true;
                }
            }
            return false;
        },
        limit);
    return found;
}

bool EventLog::waitForState(int32_t state, std::chrono::milliseconds limit)
{
    return waitFor(
        [&](const std::vector<RecordedEvent> &events) {
            for (const RecordedEvent &e : events)
                if (e.code == qx::kEventConnection && stateOf(e) == state)
                    return true;
            return false;
        },
        limit);
}

void EventLog::setHook(std::function<void(const RecordedEvent &)> hook)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_hook = std::move(hook);
}

int32_t stateOf(const RecordedEvent &event)
{
    return qx::getI32le(event.data.data(), qx::ConnectionLayout::kState);
}

Bytes registerData(const RecordedEvent &event)
{
    namespace RL = qx::RegisterRecordLayout;
    const int32_t n = qx::getI32le(event.data.data(), RL::kLength);
    const std::size_t end = std::min(event.data.size(), RL::kData + static_cast<std::size_t>(std::max(n, 0)));
    return Bytes(event.data.begin() + RL::kData, event.data.begin() + static_cast<std::ptrdiff_t>(end));
}

std::vector<int32_t> statesOf(const std::vector<RecordedEvent> &events)
{
    std::vector<int32_t> states;
    for (const RecordedEvent &e : events)
        if (e.code == qx::kEventConnection)
            states.push_back(stateOf(e));
    return states;
}

PortSettings tcpServerSettings(uint16_t listenPort)
{
    namespace L = qx::SettingsLayout;
    SettingsBlock b = blank(qx::kTransportTcpServer, qx::kFramingTcp);
    setText(b, L::kLocalAddress, L::kAddressSize, "127.0.0.1");
    qx::putU16le(b.data(), L::kListenPort, listenPort);
    return qx::settingsFromBytes(b.data());
}

PortSettings tcpClientSettings(uint16_t modulePort, const char *moduleAddress,
                               const char *localAddress)
{
    namespace L = qx::SettingsLayout;
    SettingsBlock b = blank(qx::kTransportTcpClient, qx::kFramingTcp);
    setText(b, L::kLocalAddress, L::kAddressSize, localAddress);
    setText(b, L::kModuleAddress, L::kAddressSize, moduleAddress);
    qx::putU16le(b.data(), L::kModulePort, modulePort);
    return qx::settingsFromBytes(b.data());
}

PortSettings udpSettings(uint16_t modulePort, uint16_t localPort)
{
    namespace L = qx::SettingsLayout;
    SettingsBlock b = blank(qx::kTransportUdp, qx::kFramingTcp);
    setText(b, L::kLocalAddress, L::kAddressSize, "127.0.0.1");
    setText(b, L::kModuleAddress, L::kAddressSize, "127.0.0.1");
    qx::putU16le(b.data(), L::kModulePort, modulePort);
    qx::putU16le(b.data(), L::kLocalPort, localPort);
    return qx::settingsFromBytes(b.data());
}

PortSettings serialSettings(const std::string &device, uint32_t baud, uint8_t dataBits,
                            uint8_t parity, uint8_t stopBits)
{
    namespace L = qx::SettingsLayout;
    SettingsBlock b = blank(qx::kTransportSerial, qx::kFramingRtu);
    setText(b, L::kPortName, L::kPortNameSize, device);
    qx::putU32le(b.data(), L::kBaudRate, baud);
    b[L::kDataBits] = dataBits;
    b[L::kParity] = parity;
    b[L::kStopBits] = stopBits;
    return qx::settingsFromBytes(b.data());
}

qx::RequestRecord readRequest(uint8_t mode, uint8_t address, uint32_t start, uint32_t quantity)
{
    qx::RequestRecord r;
    r.setMode(mode);
    r.setCounter(mode == qx::kModeCounted ? 1 : 0);
    r.setAddress(address);
    r.setStart(start);
    r.setQuantity(quantity);
    return r;
}

UdpPeer::UdpPeer()
{
    fd = openUdp(port);
}

UdpPeer::~UdpPeer()
{
    closeDescriptor(fd);
}

UdpPeer::Datagram UdpPeer::receive(std::chrono::milliseconds limit)
{
    Datagram d;
    d.received = receiveDatagram(fd, d.bytes, d.from, limit);
    return d;
}

void UdpPeer::send(const std::vector<uint8_t> &bytes, const sockaddr_in &to)
{
    sendDatagram(fd, bytes, to);
}

void resetLibrary()
{
    DLL_API_OBJ_DESTROY(0);
    PortSettings none {};
    none.word[0] = qx::kTransportNone;
    intptr_t handle = 0;
    DLL_API_OBJ_CREATE(none, nullptr, &handle);
    EventLog::instance().setHook(nullptr);
}

} // namespace qxtest
