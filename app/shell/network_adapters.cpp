#include "network_adapters.h"

#include <algorithm>

#include "command_line.h"
#include "port_settings_builder.h"

namespace qx {

bool isLoopbackAdapter(const NetworkAdapter &adapter)
{
    if (adapter.loopback)
        return true;
    return !adapter.addresses.empty()
        && std::all_of(adapter.addresses.begin(), adapter.addresses.end(),
                       [](const std::string &a) { return isLoopbackIpv4(a); });
}

std::vector<NetworkAdapter> orderAdapters(std::vector<NetworkAdapter> adapters)
{
    std::stable_partition(adapters.begin(), adapters.end(),
                          [](const NetworkAdapter &a) { return !isLoopbackAdapter(a); });
    return adapters;
}

bool isUsableLocalAddress(std::string_view address, const std::vector<NetworkAdapter> &adapters)
{
    if (!isIpv4Text(address) || address == "0.0.0.0")
        return false;
    return findAdapterAddress(adapters, address).has_value();
}

std::optional<AdapterAddress> findAdapterAddress(const std::vector<NetworkAdapter> &adapters,
                                                 std::string_view address)
{
    for (std::size_t i = 0; i < adapters.size(); ++i) {
        const auto &list = adapters[i].addresses;
        auto at = std::find(list.begin(), list.end(), address);
        if (at != list.end())
            return AdapterAddress {i, static_cast<std::size_t>(at - list.begin())};
    }
    return std::nullopt;
}

std::optional<AdapterAddress> localAddressFor(const ConnectTarget &target,
                                              const std::vector<NetworkAdapter> &adapters)
{
    switch (target.kind) {
    case ConnectionKind::TcpServer:
        if (target.host.empty())
            return std::nullopt;
        return findAdapterAddress(adapters, target.host);
    case ConnectionKind::TcpClient:
    case ConnectionKind::Udp:
        break;
    default:
        return std::nullopt;
    }
    const bool local = isLoopbackIpv4(target.host);
    for (std::size_t i = 0; i < adapters.size(); ++i) {
        const auto &list = adapters[i].addresses;
        for (std::size_t j = 0; j < list.size(); ++j) {
            if (list[j] == "0.0.0.0" || !isIpv4Text(list[j]))
                continue;
            if (isLoopbackIpv4(list[j]) == local)
                return AdapterAddress {i, j};
        }
    }
    return std::nullopt;
}

} // namespace qx
