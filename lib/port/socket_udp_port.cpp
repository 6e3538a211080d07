#include "socket_udp_port.h"

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
    m_socket = openModuleSocket(SOCK_DGRAM, getU16le(settings(), SettingsLayout::kLocalPort),
                                m_destination, texts::kSocketError, texts::kBindError);
    return m_socket != kNoSocket;
}

void CSocketUdpPort::closeTransport()
{
    closeSocket(m_socket);
    endNetwork();
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
        pollfd p[2] = {{m_socket, POLLIN, 0}, {wakeSocket(), POLLIN, 0}};
        if (waitNetworkPass(p, 2, passWaitMs()) < 0)
            continue;
        if ((p[0].revents & POLLIN) != 0) {
            sockaddr_in source {};
            bool fromIpv4 = false;
            const std::ptrdiff_t n = receiveDatagram(m_socket, m_receive.data(), m_receive.size(),
                                                     source, fromIpv4);
            if (n > 0) {
                engine().append(m_receive.data(), static_cast<std::size_t>(n));
                if (fromIpv4)
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
