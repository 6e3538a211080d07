// Reading and writing descriptors with a deadline, and loopback sockets: what
// the tests need to play a module or a host on a real descriptor.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

#include <netinet/in.h>

#include "frames.h"

namespace qxtest {

using namespace std::chrono_literals;

// The upper bound for anything a test expects to happen.
constexpr std::chrono::milliseconds kWaitLimit = 5s;

int64_t nowMs();

void writeAll(int fd, const Bytes &bytes);
// Reads exactly n bytes from fd within limit (fewer on time-out or end).
Bytes readExactly(int fd, std::size_t n, std::chrono::milliseconds limit = kWaitLimit);
// One MBAP frame: the header first, then the length it announces.
Bytes readMbap(int fd, std::chrono::milliseconds limit = kWaitLimit);

sockaddr_in loopback(uint16_t port);
uint16_t localPortOf(int fd);
// A loopback port of `type` that was free a moment ago.
uint16_t freePort(int type);
// A TCP connection to a loopback port with TCP_NODELAY; -1 when refused.
int connectTcp(uint16_t port);

} // namespace qxtest
