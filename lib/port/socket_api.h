// The operating system's socket calls as the transports need them, one
// declaration for both platforms: BSD sockets with poll() on Linux
// (socket_api_posix.cpp), Windows Sockets 2.2 with WSAPoll()
// (socket_api_win32.cpp). Everything above this layer is platform-free.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#endif

namespace qx {

#if defined(_WIN32)
using SocketHandle = SOCKET;
inline constexpr SocketHandle kNoSocket = INVALID_SOCKET;
#else
using SocketHandle = int;
inline constexpr SocketHandle kNoSocket = -1;
#endif

// What a failed call left behind, as far as the transports tell failures
// apart.
enum class SocketError {
    WouldBlock, // try again when the socket is ready
    Interrupted, // a signal cut the call short
    InProgress, // a non-blocking connect goes on
    Reset, // the peer reset the connection
    Other,
};
SocketError lastSocketError();

// The socket layer of the process: started by a transport's open and ended
// by its close (Windows counts the starts). On failure start() has printed
// the diagnostic line.
class NetworkSession
{
public:
    NetworkSession() = default;
    ~NetworkSession() { end(); }
    NetworkSession(const NetworkSession &) = delete;
    NetworkSession &operator=(const NetworkSession &) = delete;

    bool start();
    void end();

private:
    bool m_started = false;
};

// A non-blocking IPv4 socket of `type` (SOCK_STREAM or SOCK_DGRAM) that child
// processes do not inherit; stream sockets get TCP_NODELAY so a short request
// is not held back. kNoSocket on failure.
SocketHandle openSocket(int type);
void closeSocket(SocketHandle &socket);
// A listening socket may be bound while an earlier connection on its port
// waits in TIME_WAIT, but never beside another listener.
void allowQuickRebind(SocketHandle listener);

// Accepts one connection as a non-blocking socket with TCP_NODELAY;
// kNoSocket on failure (lastSocketError() tells why).
SocketHandle acceptSocket(SocketHandle listener, sockaddr_in &peer);

// Starts a connect on a non-blocking socket: 1 connected, 0 going on, -1
// failed.
int startConnect(SocketHandle socket, const sockaddr_in &to);
// The error of a finished non-blocking connect, 0 when it succeeded.
int pendingError(SocketHandle socket);

// poll() or WSAPoll(): the number of ready sockets, 0 after `waitMs`, -1 on
// failure.
int pollSockets(pollfd *fds, std::size_t count, int waitMs);

// One non-blocking receive; the byte count, 0 at the end of the stream, -1
// on failure.
std::ptrdiff_t receiveSome(SocketHandle socket, uint8_t *buffer, std::size_t size);
// One datagram and its source; `fromIpv4` is false when the source is not an
// IPv4 address.
std::ptrdiff_t receiveDatagram(SocketHandle socket, uint8_t *buffer, std::size_t size,
                               sockaddr_in &from, bool &fromIpv4);
// One send that never raises a signal; a datagram to `to` when it is set.
std::ptrdiff_t sendSome(SocketHandle socket, const uint8_t *data, std::size_t length,
                        const sockaddr_in *to);

} // namespace qx
