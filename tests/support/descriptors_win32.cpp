// The descriptor helpers in the Windows suites: Winsock sockets with WSAPoll,
// recv() and send(). The socket layer is started once for the test program.
#include "descriptors.h"

#include <algorithm>

namespace qxtest {

namespace {

struct SocketLayer
{
    SocketLayer()
    {
        WSADATA data {};
        ::WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~SocketLayer() { ::WSACleanup(); }
} g_socketLayer;

int waitMs(std::chrono::milliseconds limit)
{
    return static_cast<int>(std::max<int64_t>(limit.count(), 0));
}

} // namespace

void writeAll(Descriptor fd, const Bytes &bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const int n = ::send(fd, reinterpret_cast<const char *>(bytes.data() + done),
                             static_cast<int>(bytes.size() - done), 0);
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}

bool waitReadable(Descriptor fd, std::chrono::milliseconds limit)
{
    WSAPOLLFD p {fd, POLLIN, 0};
    return ::WSAPoll(&p, 1, waitMs(limit)) == 1;
}

std::vector<Descriptor> readableAmong(const std::vector<Descriptor> &fds,
                                      std::chrono::milliseconds limit)
{
    std::vector<WSAPOLLFD> polled;
    for (Descriptor fd : fds)
        polled.push_back({fd, POLLIN, 0});
    std::vector<Descriptor> ready;
    if (::WSAPoll(polled.data(), static_cast<ULONG>(polled.size()), waitMs(limit)) > 0)
        for (const WSAPOLLFD &p : polled)
            if (p.revents != 0)
                ready.push_back(p.fd);
    return ready;
}

std::ptrdiff_t readSome(Descriptor fd, uint8_t *buffer, std::size_t size)
{
    return ::recv(fd, reinterpret_cast<char *>(buffer), static_cast<int>(size), 0);
}

void closeDescriptor(Descriptor fd)
{
    if (fd != INVALID_SOCKET)
        ::closesocket(fd);
}

Descriptor newSocket(int type)
{
    return ::socket(AF_INET, type, 0);
}

Descriptor startTcpConnect(uint16_t port)
{
    const SOCKET fd = ::socket(AF_INET, SOCK_STREAM, 0);
    u_long on = 1;
    ::ioctlsocket(fd, FIONBIO, &on);
    const sockaddr_in a = loopback(port);
    ::connect(fd, reinterpret_cast<const sockaddr *>(&a), sizeof a);
    return fd;
}

bool receiveDatagram(Descriptor fd, Bytes &bytes, sockaddr_in &from,
                     std::chrono::milliseconds limit)
{
    if (!waitReadable(fd, limit))
        return false;
    static thread_local uint8_t buffer[65536];
    int size = sizeof from;
    const int n = ::recvfrom(fd, reinterpret_cast<char *>(buffer), sizeof buffer, 0,
                             reinterpret_cast<sockaddr *>(&from), &size);
    if (n < 0)
        return false;
    bytes.assign(buffer, buffer + n);
    return true;
}

void sendDatagram(Descriptor fd, const Bytes &bytes, const sockaddr_in &to)
{
    ::sendto(fd, reinterpret_cast<const char *>(bytes.data()), static_cast<int>(bytes.size()), 0,
             reinterpret_cast<const sockaddr *>(&to), sizeof to);
}

} // namespace qxtest
