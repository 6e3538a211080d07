#include "socket_tcp_cli_port.h"

#include <algorithm>

#include "byte_io.h"
#include "port_texts.h"
#include "socket_io.h"

namespace qx {

CSocketTcpCliPort::CSocketTcpCliPort(const PortSettings &settings, EventCallback callback)
    : PortBase(settings, callback)
{
}

CSocketTcpCliPort::~CSocketTcpCliPort()
{
    closeTransport();
}

bool CSocketTcpCliPort::openTransport()
{
    closeTransport();
    sockaddr_in module {};
    m_socket = openModuleSocket(SOCK_STREAM, 0, module, texts::kSocketCreateError,
                                texts::kSocketBindError);
    return m_socket != kNoSocket;
}

void CSocketTcpCliPort::closeTransport()
{
    closeSocket(m_socket);
    endNetwork();
}

void CSocketTcpCliPort::writeFrame(const uint8_t *data, std::size_t length)
{
    sendInPieces(*this, m_socket, data, length, nullptr);
}

CSocketTcpCliPort::Connect CSocketTcpCliPort::startConnect()
{
    sockaddr_in module {};
    parseIpv4(settingText(settings(), SettingsLayout::kModuleAddress, SettingsLayout::kAddressSize),
              false, getU16le(settings(), SettingsLayout::kModulePort), module);
    switch (qx::startConnect(m_socket, module)) {
    case 1:
        return Connect::Established;
    case 0:
        return Connect::Pending;
    default:
        return Connect::Failed;
    }
}

CSocketTcpCliPort::Connect CSocketTcpCliPort::checkConnect(int waitMs)
{
    pollfd p[2] = {{m_socket, POLLOUT, 0}, {wakeSocket(), POLLIN, 0}};
    if (pollSockets(p, 2, waitMs) <= 0)
        return Connect::Pending;
    if (p[1].revents != 0)
        drainWake();
    if (p[0].revents == 0)
        return Connect::Pending;
    // A refused connect also makes the socket writable; only the socket's
    // error tells the two apart.
    if (pendingError(m_socket) != 0)
        return Connect::Failed;
    return (p[0].revents & POLLOUT) != 0 ? Connect::Established : Connect::Pending;
}

void CSocketTcpCliPort::endConnection(int32_t state)
{
    endingOnItsOwn();
    closeSocket(m_socket);
    endNetwork();
    engine().clear();
    reportState(state);
}

void CSocketTcpCliPort::threadBody()
{
    beginPacing();
    const Clock::time_point start = Clock::now();
    Connect connect = startConnect();
    while (!stopRequested()) {
        if (connect == Connect::Pending) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(
                start + kConnectLimit - Clock::now());
            connect = checkConnect(static_cast<int>(
                std::clamp<int64_t>(left.count(), 0, kIdleWait.count())));
        }
        if (connect == Connect::Failed) {
            endConnection(kStateConnectTimeout);
            return;
        }
        if (connect == Connect::Pending) {
            if (Clock::now() - start >= kConnectLimit) {
                endConnection(kStateConnectTimeout);
                return;
            }
            continue;
        }
        break;
    }
    if (stopRequested())
        return;
    reportState(kStateRunning);
    pauseFor(kAfterConnect);

    while (!stopRequested()) {
        pollfd p[2] = {{m_socket, POLLIN, 0}, {wakeSocket(), POLLIN, 0}};
        if (waitNetworkPass(p, 2, passWaitMs()) < 0)
            continue;
        if (p[0].revents != 0) {
            const std::ptrdiff_t n = receiveSome(m_socket, m_receive.data(), m_receive.size());
            if (n > 0) {
                engine().append(m_receive.data(), static_cast<std::size_t>(n));
            } else if (n == 0 || lastSocketError() == SocketError::Reset) {
                endConnection(kStateClosedByPeer);
                return;
            } else if (stopRequested()) {
                return;
            }
        }
        decodeAndDeliver();
        if (sendDue()) {
            if (socketWritable(m_socket))
                sendNext();
            else
                sendBlocked();
        }
    }
}

} // namespace qx
