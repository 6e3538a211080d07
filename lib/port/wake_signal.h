// WakeSignal: how a host thread wakes a port's worker out of its wait when it
// places a command or asks for a stop. The worker waits on its descriptors
// and on this signal together, so an idle port costs no CPU and a command
// goes out at once.
#pragma once

#include "socket_api.h"

namespace qx {

class WakeSignal
{
public:
    WakeSignal();
    ~WakeSignal();
    WakeSignal(const WakeSignal &) = delete;
    WakeSignal &operator=(const WakeSignal &) = delete;

    // Any thread; raising a raised signal changes nothing.
    void raise();
    // The worker, once it has seen the signal.
    void drain();

    // Readable while raised, for a poll set beside the transport's sockets:
    // an eventfd on Linux, a loopback datagram socket on Windows.
    SocketHandle pollable() const { return m_pollable; }
    // Set while raised, for a wait beside a serial line's overlapped read
    // (a manual-reset event on Windows; null on Linux, where the line is
    // polled with pollable()).
    void *event() const { return m_event; }

private:
    NetworkSession m_network;
    SocketHandle m_pollable = kNoSocket;
    void *m_event = nullptr;
};

} // namespace qx
