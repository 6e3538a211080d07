// Socket helpers shared by the three network transports: IPv4 address fields
// of the settings, non-blocking sockets with TCP_NODELAY, bounded sends, the
// 448-byte piece rule and the diagnostic lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <netinet/in.h>

namespace qx {

class VDThread;
struct PeerInfo;

// A NUL-terminated text field of the settings (never read past `size`).
std::string settingText(const uint8_t *settings, std::size_t offset, std::size_t size);

// Dotted decimal text to an address; an empty text means any local address
// when `emptyIsAny`. False when the text is not an IPv4 address.
bool parseIpv4(const std::string &text, bool emptyIsAny, uint16_t port, sockaddr_in &out);

// A non-blocking, close-on-exec socket; stream sockets get TCP_NODELAY so a
// short request is not held back. -1 on failure.
int openSocket(int type);
// Sets TCP_NODELAY and O_NONBLOCK on an accepted socket.
void tuneAcceptedSocket(int fd);
void closeSocket(int &fd);

// Zero-wait check of writability.
bool socketWritable(int fd);

// Sends one piece, waiting at most 1000 ms for room; UDP when `to` is set.
bool sendPiece(int fd, const uint8_t *data, std::size_t length, const sockaddr_in *to);

// Sends a request in pieces of 448 bytes with 500 ms between them (the
// modules' receive buffers take no more at once); the pauses end early when a
// stop is asked for.
void sendInPieces(VDThread &thread, int fd, const uint8_t *data, std::size_t length,
                  const sockaddr_in *to);

void fillPeer(const sockaddr_in &address, int fd, PeerInfo &peer);

// One diagnostic line on standard output (the host does not show them).
void diagnostic(const char *line);

} // namespace qx
