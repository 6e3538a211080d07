// BSD sockets with poll(): what the transports need of them on Linux.
#include "socket_api.h"

#include <cerrno>

#include <fcntl.h>
#include <netinet/tcp.h>
#include <unistd.h>

namespace qx {

namespace {

void setNoDelay(int fd)
{
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

} // namespace

SocketError lastSocketError()
{
    switch (errno) {
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
        return SocketError::WouldBlock;
    case EINTR:
        return SocketError::Interrupted;
    case EINPROGRESS:
        return SocketError::InProgress;
    case ECONNRESET:
        return SocketError::Reset;
    default:
        return SocketError::Other;
    }
}

// The socket layer needs no start on Linux.
bool NetworkSession::start()
{
    m_started = true;
    return true;
}

void NetworkSession::end()
{
    m_started = false;
}

SocketHandle openSocket(int type)
{
    const int fd = ::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd >= 0 && type == SOCK_STREAM)
        setNoDelay(fd);
    return fd;
}

void closeSocket(SocketHandle &socket)
{
    if (socket >= 0)
        ::close(socket);
    socket = kNoSocket;
}

void allowQuickRebind(SocketHandle listener)
{
    const int on = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
}

SocketHandle acceptSocket(SocketHandle listener, sockaddr_in &peer)
{
    socklen_t size = sizeof peer;
    const int fd = ::accept4(listener, reinterpret_cast<sockaddr *>(&peer), &size,
                             SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd >= 0) {
        setNoDelay(fd);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    return fd;
}

int startConnect(SocketHandle socket, const sockaddr_in &to)
{
    if (::connect(socket, reinterpret_cast<const sockaddr *>(&to), sizeof to) == 0)
        return 1;
    return errno == EINPROGRESS || errno == EINTR ? 0 : -1;
}

int pendingError(SocketHandle socket)
{
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
        return errno != 0 ? errno : -1;
    return error;
}

int pollSockets(pollfd *fds, std::size_t count, int waitMs)
{
    return ::poll(fds, count, waitMs);
}

std::ptrdiff_t receiveSome(SocketHandle socket, uint8_t *buffer, std::size_t size)
{
    return ::recv(socket, buffer, size, MSG_DONTWAIT);
}

std::ptrdiff_t receiveDatagram(SocketHandle socket, uint8_t *buffer, std::size_t size,
                               sockaddr_in &from, bool &fromIpv4)
{
    socklen_t fromSize = sizeof from;
    const ssize_t n = ::recvfrom(socket, buffer, size, MSG_DONTWAIT,
                                 reinterpret_cast<sockaddr *>(&from), &fromSize);
    fromIpv4 = fromSize == sizeof from && from.sin_family == AF_INET;
    return n;
}

std::ptrdiff_t sendSome(SocketHandle socket, const uint8_t *data, std::size_t length,
                        const sockaddr_in *to)
{
    if (to != nullptr)
        return ::sendto(socket, data, length, MSG_NOSIGNAL,
                        reinterpret_cast<const sockaddr *>(to), sizeof *to);
    return ::send(socket, data, length, MSG_NOSIGNAL);
}

} // namespace qx
