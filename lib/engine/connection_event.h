// The ConnectionEvent delivered with event -1, and its state codes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qx {

namespace ConnectionLayout {
constexpr std::size_t kTransportType = 0;
constexpr std::size_t kPeerSocket = 4;
constexpr std::size_t kState = 16;
constexpr std::size_t kPeerAddress = 86; // 64 bytes, dotted decimal
constexpr std::size_t kPeerAddressSize = 64;
constexpr std::size_t kPeerPort = 150; // u16
constexpr std::size_t kSize = 152;
} // namespace ConnectionLayout

enum ConnectionState : int32_t {
    kStateOpenFailed = 0,
    kStateBindFailed = 1,
    kStateListenFailed = 2,
    kStateAcceptFailed = 3,
    kStateConnectTimeout = 4,
    kStateWaitFailed = 5,
    kStatePeerConnected = 9,
    kStateClosedByPeer = 10,
    kStateRunning = 12,
    kStatePeerDisconnected = 13,
};

} // namespace qx
