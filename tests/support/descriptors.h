// Reading and writing descriptors with a deadline, and loopback sockets: what
// the tests need to play a module or a host on a real descriptor. On Linux a
// descriptor is a file descriptor (a socket or a pseudo-terminal,
// descriptors_posix.cpp); in the Windows suites, which run under Wine, it is
// a Winsock socket (descriptors_win32.cpp).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netinet/in.h>
#include <sys/socket.h>
#endif

#include "frames.h"

namespace qxtest {

using namespace std::chrono_literals;

#if defined(_WIN32)
using Descriptor = SOCKET;
inline constexpr Descriptor kNoDescriptor = INVALID_SOCKET;
#else
using Descriptor = int;
inline constexpr Descriptor kNoDescriptor = -1;
#endif

// The upper bound for anything a test expects to happen.
constexpr std::chrono::milliseconds kWaitLimit = 5s;

int64_t nowMs();

void writeAll(Descriptor fd, const Bytes &bytes);
// Reads exactly n bytes from fd within limit (fewer on time-out or end).
Bytes readExactly(Descriptor fd, std::size_t n, std::chrono::milliseconds limit = kWaitLimit);
// One MBAP frame: the header first, then the length it announces.
Bytes readMbap(Descriptor fd, std::chrono::milliseconds limit = kWaitLimit);
// Waits until fd is readable; false after `limit`.
bool waitReadable(Descriptor fd, std::chrono::milliseconds limit);
// The descriptors among `fds` that become readable within `limit` (those
// ready at the first moment any is).
std::vector<Descriptor> readableAmong(const std::vector<Descriptor> &fds,
                                      std::chrono::milliseconds limit);
// One read of at most `size` bytes: the count, 0 at the end, -1 on failure.
std::ptrdiff_t readSome(Descriptor fd, uint8_t *buffer, std::size_t size);
void closeDescriptor(Descriptor fd);

sockaddr_in loopback(uint16_t port);
uint16_t localPortOf(Descriptor fd);
// A socket of `type` that child processes do not inherit.
Descriptor newSocket(int type);
// A socket of `type` bound to a free loopback port.
Descriptor boundLoopbackSocket(int type);
// A loopback port of `type` that was free a moment ago.
uint16_t freePort(int type);
// A TCP connection to a loopback port with TCP_NODELAY; kNoDescriptor when
// refused.
Descriptor connectTcp(uint16_t port);
// A connection attempt that does not wait to be accepted (it stays pending
// while the listener's queue is full).
Descriptor startTcpConnect(uint16_t port);
// A listening loopback TCP socket on a free port.
Descriptor listenTcp(int backlog, uint16_t &port);
// Accepts one connection within `limit`; kNoDescriptor without one.
Descriptor acceptTcp(Descriptor listener, std::chrono::milliseconds limit);
// A datagram socket bound to a free loopback port.
Descriptor openUdp(uint16_t &port);
// One datagram within `limit` and its source; false without one.
bool receiveDatagram(Descriptor fd, Bytes &bytes, sockaddr_in &from,
                     std::chrono::milliseconds limit);
void sendDatagram(Descriptor fd, const Bytes &bytes, const sockaddr_in &to);

} // namespace qxtest
