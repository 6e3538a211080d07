#include "serial_devices.h"

#include <algorithm>
#include <filesystem>

namespace qx {

namespace {

constexpr const char *kPrefixes[] = {"ttyS", "ttyUSB", "ttyACM", "ttyAMA", "ttyXRUSB", "rfcomm"};

// Splits "ttyUSB12" into "ttyUSB" and 12; names without a number sort first.
std::pair<std::string, long> sortKey(const std::string &name)
{
    std::size_t i = name.size();
    while (i > 0 && name[i - 1] >= '0' && name[i - 1] <= '9')
        --i;
    long n = i < name.size() ? std::stol(name.substr(i, 9)) : -1;
    return {name.substr(0, i), n};
}

} // namespace

std::vector<std::string> listSerialDevices(const std::string &devDir)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto &entry : std::filesystem::directory_iterator(devDir, ec)) {
        std::string name = entry.path().filename().string();
        for (const char *prefix : kPrefixes) {
            std::string p(prefix);
            if (name.size() > p.size() && name.compare(0, p.size(), p) == 0
                && name[p.size()] >= '0' && name[p.size()] <= '9') {
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
