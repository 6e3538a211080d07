#include "serial_devices.h"

#include <algorithm>
#include <filesystem>
#include <string_view>

namespace qx {

namespace {

// In the order the list shows them.
constexpr const char *kPrefixes[] = {"ttyUSB", "ttyACM", "ttyXRUSB", "rfcomm", "ttyAMA", "ttyS"};

// The kind's place in kPrefixes, then the number: "ttyUSB12" gives {0, 12}.
// Only names of a prefix and up to nine digits get here.
std::pair<std::size_t, long> sortKey(const std::string &name)
{
    std::size_t i = name.size();
    while (i > 0 && name[i - 1] >= '0' && name[i - 1] <= '9')
        --i;
    const std::string prefix = name.substr(0, i);
    std::size_t rank = 0;
    while (rank < std::size(kPrefixes) && prefix != kPrefixes[rank])
        ++rank;
    return {rank, std::stol(name.substr(i, 9))};
}

} // namespace

std::vector<std::string> listSerialDevices(const std::string &devDir)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto &entry : std::filesystem::directory_iterator(devDir, ec)) {
        std::string name = entry.path().filename().string();
        for (std::string_view prefix : kPrefixes) {
            std::string_view number = std::string_view(name).substr(std::min(prefix.size(), name.size()));
            if (name.starts_with(prefix) && !number.empty() && number.size() <= 9
                && std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; })) {
                names.push_back(name);
                break;
            }
        }
    }
    std::sort(names.begin(), names.end(),
              [](const std::string &a, const std::string &b) { return sortKey(a) < sortKey(b); });
    std::vector<std::string> paths;
    for (const auto &n : names)
        paths.push_back(devDir + "/" + n);
    return paths;
}

} // namespace qx
