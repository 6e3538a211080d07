#include "socket_io.h"

#include <chrono>
#include <cstdio>
#include <cstring>

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

bool socketWritable(SocketHandle socket)
{
    pollfd p {socket, POLLOUT, 0};
    return pollSockets(&p, 1, 0) == 1 && (p.revents & POLLOUT) != 0;
}

bool sendPiece(SocketHandle socket, const uint8_t *data, std::size_t length,
               const sockaddr_in *to)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSendWaitMs);
    std::size_t done = 0;
    while (done < length) {
        const std::ptrdiff_t n = to != nullptr ? sendSome(socket, data, length, to)
                                               : sendSome(socket, data + done, length - done, nullptr);
        if (n >= 0) {
            // a datagram goes whole or not at all
            done = to != nullptr ? length : done + static_cast<std::size_t>(n);
            continue;
        }
        const SocketError error = lastSocketError();
        if (error != SocketError::WouldBlock && error != SocketError::Interrupted)
            return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd p {socket, POLLOUT, 0};
        pollSockets(&p, 1, static_cast<int>(left.count()));
    }
    return true;
}

void sendInPieces(VDThread &thread, SocketHandle socket, const uint8_t *data, std::size_t length,
                  const sockaddr_in *to)
{
    std::size_t offset = 0;
    while (length - offset > kPieceSize) {
        sendPiece(socket, data + offset, kPieceSize, to);
        offset += kPieceSize;
        if (!thread.pauseFor(kPiecePause))
            return;
    }
    sendPiece(socket, data + offset, length - offset, to);
}

void fillPeer(const sockaddr_in &address, SocketHandle socket, PeerInfo &peer)
{
    peer.socket = socket;
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
