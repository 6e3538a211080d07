// Socket helpers shared by the three network transports: IPv4 address fields
// of the settings, bounded sends, the 448-byte piece rule and the diagnostic
// lines. The operating system's calls are in socket_api.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "socket_api.h"

namespace qx {

class VDThread;
struct PeerInfo;

// A NUL-terminated text field of the settings (never read past `size`).
std::string settingText(const uint8_t *settings, std::size_t offset, std::size_t size);

// Dotted decimal text to an address; an empty text means any local address
// when `emptyIsAny`. False when the text is not an IPv4 address.
bool parseIpv4(const std::string &text, bool emptyIsAny, uint16_t port, sockaddr_in &out);

// Zero-wait check of writability.
bool socketWritable(SocketHandle socket);

// Sends one piece, waiting at most 1000 ms for room; UDP when `to` is set.
bool sendPiece(SocketHandle socket, const uint8_t *data, std::size_t length,
               const sockaddr_in *to);

// Sends a request in pieces of 448 bytes with 500 ms between them (the
// modules' receive buffers take no more at once); the pauses end early when a
// stop is asked for.
void sendInPieces(VDThread &thread, SocketHandle socket, const uint8_t *data, std::size_t length,
                  const sockaddr_in *to);

void fillPeer(const sockaddr_in &address, SocketHandle socket, PeerInfo &peer);

// One diagnostic line on standard output (the host does not show them).
void diagnostic(const char *line);

} // namespace qx
