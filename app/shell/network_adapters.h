// The network adapters the connection page offers for the local address,
// and which one it selects: adapters that reach other machines come first,
// in the system's order, so that a fresh start can reach a module on the
// network; loopback comes last (it reaches the simulated module).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

struct ConnectTarget;

struct NetworkAdapter
{
    std::string description;
    std::vector<std::string> addresses; // IPv4 texts, in the system's order
    bool loopback = false; // as the system flags it
};

// Loopback when flagged so, or when every address is a 127.x address.
bool isLoopbackAdapter(const NetworkAdapter &adapter);

// Real adapters first, loopback last, each part in its given order. The
// page selects the first entry at start.
std::vector<NetworkAdapter> orderAdapters(std::vector<NetworkAdapter> adapters);

// The local address must name an adapter address; 0.0.0.0 never does.
// Loopback is accepted: the simulated module runs on this machine.
bool isUsableLocalAddress(std::string_view address, const std::vector<NetworkAdapter> &adapters);

struct AdapterAddress
{
    std::size_t adapter = 0;
    std::size_t address = 0;
};
std::optional<AdapterAddress> findAdapterAddress(const std::vector<NetworkAdapter> &adapters,
                                                 std::string_view address);

// The local address for a transport opened from the command line: loopback
// for a module on this machine, else the first address of a real adapter;
// the named address for a TCP server. Nothing (keep the selection) for a
// serial line, a server without an address, or an address no adapter has.
std::optional<AdapterAddress> localAddressFor(const ConnectTarget &target,
                                              const std::vector<NetworkAdapter> &adapters);

} // namespace qx
