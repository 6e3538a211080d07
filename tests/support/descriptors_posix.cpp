// The descriptor helpers on Linux: file descriptors with poll(), read() and
// write(), so that one helper serves sockets and pseudo-terminals alike.
#include "descriptors.h"

#include <cerrno>

#include <poll.h>
#include <unistd.h>

namespace qxtest {

void writeAll(Descriptor fd, const Bytes &bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

bool waitReadable(Descriptor fd, std::chrono::milliseconds limit)
{
    pollfd p {fd, POLLIN, 0};
    return ::poll(&p, 1, static_cast<int>(limit.count())) == 1;
}

std::vector<Descriptor> readableAmong(const std::vector<Descriptor> &fds,
                                      std::chrono::milliseconds limit)
{
    std::vector<pollfd> polled;
    for (Descriptor fd : fds)
        polled.push_back({fd, POLLIN, 0});
    std::vector<Descriptor> ready;
    if (::poll(polled.data(), polled.size(), static_cast<int>(limit.count())) > 0)
        for (const pollfd &p : polled)
            if (p.revents != 0)
                ready.push_back(p.fd);
    return ready;
}

std::ptrdiff_t readSome(Descriptor fd, uint8_t *buffer, std::size_t size)
{
    return ::read(fd, buffer, size);
}

void closeDescriptor(Descriptor fd)
{
    if (fd >= 0)
        ::close(fd);
}

Descriptor newSocket(int type)
{
    return ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
}

Descriptor startTcpConnect(uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const sockaddr_in a = loopback(port);
    ::connect(fd, reinterpret_cast<const sockaddr *>(&a), sizeof a);
    return fd;
}

bool receiveDatagram(Descriptor fd, Bytes &bytes, sockaddr_in &from,
                     std::chrono::milliseconds limit)
{
    if (!waitReadable(fd, limit))
        return false;
    uint8_t buffer[65536];
    socklen_t size = sizeof from;
    const ssize_t n = ::recvfrom(fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr *>(&from),
                                 &size);
    if (n < 0)
        return false;
    bytes.assign(buffer, buffer + n);
    return true;
}

void sendDatagram(Descriptor fd, const Bytes &bytes, const sockaddr_in &to)
{
    ::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr *>(&to), sizeof to);
}

} // namespace qxtest
