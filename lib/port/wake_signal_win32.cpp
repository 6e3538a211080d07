// The wake-up on Windows: WSAPoll waits on sockets only, so the network
// transports see a datagram socket connected to itself on loopback; a serial
// line's wait sees an event. Raising sets both, draining clears both.
#include "wake_signal.h"

#include <windows.h>

namespace qx {

WakeSignal::WakeSignal()
{
    m_event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!m_network.start())
        return;
    SocketHandle self = openSocket(SOCK_DGRAM);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    if (self == kNoSocket
        || ::bind(self, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0
        || ::getsockname(self, reinterpret_cast<sockaddr *>(&address), &size) != 0
        || ::connect(self, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        closeSocket(self);
        return;
    }
    m_pollable = self;
}

WakeSignal::~WakeSignal()
{
    closeSocket(m_pollable);
    if (m_event != nullptr)
        ::CloseHandle(m_event);
}

void WakeSignal::raise()
{
    const uint8_t one = 1;
    // a full receive queue means the worker is woken all the same
    if (m_pollable != kNoSocket)
        sendSome(m_pollable, &one, 1, nullptr);
    if (m_event != nullptr)
        ::SetEvent(m_event);
}

void WakeSignal::drain()
{
    // the event first: a raise that comes meanwhile sets it again
    if (m_event != nullptr)
        ::ResetEvent(m_event);
    uint8_t bytes[64];
    while (m_pollable != kNoSocket && receiveSome(m_pollable, bytes, sizeof bytes) > 0) {
    }
}

} // namespace qx
