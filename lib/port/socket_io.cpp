#include "socket_io.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "port_base.h"
#include "vd_thread.h"

namespace qx {

namespace {

constexpr std::size_t kPieceSize = 448;
constexpr std::chrono::milliseconds kPiecePause {500};
constexpr int kSendWaitMs = 1000;

} // namespace

std::string settingText(const uint8_t *settings, std::size_t offset, std::size_t size)
{
    const char *text = reinterpret_cast<const char *>(settings + offset);
    return std::string(text, strnlen(text, size));
}

bool parseIpv4(const std::string &text, bool emptyIsAny, uint16_t port, sockaddr_in &out)
{
    std::memset(&out, 0, sizeof out);
    out.sin_family = AF_INET;
    out.sin_port = htons(port);
    if (text.empty()) {
        out.sin_addr.s_addr = htonl(INADDR_ANY);
        return emptyIsAny;
    }
    return ::inet_pton(AF_INET, text.c_str(), &out.sin_addr) == 1;
}

int openSocket(int type)
{
    const int fd = ::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd >= 0 && type == SOCK_STREAM) {
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    }
    return fd;
}

void tuneAcceptedSocket(int fd)
{
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

void closeSocket(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool socketWritable(int fd)
{
    pollfd p {fd, POLLOUT, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLOUT) != 0;
}

bool sendPiece(int fd, const uint8_t *data, std::size_t length, const sockaddr_in *to)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSendWaitMs);
    std::size_t done = 0;
    while (done < length) {
        ssize_t n;
        if (to != nullptr)
            n = ::sendto(fd, data, length, MSG_NOSIGNAL, reinterpret_cast<const sockaddr *>(to),
                         sizeof *to);
        else
            n = ::send(fd, data + done, length - done, MSG_NOSIGNAL);
        if (n >= 0) {
            // a datagram goes whole or not at all
            done = to != nullptr ? length : done + static_cast<std::size_t>(n);
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd p {fd, POLLOUT, 0};
        ::poll(&p, 1, static_cast<int>(left.count()));
    }
    return true;
}

void sendInPieces(VDThread &thread, int fd, const uint8_t *data, std::size_t length,
                  const sockaddr_in *to)
{
    std::size_t offset = 0;
    while (length - offset > kPieceSize) {
        sendPiece(fd, data + offset, kPieceSize, to);
        offset += kPieceSize;
        if (!thread.pauseFor(kPiecePause))
            return;
    }
    sendPiece(fd, data + offset, length - offset, to);
}

void fillPeer(const sockaddr_in &address, int fd, PeerInfo &peer)
{
    peer.socket = fd;
    peer.port = ntohs(address.sin_port);
    std::memset(peer.address, 0, sizeof peer.address);
    ::inet_ntop(AF_INET, &address.sin_addr, peer.address, sizeof peer.address);
}

void diagnostic(const char *line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

} // namespace qx
