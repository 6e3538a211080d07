#include "socket_tcp_port.h"

#include <cstdio>
#include <string>

#include "byte_io.h"
#include "port_texts.h"
#include "socket_io.h"

namespace qx {

CSocketTcpPort::CSocketTcpPort(const PortSettings &settings, EventCallback callback)
    : PortBase(settings, callback)
{
    m_clients.reserve(kMaxClients);
    m_pollSet.reserve(kMaxClients + 2);
}

CSocketTcpPort::~CSocketTcpPort()
{
    closeTransport();
}

bool CSocketTcpPort::openTransport()
{
    closeTransport();
    if (!startNetwork())
        return false;
    sockaddr_in local {};
    const uint16_t port = getU16le(settings(), SettingsLayout::kListenPort);
    const bool addressValid = parseIpv4(
        settingText(settings(), SettingsLayout::kLocalAddress, SettingsLayout::kAddressSize), true,
        port, local);
    m_listener = openSocket(SOCK_STREAM);
    if (m_listener == kNoSocket) {
        diagnostic(texts::kSocketCreateError);
        endNetwork();
        reportOpenFailure(kStateOpenFailed);
        return false;
    }
    // a module's connection left in TIME_WAIT must not block the next listen
    allowQuickRebind(m_listener);
    if (!addressValid
        || ::bind(m_listener, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0) {
        diagnostic(texts::kBindError);
        closeSocket(m_listener);
        endNetwork();
        reportOpenFailure(kStateBindFailed);
        return false;
    }
    if (::listen(m_listener, SOMAXCONN) != 0) {
        diagnostic(texts::kListenError);
        closeSocket(m_listener);
        endNetwork();
        reportOpenFailure(kStateListenFailed);
        return false;
    }
    std::printf("%s%u\n", texts::kServerListening, static_cast<unsigned>(port));
    std::fflush(stdout);
    return true;
}

void CSocketTcpPort::closeTransport()
{
    for (PeerInfo &client : m_clients)
        closeSocket(client.socket);
    m_clients.clear();
    closeSocket(m_listener);
    endNetwork();
}

void CSocketTcpPort::writeFrame(const uint8_t *data, std::size_t length)
{
    sendInPieces(*this, m_target, data, length, nullptr);
}

void CSocketTcpPort::acceptOne()
{
    sockaddr_in address {};
    SocketHandle fd = acceptSocket(m_listener, address);
    if (fd == kNoSocket) {
        const SocketError error = lastSocketError();
        if (error == SocketError::WouldBlock || error == SocketError::Interrupted)
            return; // the peer gave up before we took it
        diagnostic(texts::kAcceptError);
        PeerInfo none;
        reportState(kStateAcceptFailed, &none);
        // the listener stays readable while accept keeps failing (out of
        // descriptors): report it once a second, not once a pass
        pauseFor(kAfterAccept);
        return;
    }
    if (m_clients.size() >= kMaxClients) {
        // a module that could be neither read nor written would sit there
        // believing it is connected: tell it at once
        diagnostic(texts::kTooManyClients);
        closeSocket(fd);
        return;
    }
    PeerInfo peer;
    fillPeer(address, fd, peer);
    m_clients.push_back(peer);
    reportState(kStatePeerConnected, &peer);
    pauseFor(kAfterAccept);
}

void CSocketTcpPort::readClients(const std::vector<pollfd> &polled)
{
    // polled[0] is the listener, polled[1] the wake-up, polled[i + 2] the
    // client m_clients[i] had when the poll set was built; clients only go
    // away in this walk
    std::size_t client = 0;
    for (std::size_t i = 2; i < polled.size(); ++i) {
        if (client >= m_clients.size() || m_clients[client].socket != polled[i].fd) {
            continue;
        }
        if (polled[i].revents == 0) {
            ++client;
            continue;
        }
        const std::ptrdiff_t n = receiveSome(polled[i].fd, m_receive.data(), m_receive.size());
        const SocketError error = n < 0 ? lastSocketError() : SocketError::Other;
        if (n > 0) {
            engine().append(m_receive.data(), static_cast<std::size_t>(n));
            ++client;
        } else if (n == 0 || error == SocketError::Reset) {
            const PeerInfo peer = m_clients[client];
            closeSocket(m_clients[client].socket);
            m_clients.erase(m_clients.begin() + static_cast<std::ptrdiff_t>(client));
            reportState(kStatePeerDisconnected, &peer);
        } else {
            if (error != SocketError::WouldBlock && error != SocketError::Interrupted)
                diagnostic(texts::kRecvError);
            ++client;
        }
    }
}

void CSocketTcpPort::sendToClients()
{
    for (const PeerInfo &client : m_clients) {
        if (!sendDue())
            return;
        if (!socketWritable(client.socket)) {
            sendBlocked();
            continue;
        }
        m_target = client.socket;
        sendNext();
    }
}

void CSocketTcpPort::threadBody()
{
    beginPacing();
    while (!stopRequested()) {
        m_pollSet.clear();
        m_pollSet.push_back(pollfd {m_listener, POLLIN, 0});
        m_pollSet.push_back(pollfd {wakeSocket(), POLLIN, 0});
        for (const PeerInfo &client : m_clients)
            m_pollSet.push_back(pollfd {client.socket, POLLIN, 0});
        // without a module there is nothing to send; a connection wakes the poll
        const int wait = m_clients.empty() ? static_cast<int>(kIdleWait.count()) : passWaitMs();
        const int ready = waitNetworkPass(m_pollSet.data(), m_pollSet.size(), wait);
        if (ready < 0)
            continue;
        if ((m_pollSet[0].revents & POLLIN) != 0) {
            // a new module is all this pass does
            acceptOne();
            continue;
        }
        if (ready > 0)
            readClients(m_pollSet);
        decodeAndDeliver();
        sendToClients();
    }
}

} // namespace qx
