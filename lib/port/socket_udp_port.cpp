#include "socket_udp_port.h"

#include <cerrno>

#include <poll.h>
#include <sys/socket.h>

#include "byte_io.h"
#include "port_texts.h"
#include "socket_io.h"

namespace qx {

CSocketUdpPort::CSocketUdpPort(const PortSettings &settings, EventCallback callback)
    : PortBase(settings, callback)
{
}

CSocketUdpPort::~CSocketUdpPort()
{
    closeTransport();
}

bool CSocketUdpPort::openTransport()
{
    closeTransport();
    sockaddr_in local {};
    const bool addressesValid =
        parseIpv4(settingText(settings(), SettingsLayout::kLocalAddress, SettingsLayout::kAddressSize),
                  true, getU16le(settings(), SettingsLayout::kLocalPort), local)
        && parseIpv4(settingText(settings(), SettingsLayout::kModuleAddress,
                                 SettingsLayout::kAddressSize),
                     false, getU16le(settings(), SettingsLayout::kModulePort), m_destination);
    m_socket = openSocket(SOCK_DGRAM);
    if (m_socket < 0) {
        diagnostic(texts::kSocketError);
        reportOpenFailure(kStateOpenFailed);
        return false;
    }
    if (!addressesValid
        || ::bind(m_socket, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0) {
        diagnostic(texts::kBindError);
        closeSocket(m_socket);
        reportOpenFailure(kStateOpenFailed);
        return false;
    }
    return true;
}

void CSocketUdpPort::closeTransport()
{
    closeSocket(m_socket);
}

void CSocketUdpPort::writeFrame(const uint8_t *data, std::size_t length)
{
    sendInPieces(*this, m_socket, data, length, &m_destination);
}

void CSocketUdpPort::threadBody()
{
    beginPacing();
    reportState(kStateRunning);
    while (!stopRequested()) {
        pollfd p[2] = {{m_socket, POLLIN, 0}, {wakeFd(), POLLIN, 0}};
        if (waitNetworkPass(p, 2, passWaitMs()) < 0)
            continue;
        if ((p[0].revents & POLLIN) != 0) {
            sockaddr_in source {};
            socklen_t size = sizeof source;
            const ssize_t n = ::recvfrom(m_socket, m_receive.data(), m_receive.size(), MSG_DONTWAIT,
                                         reinterpret_cast<sockaddr *>(&source), &size);
            if (n > 0) {
                engine().append(m_receive.data(), static_cast<std::size_t>(n));
                if (size == sizeof source && source.sin_family == AF_INET)
                    m_destination = source;
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
