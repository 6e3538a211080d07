#include "port_test_support.h"

#include <cerrno>
#include <cstring>

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include "byte_io.h"
#include "connection_event.h"
#include "crc16.h"
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

void setText(PortSettings &s, std::size_t offset, std::size_t size, const std::string &text)
{
    auto *bytes = reinterpret_cast<uint8_t *>(s.word);
    qx::putText(bytes, offset, size, text.c_str());
}

uint8_t *bytesOf(PortSettings &s)
{
    return reinterpret_cast<uint8_t *>(s.word);
}

PortSettings blank(uint32_t type, uint32_t framing)
{
    PortSettings s;
    // the host does not clear the block: unused bytes carry noise
    std::memset(&s, 0xA5, sizeof s);
    s.word[0] = type;
    s.word[1] = framing;
    return s;
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
    PortSettings s = blank(qx::kTransportTcpServer, qx::kFramingTcp);
    setText(s, qx::SettingsLayout::kLocalAddress, qx::SettingsLayout::kAddressSize, "127.0.0.1");
    qx::putU16le(bytesOf(s), qx::SettingsLayout::kListenPort, listenPort);
    return s;
}

PortSettings tcpClientSettings(uint16_t modulePort, const char *moduleAddress)
{
    PortSettings s = blank(qx::kTransportTcpClient, qx::kFramingTcp);
    setText(s, qx::SettingsLayout::kLocalAddress, qx::SettingsLayout::kAddressSize, "127.0.0.1");
    setText(s, qx::SettingsLayout::kModuleAddress, qx::SettingsLayout::kAddressSize, moduleAddress);
    qx::putU16le(bytesOf(s), qx::SettingsLayout::kModulePort, modulePort);
    return s;
}

PortSettings udpSettings(uint16_t modulePort, uint16_t localPort)
{
    PortSettings s = blank(qx::kTransportUdp, qx::kFramingTcp);
    setText(s, qx::SettingsLayout::kLocalAddress, qx::SettingsLayout::kAddressSize, "127.0.0.1");
    setText(s, qx::SettingsLayout::kModuleAddress, qx::SettingsLayout::kAddressSize, "127.0.0.1");
    qx::putU16le(bytesOf(s), qx::SettingsLayout::kModulePort, modulePort);
    qx::putU16le(bytesOf(s), qx::SettingsLayout::kLocalPort, localPort);
    return s;
}

PortSettings serialSettings(const std::string &device, uint32_t baud, uint8_t dataBits,
                            uint8_t parity, uint8_t stopBits)
{
    PortSettings s = blank(qx::kTransportSerial, qx::kFramingRtu);
    setText(s, qx::SettingsLayout::kPortName, qx::SettingsLayout::kPortNameSize, device);
    qx::putU32le(bytesOf(s), qx::SettingsLayout::kBaudRate, baud);
    bytesOf(s)[qx::SettingsLayout::kDataBits] = dataBits;
    bytesOf(s)[qx::SettingsLayout::kParity] = parity;
    bytesOf(s)[qx::SettingsLayout::kStopBits] = stopBits;
    return s;
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

uint16_t freePort(int type)
{
    const int fd = ::socket(AF_INET, type, 0);
    sockaddr_in a = loopback(0);
    ::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
    const uint16_t port = localPortOf(fd);
    ::close(fd);
    return port;
}

uint16_t localPortOf(int fd)
{
    sockaddr_in a {};
    socklen_t size = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &size);
    return ntohs(a.sin_port);
}

sockaddr_in loopback(uint16_t port)
{
    sockaddr_in a {};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

PtyPair::PtyPair()
{
    char name[128] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
        return;
    slavePath = name;
    termios raw {};
    ::tcgetattr(master, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(master, TCSANOW, &raw);
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
}

PtyPair::~PtyPair()
{
    if (master >= 0)
        ::close(master);
    if (slave >= 0)
        ::close(slave);
}

std::vector<uint8_t> readExactly(int fd, std::size_t n, std::chrono::milliseconds limit)
{
    std::vector<uint8_t> out;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (out.size() < n) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd p {fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0)
            continue;
        uint8_t buffer[4096];
        const ssize_t got = ::read(fd, buffer, std::min(sizeof buffer, n - out.size()));
        if (got <= 0)
            break;
        out.insert(out.end(), buffer, buffer + got);
    }
    return out;
}

void writeAll(int fd, const std::vector<uint8_t> &bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

std::vector<uint8_t> withCrc(std::vector<uint8_t> bytes)
{
    const uint16_t crc = qx::crc16(bytes.data(), bytes.size());
    bytes.push_back(static_cast<uint8_t>(crc & 0xff));
    bytes.push_back(static_cast<uint8_t>(crc >> 8));
    return bytes;
}

std::vector<uint8_t> mbap(uint8_t unit, const std::vector<uint8_t> &pdu)
{
    const std::size_t length = pdu.size() + 1;
    std::vector<uint8_t> frame(7 + pdu.size(), 0);
    frame[4] = static_cast<uint8_t>(length >> 8);
    frame[5] = static_cast<uint8_t>(length & 0xff);
    frame[6] = unit;
    std::copy(pdu.begin(), pdu.end(), frame.begin() + 7);
    return frame;
}

UdpPeer::UdpPeer()
{
    fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a = loopback(0);
    ::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
    port = localPortOf(fd);
}

UdpPeer::~UdpPeer()
{
    ::close(fd);
}

UdpPeer::Datagram UdpPeer::receive(std::chrono::milliseconds limit)
{
    Datagram d;
    pollfd p {fd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(limit.count())) != 1)
        return d;
    uint8_t buffer[65536];
    socklen_t size = sizeof d.from;
    const ssize_t n = ::recvfrom(fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr *>(&d.from),
                                 &size);
    if (n < 0)
        return d;
    d.received = true;
    d.bytes.assign(buffer, buffer + n);
    return d;
}

void UdpPeer::send(const std::vector<uint8_t> &bytes, const sockaddr_in &to)
{
    ::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr *>(&to), sizeof to);
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
