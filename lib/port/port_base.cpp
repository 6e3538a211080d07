#include "port_base.h"

#include <algorithm>
#include <cstring>

#include "byte_io.h"
#include "event_codes.h"
#include "port_texts.h"
#include "socket_io.h"

namespace qx {

PortBase::PortBase(const PortSettings &settings, EventCallback callback)
    : m_settings(settingsBytes(settings))
    , m_callback(callback)
    , m_engine(std::make_unique<ProtocolEngine>(
          getI32le(m_settings.data(), SettingsLayout::kFramingMode)))
{
}

PortBase::~PortBase() = default;

void PortBase::wake()
{
    m_wake.raise();
}

int PortBase::waitNetworkPass(pollfd *fds, std::size_t count, int waitMs)
{
    const int ready = pollSockets(fds, count, waitMs);
    if (ready < 0) {
        if (lastSocketError() != SocketError::Interrupted) {
            diagnostic(texts::kSelectError);
            reportState(kStateWaitFailed);
            pauseFor(kPass);
        }
        return -1;
    }
    if (fds[1].revents != 0)
        drainWake();
    return ready;
}

bool PortBase::startNetwork()
{
    if (m_network.start())
        return true;
    reportOpenFailure(kStateOpenFailed);
    return false;
}

SocketHandle PortBase::openModuleSocket(int type, uint16_t localPort, sockaddr_in &module,
                                        const char *createError, const char *bindError)
{
    if (!startNetwork())
        return kNoSocket;
    sockaddr_in local {};
    const bool addressesValid =
        parseIpv4(settingText(settings(), SettingsLayout::kLocalAddress, SettingsLayout::kAddressSize),
                  true, localPort, local)
        && parseIpv4(settingText(settings(), SettingsLayout::kModuleAddress,
                                 SettingsLayout::kAddressSize),
                     false, getU16le(settings(), SettingsLayout::kModulePort), module);
    SocketHandle fd = openSocket(type);
    if (fd == kNoSocket) {
        diagnostic(createError);
        endNetwork();
        reportOpenFailure(kStateOpenFailed);
        return kNoSocket;
    }
    if (!addressesValid
        || ::bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0) {
        diagnostic(bindError);
        closeSocket(fd);
        endNetwork();
        reportOpenFailure(kStateOpenFailed);
        return kNoSocket;
    }
    return fd;
}

int PortBase::passWaitMs(Clock::time_point extraDeadline) const
{
    using std::chrono::milliseconds;
    // a frame left behind by the last decode (two frames in one read) is
    // decoded on the next pass without waiting for the line
    if (m_engine->frameWaiting())
        return 0;
    const Clock::time_point now = Clock::now();
    Clock::time_point until;
    if (!MaySend)
        until = LastSendTime + kResponseWait;
    else if (m_engineIdle)
        until = now + kIdleWait;
    else
        until = now + kPass;
    until = std::min({until, extraDeadline, now + kIdleWait});
    if (until <= now)
        return 0;
    // round up, so the pass does not wake just before the deadline
    return static_cast<int>(
        std::chrono::ceil<milliseconds>(until - now).count());
}

uint32_t PortBase::transportType() const
{
    return getU32le(m_settings.data(), SettingsLayout::kTransportType);
}

int32_t PortBase::open()
{
    if (workerRunning()) {
        // A worker abandoned by an earlier stop still holds the transport
        // until its callback returns; a second worker must not share it. A
        // worker that is ending by itself is waited for.
        if (stopRequested())
            return -2;
        if (!m_workerEnding)
            return 0;
        if (!waitForEnd(kStopLimit))
            return -2;
    }
    m_workerEnding = false;
    if (!openTransport())
        return -1;
    switch (startThread(weak_from_this().lock())) {
    case StartResult::Started:
    case StartResult::AlreadyRunning:
        return 0;
    case StartResult::Failed:
        break;
    }
    return -2;
}

int32_t PortBase::stop()
{
    requestStop();
    wake();
    const bool ended = stopThread(kStopLimit);
    m_engine->clear();
    if (ended)
        closeTransport();
    return stopResult();
}

int32_t PortBase::clearAll()
{
    m_engine->clear();
    return 0;
}

int32_t PortBase::clearStatistics()
{
    m_statistics.clear();
    m_clearedRecord.fill(0);
    deliver(kEventLog, m_clearedRecord.data());
    return 0;
}

int32_t PortBase::putCommand(int32_t slot, const void *record, int32_t length)
{
    if (slot >= 0 && slot < kCommandSlotCount && length >= 0
        && length <= static_cast<int32_t>(ProtocolEngine::kSlotSize) && record != nullptr)
    {
        m_engine->put(slot, record, length);
        wake();
    }
    return 0;
}

void PortBase::clearReceive()
{
    m_engine->clearReceive();
}

void PortBase::deliver(int32_t code, const void *data)
{
    if (m_callback != nullptr)
        m_callback(this, code, data);
}

void PortBase::deliverFromWorker(int32_t code, const void *data)
{
    if (!stopRequested())
        deliver(code, data);
}

void PortBase::reportOpenFailure(int32_t state)
{
    uint8_t event[ConnectionLayout::kSize] = {};
    putU32le(event, ConnectionLayout::kTransportType, transportType());
    putI32le(event, ConnectionLayout::kState, state);
    deliver(kEventConnection, event);
}

void PortBase::reportState(int32_t state, const PeerInfo *peer)
{
    uint8_t event[ConnectionLayout::kSize] = {};
    putU32le(event, ConnectionLayout::kTransportType, transportType());
    putI32le(event, ConnectionLayout::kState, state);
    if (peer != nullptr) {
        putI32le(event, ConnectionLayout::kPeerSocket, static_cast<int32_t>(peer->socket));
        putText(event, ConnectionLayout::kPeerAddress, ConnectionLayout::kPeerAddressSize,
                peer->address);
        putU16le(event, ConnectionLayout::kPeerPort, peer->port);
    }
    deliverFromWorker(kEventConnection, event);
}

void PortBase::beginPacing()
{
    LastSendTime = Clock::now();
    LastResponseTime = LastSendTime;
    MaySend = true;
    m_engineIdle = false;
}

bool PortBase::sendDue() const
{
    return MaySend || Clock::now() - LastSendTime >= kResponseWait;
}

bool PortBase::decodeAndDeliver()
{
    const ProtocolEngine::Event event = m_engine->decode();
    if (event.data == nullptr)
        return false;
    MaySend = true;
    LastResponseTime = Clock::now();
    deliverFromWorker(event.code, event.data);
    pauseFor(kAfterResponse);
    const auto responseMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                LastResponseTime - LastSendTime)
                                .count();
    m_statistics.countResponse(m_engine->frame(), m_engine->frameLength(), responseMs,
                               m_workerRecord.data());
    deliverFromWorker(kEventLog, m_workerRecord.data());
    return true;
}

void PortBase::sendNext()
{
    // a stopped port falls silent, also in the pass that noticed the stop
    if (stopRequested())
        return;
    const ProtocolEngine::Frame frame = m_engine->nextRequest();
    m_engineIdle = frame.data == nullptr || frame.length == 0;
    if (m_engineIdle)
        return;
    // a copy, because the host may clear the engine while a long frame is
    // still going out piece by piece
    const std::size_t length = std::min(frame.length, m_request.size());
    std::memcpy(m_request.data(), frame.data, length);
    writeFrame(m_request.data(), length);
    MaySend = false;
    LastSendTime = Clock::now();
    m_statistics.countRequest(m_request.data(), length, m_workerRecord.data());
    deliverFromWorker(kEventLog, m_workerRecord.data());
}

} // namespace qx
