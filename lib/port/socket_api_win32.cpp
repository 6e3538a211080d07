// Windows Sockets 2.2 with WSAPoll(): what the transports need of them on
// Windows.
#include "socket_api.h"

#include <climits>
#include <vector>

#include <mswsock.h>

#include "port_texts.h"
#include "socket_io.h"

namespace qx {

namespace {

void setNoDelay(SOCKET socket)
{
    const BOOL on = TRUE;
    ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char *>(&on), sizeof on);
}

void setNonBlocking(SOCKET socket)
{
    u_long on = 1;
    ::ioctlsocket(socket, FIONBIO, &on);
}

int clampLength(std::size_t length)
{
    return length > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(length);
}

} // namespace

SocketError lastSocketError()
{
    switch (::WSAGetLastError()) {
    case WSAEWOULDBLOCK:
        return SocketError::WouldBlock;
    case WSAEINTR:
        return SocketError::Interrupted;
    case WSAEINPROGRESS:
    case WSAEALREADY:
        return SocketError::InProgress;
    case WSAECONNRESET:
    case WSAECONNABORTED:
        return SocketError::Reset;
    default:
        return SocketError::Other;
    }
}

bool NetworkSession::start()
{
    if (m_started)
        return true;
    WSADATA data {};
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        diagnostic(texts::kWsaStartupError);
        return false;
    }
    if (LOBYTE(data.wVersion) != 2 || HIBYTE(data.wVersion) != 2) {
        ::WSACleanup();
        diagnostic(texts::kWinsockVersionError);
        return false;
    }
    m_started = true;
    return true;
}

void NetworkSession::end()
{
    if (m_started)
        ::WSACleanup();
    m_started = false;
}

SocketHandle openSocket(int type)
{
    const SOCKET socket = ::WSASocketW(AF_INET, type, 0, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    if (socket == INVALID_SOCKET)
        return kNoSocket;
    setNonBlocking(socket);
    if (type == SOCK_STREAM) {
        setNoDelay(socket);
    } else {
        // A request to a closed port comes back as an ICMP error, which
        // Windows would report on the next receive as a reset connection.
        BOOL report = FALSE;
        DWORD returned = 0;
        ::WSAIoctl(socket, SIO_UDP_CONNRESET, &report, sizeof report, nullptr, 0, &returned,
                   nullptr, nullptr);
    }
    return socket;
}

void closeSocket(SocketHandle &socket)
{
    if (socket != INVALID_SOCKET)
        ::closesocket(socket);
    socket = kNoSocket;
}

void allowQuickRebind(SocketHandle)
{
    // Windows binds a port whose earlier connections wait in TIME_WAIT
    // without any option; SO_REUSEADDR would even let a second listener
    // take a port in use.
}

SocketHandle acceptSocket(SocketHandle listener, sockaddr_in &peer)
{
    int size = sizeof peer;
    const SOCKET socket = ::accept(listener, reinterpret_cast<sockaddr *>(&peer), &size);
    if (socket == INVALID_SOCKET)
        return kNoSocket;
    ::SetHandleInformation(reinterpret_cast<HANDLE>(socket), HANDLE_FLAG_INHERIT, 0);
    setNonBlocking(socket);
    setNoDelay(socket);
    return socket;
}

int startConnect(SocketHandle socket, const sockaddr_in &to)
{
    if (::connect(socket, reinterpret_cast<const sockaddr *>(&to), sizeof to) == 0)
        return 1;
    const int error = ::WSAGetLastError();
    return error == WSAEWOULDBLOCK || error == WSAEINPROGRESS || error == WSAEINTR ? 0 : -1;
}

int pendingError(SocketHandle socket)
{
    int error = 0;
    int size = sizeof error;
    if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char *>(&error), &size) != 0)
        return ::WSAGetLastError();
    return error;
}

int pollSockets(pollfd *fds, std::size_t count, int waitMs)
{
    // WSAPoll fails on an entry that is not a socket, where poll() skips a
    // negative descriptor: such entries are left out.
    std::size_t valid = 0;
    for (std::size_t i = 0; i < count; ++i)
        valid += fds[i].fd != INVALID_SOCKET ? 1 : 0;
    if (valid == count)
        return ::WSAPoll(fds, static_cast<ULONG>(count), waitMs);
    std::vector<pollfd> some;
    for (std::size_t i = 0; i < count; ++i) {
        fds[i].revents = 0;
        if (fds[i].fd != INVALID_SOCKET)
            some.push_back(fds[i]);
    }
    if (some.empty()) {
        ::Sleep(static_cast<DWORD>(waitMs < 0 ? 0 : waitMs));
        return 0;
    }
    const int ready = ::WSAPoll(some.data(), static_cast<ULONG>(some.size()), waitMs);
    for (std::size_t i = 0, j = 0; i < count; ++i)
        if (fds[i].fd != INVALID_SOCKET)
            fds[i].revents = some[j++].revents;
    return ready;
}

std::ptrdiff_t receiveSome(SocketHandle socket, uint8_t *buffer, std::size_t size)
{
    return ::recv(socket, reinterpret_cast<char *>(buffer), clampLength(size), 0);
}

std::ptrdiff_t receiveDatagram(SocketHandle socket, uint8_t *buffer, std::size_t size,
                               sockaddr_in &from, bool &fromIpv4)
{
    int fromSize = sizeof from;
    int n = ::recvfrom(socket, reinterpret_cast<char *>(buffer), clampLength(size), 0,
                       reinterpret_cast<sockaddr *>(&from), &fromSize);
    // a longer datagram fills the buffer and is cut there, as on Linux
    if (n < 0 && ::WSAGetLastError() == WSAEMSGSIZE)
        n = clampLength(size);
    fromIpv4 = fromSize == sizeof from && from.sin_family == AF_INET;
    return n;
}

std::ptrdiff_t sendSome(SocketHandle socket, const uint8_t *data, std::size_t length,
                        const sockaddr_in *to)
{
    const char *bytes = reinterpret_cast<const char *>(data);
    if (to != nullptr)
        return ::sendto(socket, bytes, clampLength(length), 0,
                        reinterpret_cast<const sockaddr *>(to), sizeof *to);
    return ::send(socket, bytes, clampLength(length), 0);
}

} // namespace qx
