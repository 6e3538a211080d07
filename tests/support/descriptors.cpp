// What the descriptor helpers share on both platforms.
#include "descriptors.h"

#include <algorithm>

#if !defined(_WIN32)
#include <arpa/inet.h>
#include <netinet/tcp.h>
#endif

#include "byte_io.h"
#include "mbap_layout.h"

namespace qxtest {

int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

Bytes readExactly(Descriptor fd, std::size_t n, std::chrono::milliseconds limit)
{
    Bytes out;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (out.size() < n) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        if (!waitReadable(fd, left))
            continue;
        uint8_t buffer[4096];
        const std::ptrdiff_t got = readSome(fd, buffer, std::min(sizeof buffer, n - out.size()));
        if (got <= 0)
            break;
        out.insert(out.end(), buffer, buffer + got);
    }
    return out;
}

Bytes readMbap(Descriptor fd, std::chrono::milliseconds limit)
{
    namespace M = qx::MbapLayout;
    Bytes frame = readExactly(fd, M::kLengthEnd, limit);
    if (frame.size() < M::kLengthEnd)
        return frame;
    const Bytes rest = readExactly(fd, qx::getU16be(frame.data(), M::kLength), limit);
    frame.insert(frame.end(), rest.begin(), rest.end());
    return frame;
}

sockaddr_in loopback(uint16_t port)
{
    sockaddr_in a {};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

uint16_t localPortOf(Descriptor fd)
{
    sockaddr_in a {};
    socklen_t size = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &size);
    return ntohs(a.sin_port);
}

Descriptor boundLoopbackSocket(int type)
{
    const Descriptor fd = newSocket(type);
    sockaddr_in a = loopback(0);
    ::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
    return fd;
}

Descriptor connectTcp(uint16_t port)
{
    const Descriptor fd = newSocket(SOCK_STREAM);
    const sockaddr_in a = loopback(port);
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&a), sizeof a) != 0) {
        closeDescriptor(fd);
        return kNoDescriptor;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char *>(&one), sizeof one);
    return fd;
}

uint16_t freePort(int type)
{
    const Descriptor fd = boundLoopbackSocket(type);
    const uint16_t port = localPortOf(fd);
    closeDescriptor(fd);
    return port;
}

Descriptor listenTcp(int backlog, uint16_t &port)
{
    const Descriptor fd = boundLoopbackSocket(SOCK_STREAM);
    ::listen(fd, backlog);
    port = localPortOf(fd);
    return fd;
}

Descriptor acceptTcp(Descriptor listener, std::chrono::milliseconds limit)
{
    if (!waitReadable(listener, limit))
        return kNoDescriptor;
    return ::accept(listener, nullptr, nullptr);
}

Descriptor openUdp(uint16_t &port)
{
    const Descriptor fd = boundLoopbackSocket(SOCK_DGRAM);
    port = localPortOf(fd);
    return fd;
}

} // namespace qxtest
